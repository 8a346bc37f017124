#include "preparation/PreparationRun.h"

#include <ctime>
#include <sstream>
#include <utility>

#include "frame/ZelStatusCodes.h"
#include "apply/HostHeader.h"
#include "io/ReferenceClock.h"
#include "io/SettingsFile.h"
#include "io/TextDates.h"
#include "pmml/PMMLHeaderInfo.h"
#include "preparation/BlockFeed.h"
#include "preparation/BlockedBuild.h"
#include "preparation/ColumnChecks.h"
#include "preparation/HostSettings.h"
#include "preparation/InterruptRelay.h"
#include "preparation/MemoryEstimate.h"
#include "preparation/RunMessages.h"
#include "preparation/TargetTyping.h"

using ZelFrame::ZelFactory;

namespace zelprep {

using zelstatus::Status;

using namespace TorCommon_1_3;

namespace {

// The interrupt check of work that cannot be interrupted.
class NeverInterrupted : public IInterruptCheck {
 public:
  bool IsInterrupted() override { return false; }
};

// The header's record of a timestamp column handed over as two fields.
PMMLHeaderExtension PartsRecord(const zelio::SplitColumn& split) {
  return {zelapply::kTimestampPartsExtension,
          split.column,
          {{zelapply::kDatePartElement, {{"field", split.dateField}}},
           {zelapply::kTimePartElement, {{"field", split.timeField}}}}};
}

}  // namespace

std::vector<std::string> RunResult::WarningLines() const {
  return zelprep::WarningLines(notes, warnings);
}

PreparationRun::PreparationRun(RunRequest request) : request_(std::move(request)) {}

PreparationRun::~PreparationRun() = default;

bool PreparationRun::Fail(Status status) {
  result_.status = std::move(status);
  failed_ = true;
  return false;
}

bool PreparationRun::ReadInputs() {
  if (failed_) return false;
  const zelio::SettingsFile keys(ZelFactory::GetSettingKeys(), ZelFactory::GetKeysWithoutEffect());
  std::vector<std::string>* notes = &result_.notes;
  Status read;
  if (!request_.settingsPath.empty()) {
    read = keys.LoadFile(request_.settingsPath, &settings_, notes);
  } else if (!request_.settingsText.empty()) {
    read = keys.LoadText(request_.settingsText, request_.settingsName, &settings_, notes);
  }
  if (!read.ok()) return Fail(read);
  for (const std::string& assignment : request_.assignments) {
    read = keys.Assign(assignment, &settings_, notes);
    if (!read.ok()) return Fail(read);
  }
  if (!request_.analysisWeight.empty()) {
    settings_.SetString("analysisWeight", request_.analysisWeight);
  }
  ApplyHostDefaults(&settings_);
  std::string error;
  if (!ZelFactory::ReviewSettings(settings_, notes, &error)) {
    return Fail(Status::InvalidInput(error));
  }
  // One clock for every replica, on threads or elsewhere.
  zelio::PinReferenceClock(
      request_.clock ? *request_.clock : static_cast<int64_t>(std::time(nullptr)), &settings_);
  read = request_.schemaText.empty() ? zelio::LoadSchema(request_.schemaPath, &schema_)
                                     : zelio::ParseSchema(request_.schemaText, "schema", &schema_);
  if (!read.ok()) return Fail(read);
  roles_.target = request_.target;
  roles_.frequencyWeight = request_.frequencyWeight;
  roles_.targetLevel = request_.targetLevel;
  settings_.GetSettingValByName("analysisWeight", roles_.analysisWeight);
  return true;
}

bool PreparationRun::LoadCsv(const CsvSource& csv, IInterruptCheck& interrupts,
                             zelio::ReadProgress& progress) {
  if (failed_) return false;
  csv_ = csv;
  zelio::LoadRequest load;
  load.paths = csv.paths;
  load.delimiter = csv.delimiter;
  load.schema = &schema_;
  load.roles = roles_;
  load.stream = csv.stream;
  load.memoryLimit = request_.memoryLimit > 0 ? request_.memoryLimit : zelio::DefaultMemoryLimit();
  load.threaded = request_.threads != 1;
  load.storages = csv.storages;
  load.maxRows = csv.maxRows;
  if (csv.text != nullptr) load.memoryLimit = 0;
  const Status loaded = csv.text != nullptr
                            ? zelio::LoadCsvText(load, *csv.text, interrupts, progress, &data_)
                            : zelio::LoadCsv(load, interrupts, progress, &data_);
  if (!loaded.ok()) return Fail(loaded);
  return Planned(interrupts);
}

bool PreparationRun::TakeColumns(zelio::ColumnStore store) {
  if (failed_) return false;
  data_.store = std::move(store);
  data_.rows = static_cast<int64_t>(data_.store.rows());
  if (data_.rows == 0) return Fail(Status::InvalidInput("the data has no records"));
  Status checked = CheckColumnTexts(data_.store);
  if (checked.ok()) checked = zelio::ReadTextDates(schema_, &data_.store);
  if (checked.ok()) checked = zelio::PlanColumns(data_.store, schema_, roles_, &data_.plans);
  if (checked.ok()) {
    checked = TallyColumnWeights(data_.store, data_.plans, roles_, &data_.droppedRecords);
  }
  if (!checked.ok()) return Fail(checked);
  NeverInterrupted never;
  return Planned(never);
}

bool PreparationRun::Planned(IInterruptCheck& interrupts) {
  const int64_t dropped = request_.droppedRecords.value_or(data_.droppedRecords);
  if (dropped > 0) {
    result_.notes.push_back(std::to_string(dropped) +
                            " records left out: their frequency or analysis weight is missing, "
                            "zero or negative");
  }
  result_.fieldsRead = data_.store.names.size();
  std::vector<zelio::SplitColumn> splits;
  zelio::SplitTimestamps(&data_, &partSpecs_, &splits);
  for (const zelio::SplitColumn& split : splits) {
    header_.push_back(PartsRecord(split));
    result_.facts.push_back("the timestamps of '" + split.column +
                            "' are handed over as two fields: its date '" + split.dateField +
                            "' and its time of day '" + split.timeField + "'");
  }
  const std::string typed = TypeTargetForBoxCox(settings_, &data_);
  if (!typed.empty()) result_.facts.push_back(typed);
  needs_ = NeededReferences(settings_, data_.plans);
  if (needs_.Any()) {
    if (!request_.moments) {
      const Status found = FindLatestMoments(data_, SourceFile(), needs_, interrupts, &moments_);
      if (!found.ok()) return Fail(found);
    }
    PinReferences(needs_, request_.moments ? *request_.moments : moments_, &settings_,
                  &result_.facts, &header_);
  }
  zelio::BuildHostFields(data_.plans, data_.store, roles_, &fields_);
  result_.records = data_.rows;
  result_.fieldsHanded = fields_.columnOf.size();
  return true;
}

void PreparationRun::RepinReferences(const DataMoments& moments) {
  if (failed_ || !needs_.Any()) return;
  std::vector<std::string> facts;
  std::vector<PMMLHeaderExtension> header;
  PinReferences(needs_, moments, &settings_, &facts, &header);
}

zelio::CsvSourceFile PreparationRun::SourceFile() const {
  return zelio::CsvSourceFile{csv_.paths,
                              csv_.delimiter,
                              data_.rows,
                              data_.fileColumns,
                              request_.threads != 1,
                              zelio::CsvChunkReader::kDefaultChunk,
                              data_.fingerprints};
}

bool PreparationRun::CheckMemory(std::size_t workers) {
  if (failed_) return false;
  const uint64_t limit =
      request_.memoryLimit > 0 ? request_.memoryLimit : zelio::DefaultMemoryLimit();
  if (limit == 0) return true;
  const MemoryEstimate estimate =
      EstimateBuildMemory(settings_, fields_.variables, workers, data_.rows);
  const uint64_t held = data_.store.MemoryBytes();
  if (estimate.Total() + held <= limit) return true;
  // Held columns of a regular file give way to the statistics: the passes
  // read the file again, as a streamed run does.
  bool streamable = !data_.streamed && !data_.fingerprints.empty();
  for (const zelio::InputFingerprint& file : data_.fingerprints) {
    streamable = streamable && file.known && file.identity.regular;
  }
  if (streamable && estimate.Total() <= limit) {
    for (zelio::Column& column : data_.store.columns) column.DropValues();
    data_.streamed = true;
    return true;
  }
  std::string message = "the statistics of " + std::to_string(estimate.fields) +
                        " fields would take about " + DescribeBytes(estimate.Total());
  if (estimate.pairBytes > 0) {
    message += " (" + DescribeBytes(estimate.pairBytes) + " of it for the pairs of " +
               std::to_string(estimate.pairedFields) + " continuous fields)";
  }
  if (held > 0 && !streamable) {
    message += ", beside " + DescribeBytes(held) + " of data held in memory";
  }
  message +=
      ", more than the memory limit of " + DescribeBytes(limit) + ": hand the build fewer fields";
  if (!request_.memoryLimitName.empty()) message += " or raise " + request_.memoryLimitName;
  return Fail(Status::LimitExceeded(message));
}

ITorAlgorithm* PreparationRun::MakeReplica(ZelFactory& factory) {
  if (failed_) return nullptr;
  ITorAlgorithm* algorithm = factory.CreateTorAlgorithm(settings_, fields_.variables);
  if (algorithm == nullptr) {
    result_.refused = true;
    result_.component = factory.GetStatus();
    result_.status = ComponentFailure(result_.component);
    result_.warnings = factory.GetWarnings();
    failed_ = true;
  }
  return algorithm;
}

bool PreparationRun::Build(const RunHost& host) {
  if (failed_) return false;
  // One replica per thread that has blocks to read, each from a factory of
  // its own (a factory's algorithms share its warning list).
  const std::size_t workers = PassThreads(request_.threads, data_.rows);
  if (!CheckMemory(workers)) return false;
  std::vector<ZelFactory> factories(workers);
  std::vector<std::unique_ptr<ITorAlgorithm>> replicas;
  std::vector<ITorAlgorithm*> running;
  InterruptRelay relay(host.interrupts);
  for (ZelFactory& factory : factories) {
    replicas.emplace_back(MakeReplica(factory));
    if (!replicas.back()) return false;
    replicas.back()->SetInterruptCheck(running.empty() ? relay.ForCaller() : relay.ForWorkers());
    running.push_back(replicas.back().get());
  }
  ITorAlgorithm& algorithm = *running.front();
  if (host.listener != nullptr) algorithm.SetProgressListener(host.listener);
  std::unique_ptr<BlockFeed> feed;
  if (data_.streamed) {
    feed = std::make_unique<StreamBlockFeed>(SourceFile(), data_.plans, fields_.columnOf, workers);
  } else {
    feed = std::make_unique<ColumnBlockFeed>(data_.store, fields_.columnOf, workers);
  }
  if (host.running) host.running(&algorithm);
  const TorStatus status = RunBlockedBuild(running, *feed, host.progress, &result_.refusedDetail);
  if (host.running) host.running(nullptr);
  if (!feed->Error().empty()) return Fail(Status::InvalidInput(feed->Error()));
  Conclude(algorithm, status, host.interrupts.IsInterrupted());
  return result_.ok();
}

void PreparationRun::Conclude(ITorAlgorithm& algorithm, const TorStatus& status, bool interrupted) {
  result_.warnings = *algorithm.GetWarnings();
  std::ostringstream pmml;
  TorStatus written;
  if (!status.IsError() && !interrupted) {
    PMMLHeaderInfo header;
    header.applicationName = "zelcraft prepare";
    header.applicationVersion = ZEL_VERSION;
    header.extensions = header_;
    written = algorithm.WritePMML(pmml, &header);
  }
  failed_ = true;
  if (interrupted || status.GetCode() == ZelStatusCode::kInterrupted) {
    result_.status = Status::Interrupted();
    return;
  }
  if (status.IsError() || written.IsError()) {
    result_.component = status.IsError() ? status : written;
    result_.status = ComponentFailure(result_.component);
    if (status.GetCode() == ZelStatusCode::kTargetExcluded) {
      result_.targetNote = ZelFactory::ExplainExcludedTarget(algorithm);
    }
    return;
  }
  failed_ = false;
  result_.document = pmml.str();
}

}  // namespace zelprep
