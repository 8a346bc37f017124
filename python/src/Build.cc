#include "Build.h"

#include <functional>
#include <memory>
#include <sstream>

#include "frame/ZelFactory.h"
#include "frame/ZelStatusCodes.h"
#include "io/ColumnRecordSource.h"
#include "io/CsvRecordSource.h"
#include "io/DataLoader.h"
#include "io/HostFields.h"
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

// What the command reads before the data: settings (reviewed), schema, roles.
struct Inputs {
  TorSettings settings;
  zelio::Schema schema;
  zelio::FieldRoles roles;
  std::vector<std::string> notes;
};

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
  if (!request.schemaText.empty() &&
      !zelio::ParseSchema(request.schemaText, "schema", &inputs->schema, error)) {
    return false;
  }
  inputs->roles.target = request.target;
  inputs->roles.frequencyWeight = request.frequencyWeight;
  inputs->settings.GetSettingValByName("analysisWeight", inputs->roles.analysisWeight);
  return true;
}

// A record source for the component's fields (field i reads column
// columnOf[i]), and what ended its passes early, if anything.
struct Source {
  std::unique_ptr<IRecordSource> records;
  std::function<std::string()> error;
};
using MakeSource = std::function<Source(const std::vector<std::size_t>& columnOf)>;

BuildOutcome Run(Inputs& inputs, const zelio::ColumnStore& store,
                 const std::vector<zelio::FieldPlan>& plans, int64_t records, int64_t dropped,
                 const MakeSource& makeSource, PythonHost& host) {
  if (dropped > 0) {
    inputs.notes.push_back(std::to_string(dropped) +
                           " records left out: their frequency or analysis weight is missing, "
                           "zero or negative");
  }
  BuildOutcome outcome;
  zelio::HostFields fields;
  zelio::BuildHostFields(plans, store, inputs.roles, &fields);
  auto warn = [&outcome, &inputs](const std::vector<TorStatus>& statuses) {
    for (const std::string& note : inputs.notes) outcome.warnings.emplace_back(0, note);
    for (const TorStatus& status : statuses) {
      outcome.warnings.emplace_back(status.GetCode(), Describe(status));
    }
  };
  ZelFactory factory;
  std::unique_ptr<ITorAlgorithm> algorithm(
      factory.CreateTorAlgorithm(inputs.settings, fields.variables));
  if (!algorithm) {
    warn(factory.GetWarnings());
    outcome.kind = BuildOutcome::Kind::kComponentError;
    outcome.code = factory.GetStatus().GetCode();
    outcome.message = Describe(factory.GetStatus());
    return outcome;
  }
  algorithm->SetProgressListener(&host);
  algorithm->SetInterruptCheck(&host);
  const Source source = makeSource(fields.columnOf);
  const TorStatus status = algorithm->Execute(source.records.get());
  if (source.error && !source.error().empty()) return InputError(source.error());
  std::ostringstream pmml;
  TorStatus written;
  if (!status.IsError() && !host.stopped()) {
    PMMLHeaderInfo header;
    header.applicationName = "zelcraft prepare";
    header.applicationVersion = ZEL_VERSION;
    written = algorithm->WritePMML(pmml, &header);
  }
  if (host.stopped() || status.GetCode() == ZelStatusCode::kInterrupted) {
    return Failure(BuildOutcome::Kind::kInterrupted, "interrupted");
  }
  warn(*algorithm->GetWarnings());
  if (status.IsError() || written.IsError()) {
    const TorStatus& failed = status.IsError() ? status : written;
    outcome.kind = BuildOutcome::Kind::kComponentError;
    outcome.code = failed.GetCode();
    outcome.message = Describe(failed);
    if (status.GetCode() == ZelStatusCode::kTargetExcluded) {
      outcome.note = ZelFactory::ExplainExcludedTarget(*algorithm);
    }
    return outcome;
  }
  outcome.document = pmml.str();
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
  if (!ReadInputs(request, &inputs, &error)) return InputError(error);
  if (store.rows() == 0) return InputError("the data has no records");
  std::vector<zelio::FieldPlan> plans;
  int64_t dropped = 0;
  if (!zelio::PlanColumns(store, inputs.schema, inputs.roles, &plans, &error) ||
      !TallyWeights(store, plans, inputs.roles, &dropped, &error)) {
    return InputError(error);
  }
  const MakeSource fromColumns = [&store, &host](const std::vector<std::size_t>& columnOf) {
    return Source{std::make_unique<zelio::ColumnRecordSource>(store, columnOf, host), nullptr};
  };
  return Run(inputs, store, plans, static_cast<int64_t>(store.rows()), dropped, fromColumns,
             host);
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
  const MakeSource source = [&](const std::vector<std::size_t>& columnOf) {
    if (!data.streamed) {
      return Source{std::make_unique<zelio::ColumnRecordSource>(data.store, columnOf, host),
                    nullptr};
    }
    const zelio::CsvSourceFile file{csv.path, csv.delimiter, data.rows, data.store.names.size(),
                                    csv.threaded, zelio::CsvChunkReader::kDefaultChunk};
    auto streamed = std::make_unique<zelio::CsvRecordSource>(file, data.plans, columnOf, host);
    const zelio::CsvRecordSource* reader = streamed.get();
    return Source{std::move(streamed), [reader] { return reader->error(); }};
  };
  return Run(inputs, data.store, data.plans, data.rows, data.droppedRecords, source, host);
}

}  // namespace zelpy
