#include "PrepareCommand.h"

#include <unistd.h>

#include <ctime>
#include <iostream>
#include <memory>
#include <sstream>

#include "io/BlockFeed.h"
#include "io/BlockedBuild.h"
#include "io/DataLoader.h"
#include "io/HostFields.h"
#include "Interrupts.h"
#include "OutputFile.h"
#include "io/PreparedData.h"
#include "io/PreparedSchema.h"
#include "io/ReferenceClock.h"
#include "ProgressLine.h"
#include "ReportCommand.h"
#include "io/Schema.h"
#include "io/SettingsFile.h"
#include "StatsCsv.h"
#include "SummaryReport.h"
#include "apply/Document.h"
#include "frame/ZelFactory.h"
#include "frame/ZelStatusCodes.h"
#include "pmml/PMMLHeaderInfo.h"
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

bool BuildSettings(const PrepareOptions& options, TorSettings* settings,
                   std::vector<std::string>* warnings, std::string* error) {
  const zelio::SettingsFile keys(ZelFactory::GetSettingKeys(), ZelFactory::GetKeysWithoutEffect());
  if (!options.settingsPath.empty() &&
      !keys.LoadFile(options.settingsPath, settings, warnings, error)) {
    return false;
  }
  for (const std::string& assignment : options.assignments) {
    if (!keys.Assign(assignment, settings, warnings, error)) return false;
  }
  if (!options.analysisWeight.empty())
    settings->SetString("analysisWeight", options.analysisWeight);
  if (!ZelFactory::ReviewSettings(*settings, warnings, error)) return false;
  // One clock for every thread's replica.
  zelio::PinReferenceClock(static_cast<int64_t>(std::time(nullptr)), settings);
  return true;
}

// Resolves an output before the long work; it must never overwrite one of
// the files the document is made from.
bool PrepareOutput(const PrepareOptions& options, const std::string& path, OutputFile* output,
                   std::string* error) {
  return output->Prepare(path, error) &&
         output->CheckNotInput(options.dataPath, "data", error) &&
         output->CheckNotInput(options.schemaPath, "schema", error) &&
         output->CheckNotInput(options.settingsPath, "settings", error);
}

// Finishes a written output, which stays to be committed with the others.
// The exit status: success, or what a stop or a failed write gives.
int Finish(OutputFile& output, const Interrupts& interrupts) {
  std::string error;
  switch (output.Finish(&error)) {
    case OutputFile::Result::kInterrupted:
      return Interrupted(interrupts);
    case OutputFile::Result::kFailed:
      return InputError(error);
    case OutputFile::Result::kWritten:
      break;
  }
  return kExitSuccess;
}

bool ParseTargetLevel(const PrepareOptions& options, zelio::FieldRoles* roles, std::string* error) {
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
      roles->targetLevel = level.second;
      return true;
    }
  }
  *error = "--target-level takes nominal, ordinal or continuous, not \"" + options.targetLevel +
           "\"";
  return false;
}

// A Box-Cox target computed from whole numbers is truncated to whole numbers
// like its source, which keeps few of its distinct values.
std::string TruncatedTargetWarning(const zelapply::Program& program) {
  for (const zelapply::FieldInfo& field : program.fields()) {
    if (!field.truncated) continue;
    return "the Box-Cox transformed target '" + field.name +
           "' is truncated to whole numbers, since the target holds whole numbers, and keeps "
           "little of its detail; declare the target's storage \"real\" in the schema to keep "
           "the fractions";
  }
  return std::string();
}

// Writes all of `text` to `output` and finishes it.
int WriteWhole(OutputFile& output, const std::string& text, Interrupts& interrupts) {
  std::string error;
  if (!output.Open(&interrupts, &error)) return InputError(error);
  output.Write(text);
  return Finish(output, interrupts);
}

// "error CODE: message" or "warning CODE: message".
std::string DescribeStatus(const TorStatus& status) {
  const char* message = ZelFactory::DescribeStatusCode(status.GetCode());
  return std::string(status.IsWarning() ? "warning " : "error ") +
         std::to_string(status.GetCode()) + ": " + (message ? message : "unknown status");
}

