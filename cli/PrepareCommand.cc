#include "PrepareCommand.h"

#include <unistd.h>

#include <iostream>
#include <memory>
#include <optional>

#include "DataOutputs.h"
#include "InputPaths.h"
#include "Interrupts.h"
#include "OutputFile.h"
#include "io/ColumnRecordSource.h"
#include "io/CsvRecordSource.h"
#include "replay/PreparedData.h"
#include "replay/PreparedSchema.h"
#include "ProgressLine.h"
#include "ReportCommand.h"
#include "SummaryReport.h"
#include "apply/Document.h"
#include "preparation/PreparationRun.h"
#include "preparation/RunMessages.h"
#include "preparation/StatisticsTable.h"
#include "report/Report.h"

namespace zelcli {

namespace {

using namespace TorCommon_1_3;

int InputError(const std::string& message) {
  std::cerr << "error: " << message << "\n";
  return kExitInputError;
}

int Interrupted(const Interrupts& interrupts) {
  std::cerr << "interrupted; no document written\n";
  return interrupts.ExitStatus();
}

std::string DefaultOutputPath(const std::string& dataPath) { return PathStem(dataPath) + ".pmml"; }

// Resolves an output before the long work; it must never overwrite one of
// the files the document is made from.
bool PrepareOutput(const PrepareOptions& options, const std::vector<std::string>& dataPaths,
                   const std::string& path, OutputFile* output, std::string* error) {
  if (!output->Prepare(path, error)) return false;
  for (const std::string& dataPath : dataPaths) {
    if (!output->CheckNotInput(dataPath, "data", error)) return false;
  }
  return output->CheckNotInput(options.schemaPath, "schema", error) &&
         output->CheckNotInput(options.settingsPath, "settings", error);
}

// The exit status of finishing outputs: success, or what a stop or a failed
// write gives.
int Finished(OutputFile::Result result, const std::string& error,
             const Interrupts& interrupts) {
  switch (result) {
    case OutputFile::Result::kInterrupted:
      return Interrupted(interrupts);
    case OutputFile::Result::kFailed:
      return InputError(error);
    case OutputFile::Result::kWritten:
      break;
  }
  return kExitSuccess;
}

// Finishes a written output, which stays to be committed with the others.
int Finish(OutputFile& output, const Interrupts& interrupts) {
  std::string error;
  const OutputFile::Result result = output.Finish(&error);
  return Finished(result, error, interrupts);
}

bool ParseTargetLevel(const PrepareOptions& options, std::optional<zelio::Level>* targetLevel,
                      std::string* error) {
  if (options.targetLevel.empty()) return true;
  if (options.target.empty()) {
    *error = "--target-level needs --target";
    return false;
  }
  const std::pair<const char*, zelio::Level> levels[] = {
      {"nominal", zelio::Level::kNominal},
      {"ordinal", zelio::Level::kOrdinal},
      {"continuous", zelio::Level::kContinuous}};
  for (const auto& level : levels) {
    if (options.targetLevel == level.first) {
      *targetLevel = level.second;
      return true;
    }
  }
  *error = "--target-level takes nominal, ordinal or continuous, not \"" + options.targetLevel +
           "\"";
  return false;
}

// Writes all of `text` to `output` and finishes it.
int WriteWhole(OutputFile& output, const std::string& text, Interrupts& interrupts) {
  std::string error;
  if (!output.Open(&interrupts, &error)) return InputError(error);
  output.Write(text);
  return Finish(output, interrupts);
}

// The run's notes and warnings, as every host shows them.
void PrintWarnings(const std::vector<std::string>& notes,
                   const std::vector<TorStatus>& warnings) {
  for (const std::string& line : zelprep::WarningLines(notes, warnings)) std::cerr << line << "\n";
}

// What the run made of the data, said once: facts, not warnings.
void PrintFacts(const std::vector<std::string>& facts) {
  for (const std::string& fact : facts) std::cerr << "note: " << fact << "\n";
}

}  // namespace

int RunPrepare(const PrepareOptions& options) {
  // First, so that a stop signal from here on leaves no temporary file.
  Interrupts interrupts;
  std::string error;
  if ((options.outputPath == "-") + (options.dataOutPath == "-") + (options.statsPath == "-") +
          (options.schemaOutPath == "-") + (options.reportPath == "-") >
      1) {
    return InputError("only one of the document, the prepared data, its schema, the statistics "
                      "and the report can go to standard output");
  }
  if (!options.schemaOutPath.empty() && options.dataOutPath.empty()) {
    return InputError("--schema-out describes the prepared data and needs --data-out");
  }
  std::vector<std::string> dataPaths;
  if (!ExpandInputPaths(options.dataPaths, &dataPaths, &error)) return InputError(error);
  zelprep::RunRequest request;
  request.settingsPath = options.settingsPath;
  request.assignments = options.assignments;
  request.analysisWeight = options.analysisWeight;
  request.schemaPath = options.schemaPath;
  request.target = options.target;
  request.frequencyWeight = options.frequencyWeight;
  request.threads = options.threads;
  request.memoryLimit = options.memoryLimit;
  request.memoryLimitName = "--memory-limit";
  if (!ParseTargetLevel(options, &request.targetLevel, &error)) return InputError(error);
  zelprep::PreparationRun run(std::move(request));
  if (!run.ReadInputs()) return InputError(run.result().error);
  OutputFile document;
  const std::string documentPath =
      options.outputPath.empty() ? DefaultOutputPath(dataPaths.front()) : options.outputPath;
  if (!PrepareOutput(options, dataPaths, documentPath, &document, &error)) return InputError(error);
  DataOutputs preparedData;
  const bool withData = !options.dataOutPath.empty();
  const auto prepareData = [&](const std::string& path, OutputFile* output, std::string* why) {
    return PrepareOutput(options, dataPaths, path, output, why);
  };
  if (!preparedData.Prepare(options.dataOutPath, dataPaths, prepareData, &error)) {
    return InputError(error);
  }
  OutputFile statistics;
  const bool withStats = !options.statsPath.empty();
  if (withStats && !PrepareOutput(options, dataPaths, options.statsPath, &statistics, &error)) {
    return InputError(error);
  }
  OutputFile dataSchema;
  const bool withSchema = !options.schemaOutPath.empty();
  if (withSchema && !PrepareOutput(options, dataPaths, options.schemaOutPath, &dataSchema, &error)) {
    return InputError(error);
  }
  if (withSchema && (document.SameTarget(dataSchema) || preparedData.SameTarget(dataSchema) ||
                     (withStats && statistics.SameTarget(dataSchema)))) {
    return InputError("the schema of the prepared data cannot be written to " +
                      options.schemaOutPath + ", which another output names");
  }
  if (withData && preparedData.SameTarget(document)) {
    return InputError("the document and the prepared data cannot both be written to " +
                      options.dataOutPath);
  }
  if (withStats && (document.SameTarget(statistics) ||
                    (withData && preparedData.SameTarget(statistics)))) {
    return InputError("the statistics cannot be written to " + options.statsPath +
                      ", which another output names");
  }
  OutputFile reportPage;
  const bool withReport = !options.reportPath.empty();
  if (withReport && !PrepareOutput(options, dataPaths, options.reportPath, &reportPage, &error)) {
    return InputError(error);
  }
  if (withReport && (document.SameTarget(reportPage) ||
                     (withData && preparedData.SameTarget(reportPage)) ||
                     (withStats && statistics.SameTarget(reportPage)) ||
                     (withSchema && dataSchema.SameTarget(reportPage)))) {
    return InputError("the report cannot be written to " + options.reportPath +
                      ", which another output names");
  }

  ProgressLine progress(std::cerr, !options.quiet && (options.progress || isatty(STDERR_FILENO)));
  const zelprep::RunResult& result = run.result();
  if (!run.LoadCsv({dataPaths, options.delimiter, options.stream}, interrupts, progress)) {
    progress.Finish();
    if (result.kind == zelprep::RunResult::Kind::kInterrupted) return Interrupted(interrupts);
    return InputError(result.error);
  }
  const zelprep::RunHost host{interrupts, progress, &progress,
                              [&interrupts](ITorAlgorithm* algorithm) {
                                interrupts.Attach(algorithm);
                              }};
  run.Build(host);
  progress.Finish();
  switch (result.kind) {
    case zelprep::RunResult::Kind::kInterrupted:
      return Interrupted(interrupts);
    case zelprep::RunResult::Kind::kInputError:
      return InputError(result.error);
    case zelprep::RunResult::Kind::kComponentError:
      if (!options.quiet) PrintWarnings(result.refused ? std::vector<std::string>() : result.notes,
                                        result.warnings);
      std::cerr << zelprep::DescribeStatus(result.status) << "\n";
      if (!result.refusedDetail.empty()) std::cerr << "note: " << result.refusedDetail << "\n";
      if (!result.targetNote.empty()) std::cerr << "note: " << result.targetNote << "\n";
      return kExitComponentError;
    case zelprep::RunResult::Kind::kDone:
      break;
  }
  if (!options.quiet) {
    PrintFacts(result.facts);
    PrintWarnings(result.notes, result.warnings);
  }
  const zelio::LoadedData& data = run.data();
  const zelio::HostFields& fields = run.fields();

  const std::string& text = result.document;
  std::string stats;
  if (withStats) {
    std::vector<zelprep::StatisticsRow> rows;
    if (!zelprep::ReadStatisticsTable(text, &rows)) {
      std::cerr << "error: the statistics cannot be read back from the document\n";
      return kExitComponentError;
    }
    stats = zelprep::StatisticsCsv(rows);
  }
  std::string schemaText;
  if (withSchema) {
    zelapply::CompiledDocument compiled;
    const zelapply::Status replayable = zelapply::CompileDocument(text, &compiled);
    if (!replayable.ok()) {
      std::cerr << "error: the document cannot be replayed: " << replayable.message() << "\n";
      return kExitComponentError;
    }
    schemaText = zelreplay::PreparedSchemaText(*compiled.program, false);
  }
  std::string page;
  if (withReport) {
    zelreport::ReportContext context;
    context.dataSet = DataSetName(dataPaths);
    context.documentName =
        document.toStandardOutput() ? std::string() : PathFileName(documentPath);
    context.records = result.records;
    context.fieldsRead = static_cast<int64_t>(result.fieldsRead);
    context.fieldsHanded = static_cast<int64_t>(result.fieldsHanded);
    const zelapply::Status drawn = zelreport::RenderReport(text, context, &page);
    if (!drawn.ok()) {
      std::cerr << "error: the report cannot be drawn from the document: " << drawn.message()
                << "\n";
      return kExitComponentError;
    }
  }
  // Every output is finished before any appears: a failed or interrupted run
  // leaves none.
  if (withData) {
    std::vector<std::string> names;
    for (std::size_t c : fields.columnOf) names.push_back(data.store.names[c]);
    if (!preparedData.Open(&interrupts, &error)) return InputError(error);
    std::unique_ptr<IRecordSource> source;
    zelio::CsvRecordSource* streamed = nullptr;
    if (data.streamed) {
      source = std::make_unique<zelio::CsvRecordSource>(run.SourceFile(), data.plans,
                                                        fields.columnOf, progress);
      streamed = static_cast<zelio::CsvRecordSource*>(source.get());
    } else {
      source = std::make_unique<zelio::ColumnRecordSource>(data.store, fields.columnOf, progress);
    }
    const zelreplay::PreparedDataResult prepared =
        zelreplay::WritePreparedParts(text, *source, names, preparedData.Parts(data.fileRows),
                                      options.delimiter, interrupts, progress, &error);
    if (streamed != nullptr && !streamed->error().empty()) {
      progress.Finish();
      return InputError(streamed->error());
    }
    progress.Finish();
    if (prepared == zelreplay::PreparedDataResult::kBadDocument) {
      std::cerr << "error: " << error << "\n";
      return kExitComponentError;
    }
    if (prepared == zelreplay::PreparedDataResult::kInterrupted) return Interrupted(interrupts);
    const OutputFile::Result finished = preparedData.Finish(&error);
    const int outcome = Finished(finished, error, interrupts);
    if (outcome != kExitSuccess) return outcome;
  }
  if (withSchema) {
    const int outcome = WriteWhole(dataSchema, schemaText, interrupts);
    if (outcome != kExitSuccess) return outcome;
  }
  if (withStats) {
    const int outcome = WriteWhole(statistics, stats, interrupts);
    if (outcome != kExitSuccess) return outcome;
  }
  if (withReport) {
    const int outcome = WriteWhole(reportPage, page, interrupts);
    if (outcome != kExitSuccess) return outcome;
  }
  const int outcome = WriteWhole(document, text, interrupts);
  if (outcome != kExitSuccess) return outcome;
  if ((withData && preparedData.Commit(&error) != OutputFile::Result::kWritten) ||
      (withSchema && dataSchema.Commit(&error) != OutputFile::Result::kWritten) ||
      (withStats && statistics.Commit(&error) != OutputFile::Result::kWritten) ||
      (withReport && reportPage.Commit(&error) != OutputFile::Result::kWritten) ||
      document.Commit(&error) != OutputFile::Result::kWritten) {
    return InputError(error);
  }
  if (!options.quiet) {
    DocumentSummary summary;
    ReadDocumentSummary(text, &summary);
    PrintSummary(std::cerr,
                 {static_cast<std::size_t>(result.records), result.fieldsRead,
                  result.fieldsHanded},
                 summary);
    if (!document.toStandardOutput()) std::cerr << "document written to " << documentPath << "\n";
    if (withStats && !statistics.toStandardOutput()) {
      std::cerr << "statistics written to " << options.statsPath << "\n";
    }
    if (withData && !preparedData.toStandardOutput()) {
      std::cerr << "prepared data written to " << preparedData.Written() << "\n";
    }
    if (withSchema && !dataSchema.toStandardOutput()) {
      std::cerr << "its schema written to " << options.schemaOutPath << "\n";
    }
    if (withReport && !reportPage.toStandardOutput()) {
      std::cerr << "report written to " << options.reportPath << "\n";
    }
  }
  return kExitSuccess;
}

}  // namespace zelcli
