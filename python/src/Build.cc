#include "Build.h"

#include <ctime>
#include <functional>
#include <memory>
#include <sstream>

#include "frame/ZelFactory.h"
#include "frame/ZelStatusCodes.h"
#include "io/BlockFeed.h"
#include "io/BlockedBuild.h"
#include "io/InterruptRelay.h"
#include "io/DataLoader.h"
#include "io/HostFields.h"
#include "io/ReferenceClock.h"
#include "io/Schema.h"
#include "io/SettingsFile.h"
#include "io/WeightTally.h"
#include "pmml/PMMLHeaderInfo.h"
#include "torcommon13r/TorVariable.h"

namespace zelpy {

namespace {

using namespace TorCommon_1_3;

BuildOutcome Failure(BuildOutcome::Kind kind, std::string message) {
  BuildOutcome outcome;
  outcome.kind = kind;
  outcome.message = std::move(message);
  return outcome;
}

BuildOutcome InputError(std::string message) {
  return Failure(BuildOutcome::Kind::kInputError, std::move(message));
}

std::string Describe(const TorStatus& status) {
  const char* message = ZelFactory::DescribeStatusCode(status.GetCode());
  return message ? message : "unknown status";
}

bool ReadInputs(const BuildRequest& request, Inputs* inputs, std::string* error) {
  const zelio::SettingsFile keys(ZelFactory::GetSettingKeys(), ZelFactory::GetKeysWithoutEffect());
  if (!request.settingsText.empty() &&
      !keys.LoadText(request.settingsText, request.settingsName, &inputs->settings,
                     &inputs->notes, error)) {
    return false;
  }
  for (const std::string& assignment : request.assignments) {
    if (!keys.Assign(assignment, &inputs->settings, &inputs->notes, error)) return false;
  }
  if (!ZelFactory::ReviewSettings(inputs->settings, &inputs->notes, error)) return false;
  zelio::PinReferenceClock(request.clock ? *request.clock : static_cast<int64_t>(std::time(nullptr)),
                           &inputs->settings);
  if (!request.schemaText.empty() &&
      !zelio::ParseSchema(request.schemaText, "schema", &inputs->schema, error)) {
    return false;
  }
  inputs->roles.target = request.target;
  inputs->roles.frequencyWeight = request.frequencyWeight;
  inputs->settings.GetSettingValByName("analysisWeight", inputs->roles.analysisWeight);
  return true;
}

// The feed of a build's blocks for `workers` threads (field i reads column
// columnOf[i]), and what ended its passes early, if anything.
using MakeFeed = std::function<std::unique_ptr<zelio::BlockFeed>(
    const std::vector<std::size_t>& columnOf, std::size_t workers)>;

BuildOutcome Run(Inputs& inputs, const zelio::ColumnStore& store,
                 const std::vector<zelio::FieldPlan>& plans, int64_t records, int64_t dropped,
                 int threads, const MakeFeed& makeFeed, PythonHost& host) {
  NoteDropped(&inputs, dropped);
  zelio::HostFields fields;
  zelio::BuildHostFields(plans, store, inputs.roles, &fields);
  // One replica per thread, each from a factory of its own; the host's
  // callbacks are made on this thread only.
  const std::size_t workers = zelio::PassThreads(threads, records);
  std::vector<ZelFactory> factories(workers);
  std::vector<std::unique_ptr<ITorAlgorithm>> replicas;
  std::vector<ITorAlgorithm*> running;
  zelio::InterruptRelay relay(host);
  for (ZelFactory& factory : factories) {
    replicas.emplace_back(factory.CreateTorAlgorithm(inputs.settings, fields.variables));
    if (!replicas.back()) return Refused(inputs, factory);
    replicas.back()->SetInterruptCheck(running.empty() ? relay.ForCaller() : relay.ForWorkers());
    running.push_back(replicas.back().get());
  }
  running.front()->SetProgressListener(&host);
  const std::unique_ptr<zelio::BlockFeed> feed = makeFeed(fields.columnOf, workers);
  std::string refused;
  const TorStatus status = zelio::RunBlockedBuild(running, *feed, host, &refused);
  if (!feed->Error().empty()) return InputError(feed->Error());
  BuildOutcome outcome = Conclude(inputs, *running.front(), status, host);
  if (outcome.note.empty()) outcome.note = refused;
  outcome.records = records;
  outcome.fieldsRead = store.names.size();
  outcome.fieldsHanded = fields.columnOf.size();
  return outcome;
}

// The weights of every row as the component will take them, as the loader
// tallies a file's; rows are numbered from 1 in messages.
bool TallyWeights(const zelio::ColumnStore& store, const std::vector<zelio::FieldPlan>& plans,
                  const zelio::FieldRoles& roles, int64_t* dropped, std::string* error) {
  zelio::WeightTally tally(plans, roles);
  if (tally.frequencyColumn() < 0 && tally.analysisColumn() < 0) return true;
  auto value = [&store](std::ptrdiff_t c, std::size_t row, double* out) -> const double* {
    if (c < 0) return nullptr;
    const zelio::Column& column = store.columns[static_cast<std::size_t>(c)];
    if (column.IsMissing(row)) return nullptr;
    *out = column.storage() == kStorageInteger ? static_cast<double>(column.Integer(row))
                                               : column.Double(row);
    return out;
  };
  for (std::size_t row = 0; row < store.rows(); ++row) {
    double frequency, analysis;
    if (!tally.AddRow(value(tally.frequencyColumn(), row, &frequency),
                      value(tally.analysisColumn(), row, &analysis),
                      static_cast<int64_t>(row + 1), error)) {
      // The tally speaks of a file's lines; a frame has rows.
      if (error->compare(0, 5, "line ") == 0) error->replace(0, 5, "row ");
      return false;
    }
  }
  *dropped = tally.dropped();
  return true;
}

}  // namespace

void NoteDropped(Inputs* inputs, int64_t dropped) {
  if (dropped > 0) {
    inputs->notes.push_back(std::to_string(dropped) +
                            " records left out: their frequency or analysis weight is missing, "
                            "zero or negative");
  }
}

BuildOutcome Refused(const Inputs& inputs, const ZelFactory& factory) {
  BuildOutcome outcome;
  for (const std::string& note : inputs.notes) outcome.warnings.emplace_back(0, note);
  for (const TorStatus& status : factory.GetWarnings()) {
    outcome.warnings.emplace_back(status.GetCode(), Describe(status));
  }
  outcome.kind = BuildOutcome::Kind::kComponentError;
  outcome.code = factory.GetStatus().GetCode();
  outcome.message = Describe(factory.GetStatus());
  return outcome;
}

BuildOutcome Conclude(const Inputs& inputs, ITorAlgorithm& algorithm, const TorStatus& status,
                      PythonHost& host) {
  BuildOutcome outcome;
  std::ostringstream pmml;
  TorStatus written;
  if (!status.IsError() && !host.stopped()) {
    PMMLHeaderInfo header;
    header.applicationName = "zelcraft prepare";
    header.applicationVersion = ZEL_VERSION;
    written = algorithm.WritePMML(pmml, &header);
  }
  if (host.stopped() || status.GetCode() == ZelStatusCode::kInterrupted) {
    return Failure(BuildOutcome::Kind::kInterrupted, "interrupted");
  }
  for (const std::string& note : inputs.notes) outcome.warnings.emplace_back(0, note);
  for (const TorStatus& warning : *algorithm.GetWarnings()) {
    outcome.warnings.emplace_back(warning.GetCode(), Describe(warning));
  }
  if (status.IsError() || written.IsError()) {
    const TorStatus& failed = status.IsError() ? status : written;
    outcome.kind = BuildOutcome::Kind::kComponentError;
    outcome.code = failed.GetCode();
    outcome.message = Describe(failed);
    if (status.GetCode() == ZelStatusCode::kTargetExcluded) {
      outcome.note = ZelFactory::ExplainExcludedTarget(algorithm);
    }
    return outcome;
  }
  outcome.document = pmml.str();
  return outcome;
}

bool SetUpFromStore(const BuildRequest& request, const zelio::ColumnStore& store, Inputs* inputs,
                    std::vector<zelio::FieldPlan>* plans, int64_t* dropped, std::string* error) {
  if (!ReadInputs(request, inputs, error)) return false;
  if (store.rows() == 0) {
    *error = "the data has no records";
    return false;
  }
  return zelio::PlanColumns(store, inputs->schema, inputs->roles, plans, error) &&
         TallyWeights(store, *plans, inputs->roles, dropped, error);
}

bool FillStore(const std::vector<std::string>& names, const std::vector<ColumnData>& columns,
               PythonHost& host, zelio::ColumnStore* store) {
  store->names = names;
  host.StartPhase("reading");
  for (const ColumnData& data : columns) {
    store->columns.emplace_back(data.Storage());
    FillColumn(data, &store->columns.back());
    if (host.Poll()) return false;
  }
  host.Records(static_cast<int64_t>(store->rows()));
  return true;
}

BuildOutcome BuildFromStore(const BuildRequest& request, const zelio::ColumnStore& store,
                            PythonHost& host) {
  Inputs inputs;
  std::string error;
  std::vector<zelio::FieldPlan> plans;
  int64_t dropped = 0;
  if (!SetUpFromStore(request, store, &inputs, &plans, &dropped, &error)) return InputError(error);
  const MakeFeed fromColumns = [&store](const std::vector<std::size_t>& columnOf,
                                        std::size_t workers) {
    return std::unique_ptr<zelio::BlockFeed>(
        std::make_unique<zelio::ColumnBlockFeed>(store, columnOf, workers));
  };
  return Run(inputs, store, plans, static_cast<int64_t>(store.rows()), dropped, request.threads,
             fromColumns, host);
}

BuildOutcome BuildFromCsv(const BuildRequest& request, const CsvRequest& csv, PythonHost& host) {
  Inputs inputs;
  std::string error;
  if (!ReadInputs(request, &inputs, &error)) return InputError(error);
  zelio::LoadRequest load;
  load.path = csv.path;
  load.delimiter = csv.delimiter;
  load.schema = &inputs.schema;
  load.roles = inputs.roles;
  load.stream = csv.stream;
  load.memoryLimit = csv.memoryLimit > 0 ? csv.memoryLimit : zelio::DefaultMemoryLimit();
  load.threaded = csv.threaded;
  zelio::LoadedData data;
  switch (zelio::LoadCsv(load, host, host, &data, &error)) {
    case zelio::LoadResult::kInterrupted:
      return Failure(BuildOutcome::Kind::kInterrupted, "interrupted");
    case zelio::LoadResult::kInputError:
      return InputError(error);
    case zelio::LoadResult::kLoaded:
      break;
  }
  const MakeFeed feed = [&](const std::vector<std::size_t>& columnOf, std::size_t workers) {
    if (!data.streamed) {
      return std::unique_ptr<zelio::BlockFeed>(
          std::make_unique<zelio::ColumnBlockFeed>(data.store, columnOf, workers));
    }
    const zelio::CsvSourceFile file{csv.path, csv.delimiter, data.rows, data.store.names.size(),
                                    csv.threaded, zelio::CsvChunkReader::kDefaultChunk,
                                    data.fingerprint};
    return std::unique_ptr<zelio::BlockFeed>(
        std::make_unique<zelio::StreamBlockFeed>(file, data.plans, columnOf, workers));
  };
  return Run(inputs, data.store, data.plans, data.rows, data.droppedRecords, request.threads,
             feed, host);
}

}  // namespace zelpy
