#include "PrepareCommand.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>

#include "AtomicFile.h"
#include "ColumnRecordSource.h"
#include "CsvRecordSource.h"
#include "DataLoader.h"
#include "HostFields.h"
#include "Interrupts.h"
#include "PreparedData.h"
#include "ProgressLine.h"
#include "SchemaFile.h"
#include "SettingsFile.h"
#include "StatsCsv.h"
#include "StatusMessages.h"
#include "SummaryReport.h"
#include "frame/ZelFactory.h"
#include "frame/ZelStatusCodes.h"
#include "pmml/PMMLHeaderInfo.h"

namespace zelcli {

namespace {

using namespace TorCommon_1_3;

int InputError(const std::string& message) {
  std::cerr << "error: " << message << "\n";
  return kExitInputError;
}

int Interrupted() {
  std::cerr << "interrupted; no document written\n";
  return kExitInterrupted;
}

std::string DefaultOutputPath(const std::string& dataPath) {
  const std::size_t slash = dataPath.rfind('/');
  std::string stem = slash == std::string::npos ? dataPath : dataPath.substr(slash + 1);
  const std::size_t dot = stem.rfind('.');
  if (dot != std::string::npos && dot > 0) stem.resize(dot);
  return stem + ".pmml";
}

// Refuses an output directory that cannot be written before the long work.
bool CheckOutputDirectory(const std::string& path, std::string* error) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  if (access(dir.c_str(), W_OK) == 0) return true;
  *error = "cannot write to " + dir + ": " + std::strerror(errno);
  return false;
}

bool BuildSettings(const PrepareOptions& options, TorSettings* settings, std::string* error) {
  const SettingsFile keys(ZelFactory::GetSettingKeys());
  if (!options.settingsPath.empty() && !keys.LoadFile(options.settingsPath, settings, error)) {
    return false;
  }
  for (const std::string& assignment : options.assignments) {
    if (!keys.Assign(assignment, settings, error)) return false;
  }
  if (!options.analysisWeight.empty())
    settings->SetString("analysisWeight", options.analysisWeight);
  return true;
}

// Half of the physical memory: the columns stay well inside what the
// machine holds, next to everything else the build needs.
uint64_t DefaultMemoryLimit() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 2;
}

void PrintStatuses(const std::vector<TorStatus>& statuses) {
  for (const TorStatus& status : statuses) std::cerr << DescribeStatus(status) << "\n";
}

}  // namespace

