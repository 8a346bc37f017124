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
using zelstatus::Status;

int InputError(const std::string& message) {
  std::cerr << "error: " << message << "\n";
  return kExitInputError;
}

int Interrupted(const Interrupts& interrupts) {
  std::cerr << "interrupted; no document written\n";
  return interrupts.ExitStatus();
}

// "error: MESSAGE" and the exit status of its kind, or what a stop gives.
int Failed(const Status& status, const Interrupts& interrupts) {
  if (status.interrupted()) return Interrupted(interrupts);
  std::cerr << "error: " << status.message() << "\n";
  return ExitStatusOf(status);
}

std::string DefaultOutputPath(const std::string& dataPath) { return PathStem(dataPath) + ".pmml"; }

// Resolves an output before the long work; it must never overwrite one of
// the files the document is made from.
Status PrepareOutput(const PrepareOptions& options, const std::vector<std::string>& dataPaths,
                     const std::string& path, OutputFile* output) {
  Status status = output->Prepare(path);
  for (const std::string& dataPath : dataPaths) {
    if (status.ok()) status = output->CheckNotInput(dataPath, "data");
  }
  if (status.ok()) status = output->CheckNotInput(options.schemaPath, "schema");
  if (status.ok()) status = output->CheckNotInput(options.settingsPath, "settings");
  return status;
}

// Finishes a written output, which stays to be committed with the others.
// The exit status: success, or what a stop or a failed write gives.
int Finish(OutputFile& output, const Interrupts& interrupts) {
  const Status finished = output.Finish();
  return finished.ok() ? kExitSuccess : Failed(finished, interrupts);
}

Status ParseTargetLevel(const PrepareOptions& options, std::optional<zelio::Level>* targetLevel) {
  if (options.targetLevel.empty()) return Status();
  if (options.target.empty()) return Status::InvalidInput("--target-level needs --target");
  const std::pair<const char*, zelio::Level> levels[] = {
      {"nominal", zelio::Level::kNominal},
      {"ordinal", zelio::Level::kOrdinal},
      {"continuous", zelio::Level::kContinuous}};
  for (const auto& level : levels) {
    if (options.targetLevel == level.first) {
      *targetLevel = level.second;
      return Status();
    }
  }
  return Status::InvalidInput("--target-level takes nominal, ordinal or continuous, not \"" +
                              options.targetLevel + "\"");
}

// Writes all of `text` to `output` and finishes it.
int WriteWhole(OutputFile& output, const std::string& text, Interrupts& interrupts) {
  const Status opened = output.Open(&interrupts);
  if (!opened.ok()) return Failed(opened, interrupts);
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
  Status status = ExpandInputPaths(options.dataPaths, &dataPaths);
  if (!status.ok()) return Failed(status, interrupts);
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
  status = ParseTargetLevel(options, &request.targetLevel);
  if (!status.ok()) return Failed(status, interrupts);
  zelprep::PreparationRun run(std::move(request));
  if (!run.ReadInputs()) return Failed(run.result().status, interrupts);
  OutputFile document;
  const std::string documentPath =
      options.outputPath.empty() ? DefaultOutputPath(dataPaths.front()) : options.outputPath;
  status = PrepareOutput(options, dataPaths, documentPath, &document);
  if (!status.ok()) return Failed(status, interrupts);
  DataOutputs preparedData;
  const auto prepareData = [&](const std::string& path, OutputFile* output) {
    return PrepareOutput(options, dataPaths, path, output);
  };
  status = preparedData.Prepare("--data-out", options.dataOutPath, dataPaths, prepareData);
  if (!status.ok()) return Failed(status, interrupts);
  const bool withData = preparedData.any();
  OutputFile statistics;
  const bool withStats = !options.statsPath.empty();
  if (withStats) status = PrepareOutput(options, dataPaths, options.statsPath, &statistics);
  if (!status.ok()) return Failed(status, interrupts);
  OutputFile dataSchema;
  const bool withSchema = !options.schemaOutPath.empty();
  if (withSchema) status = PrepareOutput(options, dataPaths, options.schemaOutPath, &dataSchema);
  if (!status.ok()) return Failed(status, interrupts);
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
  if (withReport) status = PrepareOutput(options, dataPaths, options.reportPath, &reportPage);
  if (!status.ok()) return Failed(status, interrupts);
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
    return Failed(result.status, interrupts);
  }
  const zelprep::RunHost host{interrupts, progress, &progress,
                              [&interrupts](ITorAlgorithm* algorithm) {
                                interrupts.Attach(algorithm);
                              }};
  run.Build(host);
  progress.Finish();
  if (result.status.kind() == zelstatus::Kind::kComponent) {
    if (!options.quiet)
      PrintWarnings(result.refused ? std::vector<std::string>() : result.notes, result.warnings);
    std::cerr << result.status.message() << "\n";
    if (!result.refusedDetail.empty()) std::cerr << "note: " << result.refusedDetail << "\n";
    if (!result.targetNote.empty()) std::cerr << "note: " << result.targetNote << "\n";
    return ExitStatusOf(result.status);
  }
  if (!result.ok()) return Failed(result.status, interrupts);
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
      return Failed(Status::Internal("the statistics cannot be read back from the document"),
                    interrupts);
    }
    stats = zelprep::StatisticsCsv(rows);
  }
  std::string schemaText;
  if (withSchema) {
    zelapply::CompiledDocument compiled;
    const zelstatus::Status replayable = zelapply::CompileDocument(text, &compiled);
    if (!replayable.ok()) {
      return Failed(Status::Internal("the document cannot be replayed: " + replayable.message()),
                    interrupts);
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
    const Status drawn = zelreport::RenderReport(text, context, &page);
    if (!drawn.ok()) {
      return Failed(
          Status::Internal("the report cannot be drawn from the document: " + drawn.message()),
          interrupts);
    }
  }
  // Every output is finished before any appears: a failed or interrupted run
  // leaves none.
  if (withData) {
    std::vector<std::string> names;
    for (std::size_t c : fields.columnOf) names.push_back(data.store.names[c]);
    status = preparedData.Open(&interrupts);
    if (!status.ok()) return Failed(status, interrupts);
    std::unique_ptr<IRecordSource> source;
    zelio::CsvRecordSource* streamed = nullptr;
    if (data.streamed) {
      source = std::make_unique<zelio::CsvRecordSource>(run.SourceFile(), data.plans,
                                                        fields.columnOf, progress);
      streamed = static_cast<zelio::CsvRecordSource*>(source.get());
    } else {
      source = std::make_unique<zelio::ColumnRecordSource>(data.store, fields.columnOf, progress);
    }
    status = zelreplay::WritePreparedParts(text, *source, names, preparedData.Parts(data.fileRows),
                                           options.delimiter, interrupts, progress);
    if (streamed != nullptr && !streamed->error().empty()) {
      progress.Finish();
      return InputError(streamed->error());
    }
    progress.Finish();
    if (!status.ok()) return Failed(status, interrupts);
    status = preparedData.Finish();
    if (!status.ok()) return Failed(status, interrupts);
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
  if (withData) status = preparedData.Commit();
  if (status.ok() && withSchema) status = dataSchema.Commit();
  if (status.ok() && withStats) status = statistics.Commit();
  if (status.ok() && withReport) status = reportPage.Commit();
  if (status.ok()) status = document.Commit();
  if (!status.ok()) return Failed(status, interrupts);
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