// Warnings that only say a step does not apply to this data go on one line
// after the others, so that the real ones stand out.
void PrintStatuses(const std::vector<TorStatus>& statuses) {
  std::string inapplicable;
  for (const TorStatus& status : statuses) {
    const char* step =
        status.IsWarning() ? ZelFactory::DescribeInapplicableStep(status.GetCode()) : nullptr;
    if (step == nullptr) {
      std::cerr << DescribeStatus(status) << "\n";
    } else {
      inapplicable += (inapplicable.empty() ? "" : ", ") + std::string(step);
    }
  }
  if (!inapplicable.empty()) std::cerr << "not applicable here: " << inapplicable << "\n";
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
  TorSettings settings;
  std::vector<std::string> notes;
  if (!BuildSettings(options, &settings, &notes, &error)) return InputError(error);
  zelio::Schema schema;
  if (!zelio::LoadSchema(options.schemaPath, &schema, &error)) return InputError(error);
  OutputFile document;
  const std::string documentPath =
      options.outputPath.empty() ? DefaultOutputPath(options.dataPath) : options.outputPath;
  if (!PrepareOutput(options, documentPath, &document, &error)) return InputError(error);
  OutputFile preparedData;
  const bool withData = !options.dataOutPath.empty();
  if (withData && !PrepareOutput(options, options.dataOutPath, &preparedData, &error)) {
    return InputError(error);
  }
  OutputFile statistics;
  const bool withStats = !options.statsPath.empty();
  if (withStats && !PrepareOutput(options, options.statsPath, &statistics, &error)) {
    return InputError(error);
  }
  OutputFile dataSchema;
  const bool withSchema = !options.schemaOutPath.empty();
  if (withSchema && !PrepareOutput(options, options.schemaOutPath, &dataSchema, &error)) {
    return InputError(error);
  }
  if (withSchema && (document.SameTarget(dataSchema) || preparedData.SameTarget(dataSchema) ||
                     (withStats && statistics.SameTarget(dataSchema)))) {
    return InputError("the schema of the prepared data cannot be written to " +
                      options.schemaOutPath + ", which another output names");
  }
  if (withData && document.SameTarget(preparedData)) {
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
  if (withReport && !PrepareOutput(options, options.reportPath, &reportPage, &error)) {
    return InputError(error);
  }
  if (withReport && (document.SameTarget(reportPage) ||
                     (withData && preparedData.SameTarget(reportPage)) ||
                     (withStats && statistics.SameTarget(reportPage)) ||
                     (withSchema && dataSchema.SameTarget(reportPage)))) {
    return InputError("the report cannot be written to " + options.reportPath +
                      ", which another output names");
  }

  zelio::LoadRequest request;
  request.path = options.dataPath;
  request.delimiter = options.delimiter;
  request.schema = &schema;
  request.roles = {options.target, options.frequencyWeight, std::string(), std::nullopt};
  settings.GetSettingValByName("analysisWeight", request.roles.analysisWeight);
  if (!ParseTargetLevel(options, &request.roles, &error)) return InputError(error);
  request.stream = options.stream;
  request.memoryLimit =
      options.memoryLimit > 0 ? options.memoryLimit : zelio::DefaultMemoryLimit();
  request.threaded = options.threads != 1;

  ProgressLine progress(std::cerr, !options.quiet && (options.progress || isatty(STDERR_FILENO)));
  zelio::LoadedData data;
  const zelio::LoadResult loaded = zelio::LoadCsv(request, interrupts, progress, &data, &error);
  if (loaded != zelio::LoadResult::kLoaded) progress.Finish();
  if (loaded == zelio::LoadResult::kInterrupted) return Interrupted(interrupts);
  if (loaded == zelio::LoadResult::kInputError) return InputError(error);
  if (data.droppedRecords > 0) {
    notes.push_back(std::to_string(data.droppedRecords) +
                    " records left out: their frequency or analysis weight is missing, zero or "
                    "negative");
  }

  zelio::HostFields fields;
  zelio::BuildHostFields(data.plans, data.store, request.roles, &fields);
  // One replica per thread that has blocks to read, each from a factory of
  // its own (a factory's algorithms share its warning list).
  const std::size_t workers = zelio::PassThreads(options.threads, data.rows);
  std::vector<ZelFactory> factories(workers);
  std::vector<std::unique_ptr<ITorAlgorithm>> replicas;
  std::vector<ITorAlgorithm*> running;
  for (ZelFactory& factory : factories) {
    replicas.emplace_back(factory.CreateTorAlgorithm(settings, fields.variables));
    if (!replicas.back()) {
      progress.Finish();
      if (!options.quiet) PrintStatuses(factory.GetWarnings());
      std::cerr << DescribeStatus(factory.GetStatus()) << "\n";
      return kExitComponentError;
    }
    replicas.back()->SetInterruptCheck(&interrupts);
    running.push_back(replicas.back().get());
  }
  ITorAlgorithm* algorithm = replicas.front().get();
  algorithm->SetProgressListener(&progress);
  std::unique_ptr<zelio::BlockFeed> feed;
  if (data.streamed) {
    zelio::CsvSourceFile file{options.dataPath, options.delimiter, data.rows, data.store.names.size(),
                       request.threaded, zelio::CsvChunkReader::kDefaultChunk, data.fingerprint};
    feed = std::make_unique<zelio::StreamBlockFeed>(file, data.plans, fields.columnOf, workers);
  } else {
    feed = std::make_unique<zelio::ColumnBlockFeed>(data.store, fields.columnOf, workers);
  }
  interrupts.Attach(algorithm);
  std::string refused;
  const TorStatus status = zelio::RunBlockedBuild(running, *feed, progress, &refused);
  interrupts.Attach(nullptr);
  if (!feed->Error().empty()) {
    progress.Finish();
    return InputError(feed->Error());
  }
  const std::vector<TorStatus> warnings = *algorithm->GetWarnings();

  std::ostringstream pmml;
  TorStatus written;
  if (!status.IsError() && !interrupts.IsInterrupted()) {
    PMMLHeaderInfo header;
    header.applicationName = "zelcraft prepare";
    header.applicationVersion = ZEL_VERSION;
    written = algorithm->WritePMML(pmml, &header);
  }
  progress.Finish();
  if (interrupts.IsInterrupted() || status.GetCode() == ZelStatusCode::kInterrupted) {
    return Interrupted(interrupts);
  }
  if (!options.quiet) {
    for (const std::string& note : notes) std::cerr << "warning: " << note << "\n";
    PrintStatuses(warnings);
  }
  if (status.IsError() || written.IsError()) {
    std::cerr << DescribeStatus(status.IsError() ? status : written) << "\n";
    if (!refused.empty()) std::cerr << "note: " << refused << "\n";
    const std::string why = status.GetCode() == ZelStatusCode::kTargetExcluded
                                ? ZelFactory::ExplainExcludedTarget(*algorithm)
                                : std::string();
    if (!why.empty()) std::cerr << "note: " << why << "\n";
    return kExitComponentError;
  }

  const std::string text = pmml.str();
  std::string stats;
  if (withStats && !MakeStatsCsv(text, &stats)) {
    std::cerr << "error: the statistics cannot be read back from the document\n";
    return kExitComponentError;
  }
  bool boxCox = false;
  settings.GetSettingValByName("rescaleScaleTargetUsingBoxCox", boxCox);
  std::string schemaText;
  if (withSchema || (boxCox && !options.quiet)) {
    zelapply::CompiledDocument compiled;
    const zelapply::Status replayable = zelapply::CompileDocument(text, &compiled);
    if (!replayable.ok() && withSchema) {
      std::cerr << "error: the document cannot be replayed: " << replayable.message() << "\n";
      return kExitComponentError;
    }
    // Only the warning on a truncated target wanted the replay: the
    // document stands as the component built it, quiet or not.
    if (!replayable.ok()) {
      std::cerr << "warning: the document cannot be replayed: " << replayable.message() << "\n";
    } else {
      if (withSchema) schemaText = zelio::PreparedSchemaText(*compiled.program, false);
      const std::string truncated = TruncatedTargetWarning(*compiled.program);
      if (!truncated.empty() && !options.quiet) std::cerr << "warning: " << truncated << "\n";
    }
  }
  std::string page;
  if (withReport) {
    zelreport::ReportContext context;
    context.dataSet = PathFileName(options.dataPath);
    context.documentName =
        document.toStandardOutput() ? std::string() : PathFileName(documentPath);
    context.records = data.rows;
    context.fieldsRead = static_cast<int64_t>(data.store.names.size());
    context.fieldsHanded = static_cast<int64_t>(fields.columnOf.size());
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
      zelio::CsvSourceFile file{options.dataPath, options.delimiter, data.rows,
                                data.store.names.size(), request.threaded,
                                zelio::CsvChunkReader::kDefaultChunk, data.fingerprint};
      source = std::make_unique<zelio::CsvRecordSource>(file, data.plans, fields.columnOf, progress);
      streamed = static_cast<zelio::CsvRecordSource*>(source.get());
    } else {
      source = std::make_unique<zelio::ColumnRecordSource>(data.store, fields.columnOf, progress);
    }
    const zelio::PreparedDataResult prepared = zelio::WritePreparedData(
        text, *source, names, preparedData, options.delimiter, interrupts, progress, &error);
    if (streamed != nullptr && !streamed->error().empty()) {
      progress.Finish();
      return InputError(streamed->error());
    }
    progress.Finish();
    if (prepared == zelio::PreparedDataResult::kBadDocument) {
      std::cerr << "error: " << error << "\n";
      return kExitComponentError;
    }
    if (prepared == zelio::PreparedDataResult::kInterrupted) return Interrupted(interrupts);
    const int outcome = Finish(preparedData, interrupts);
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
                 {static_cast<std::size_t>(data.rows), data.store.names.size(),
                  fields.columnOf.size()},
                 summary);
    if (!document.toStandardOutput()) std::cerr << "document written to " << documentPath << "\n";
    if (withStats && !statistics.toStandardOutput()) {
      std::cerr << "statistics written to " << options.statsPath << "\n";
    }
    if (withData && !preparedData.toStandardOutput()) {
      std::cerr << "prepared data written to " << options.dataOutPath << "\n";
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