int RunPrepare(const PrepareOptions& options) {
  std::string error;
  TorSettings settings;
  if (!BuildSettings(options, &settings, &error)) return InputError(error);
  Schema schema;
  if (!LoadSchema(options.schemaPath, &schema, &error)) return InputError(error);
  const bool toStandardOutput = options.outputPath == "-";
  const bool dataToStandardOutput = options.dataOutPath == "-";
  if (toStandardOutput && dataToStandardOutput) {
    return InputError("the document and the prepared data cannot both go to standard output");
  }
  const std::string outputPath =
      options.outputPath.empty() ? DefaultOutputPath(options.dataPath) : options.outputPath;
  if (!toStandardOutput && !CheckOutputDirectory(outputPath, &error)) return InputError(error);
  if (!options.statsPath.empty() && !CheckOutputDirectory(options.statsPath, &error)) {
    return InputError(error);
  }
  if (!options.dataOutPath.empty() && !dataToStandardOutput &&
      !CheckOutputDirectory(options.dataOutPath, &error)) {
    return InputError(error);
  }

  LoadRequest request;
  request.path = options.dataPath;
  request.delimiter = options.delimiter;
  request.schema = &schema;
  request.roles = {options.target, options.frequencyWeight, std::string()};
  settings.GetSettingValByName("analysisWeight", request.roles.analysisWeight);
  request.stream = options.stream;
  request.memoryLimit = options.memoryLimit > 0 ? options.memoryLimit : DefaultMemoryLimit();
  request.threaded = options.threads != 1;

  Interrupts interrupts;
  ProgressLine progress(std::cerr, !options.quiet && (options.progress || isatty(STDERR_FILENO)));
  LoadedData data;
  const LoadResult loaded = LoadCsv(request, interrupts, progress, &data, &error);
  if (loaded != LoadResult::kLoaded) progress.Finish();
  if (loaded == LoadResult::kInterrupted) return Interrupted();
  if (loaded == LoadResult::kInputError) return InputError(error);

  HostFields fields;
  BuildHostFields(data.plans, data.store, request.roles, &fields);
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, fields.variables));
  if (!algorithm) {
    progress.Finish();
    if (!options.quiet) PrintStatuses(factory.GetWarnings());
    std::cerr << DescribeStatus(factory.GetStatus()) << "\n";
    return kExitComponentError;
  }
  algorithm->SetProgressListener(&progress);
  algorithm->SetInterruptCheck(&interrupts);
  std::unique_ptr<IRecordSource> source;
  CsvRecordSource* streamed = nullptr;
  if (data.streamed) {
    CsvSourceFile file{options.dataPath, options.delimiter, data.rows, data.store.names.size(),
                       request.threaded, CsvChunkReader::kDefaultChunk};
    source = std::make_unique<CsvRecordSource>(file, data.plans, fields.columnOf, progress);
    streamed = static_cast<CsvRecordSource*>(source.get());
  } else {
    source = std::make_unique<ColumnRecordSource>(data.store, fields.columnOf, progress);
  }
  interrupts.Attach(algorithm.get());
  const TorStatus status = algorithm->Execute(source.get());
  interrupts.Attach(nullptr);
  if (streamed != nullptr && !streamed->error().empty()) {
    progress.Finish();
    return InputError(streamed->error());
  }
  const std::vector<TorStatus> warnings = *algorithm->GetWarnings();

  std::ostringstream document;
  TorStatus written;
  if (!status.IsError() && !interrupts.IsInterrupted()) {
    PMMLHeaderInfo header;
    header.applicationName = "zelcraft prepare";
    header.applicationVersion = ZEL_VERSION;
    written = algorithm->WritePMML(document, &header);
  }
  progress.Finish();
  if (interrupts.IsInterrupted() || status.GetCode() == ZelStatusCode::kInterrupted) {
    return Interrupted();
  }
  if (!options.quiet) PrintStatuses(warnings);
  if (status.IsError() || written.IsError()) {
    std::cerr << DescribeStatus(status.IsError() ? status : written) << "\n";
    return kExitComponentError;
  }

  const std::string text = document.str();
  std::string stats;
  if (!options.statsPath.empty() && !MakeStatsCsv(text, &stats)) {
    std::cerr << "error: the statistics cannot be read back from the document\n";
    return kExitComponentError;
  }
  // The prepared data comes first: an interrupted run then leaves neither file.
  if (!options.dataOutPath.empty()) {
    std::vector<std::string> names;
    for (std::size_t c : fields.columnOf) names.push_back(data.store.names[c]);
    const PreparedDataResult prepared =
        WritePreparedData(text, *source, names, options.dataOutPath, options.delimiter,
                          interrupts, progress, &error);
    if (streamed != nullptr && !streamed->error().empty()) {
      progress.Finish();
      return InputError(streamed->error());
    }
    progress.Finish();
    if (prepared == PreparedDataResult::kInterrupted) return Interrupted();
    if (prepared == PreparedDataResult::kWriteError) return InputError(error);
    if (prepared == PreparedDataResult::kBadDocument) {
      std::cerr << "error: " << error << "\n";
      return kExitComponentError;
    }
  }
  if (!options.statsPath.empty() && !WriteFileAtomically(options.statsPath, stats, &error)) {
    return InputError(error);
  }
  if (toStandardOutput) {
    std::cout << text << std::flush;
    if (!std::cout) return InputError("cannot write the document to standard output");
  } else if (!WriteFileAtomically(outputPath, text, &error)) {
    return InputError(error);
  }
  if (!options.quiet) {
    DocumentSummary summary;
    ReadDocumentSummary(text, &summary);
    PrintSummary(std::cerr,
                 {static_cast<std::size_t>(data.rows), data.store.names.size(),
                  fields.columnOf.size()},
                 summary);
    if (!toStandardOutput) std::cerr << "document written to " << outputPath << "\n";
    if (!options.statsPath.empty()) {
      std::cerr << "statistics written to " << options.statsPath << "\n";
    }
    if (!options.dataOutPath.empty() && !dataToStandardOutput) {
      std::cerr << "prepared data written to " << options.dataOutPath << "\n";
    }
  }
  return kExitSuccess;
}

}  // namespace zelcli
