#include "io/TimestampSplit.h"

#include <set>
#include <utility>

#include "io/CellParser.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {

namespace {

using TorCommon_1_3::kStorageDate;
using TorCommon_1_3::kStorageTime;
using TorCommon_1_3::kStorageTimestamp;

bool Splits(const FieldPlan& plan) {
  return plan.storage == kStorageTimestamp && plan.role == Role::kInput &&
         plan.level == Level::kContinuous && !plan.missing.Any();
}

// `base`, or `base` with the first number from 2 that no column has.
std::string FreeName(const std::string& base, std::set<std::string>* names) {
  std::string name = base;
  for (int n = 2; names->count(name) != 0; ++n) name = base + "_" + std::to_string(n);
  names->insert(name);
  return name;
}

FieldPlan PartPlan(const FieldPlan& whole, const std::string& name, const FieldSpec* spec,
                   CellReader::Part part) {
  FieldPlan plan;
  plan.name = name;
  plan.storage = part == CellReader::Part::kDate ? kStorageDate : kStorageTime;
  plan.level = Level::kContinuous;
  plan.role = Role::kInput;
  plan.SetSpec(spec);
  plan.fileColumn = whole.fileColumn;
  plan.part = part;
  return plan;
}

// The held timestamps as a column of days and one of times of day.
void SplitValues(const Column& whole, std::size_t rows, Column* dates, Column* times) {
  dates->Reserve(rows);
  times->Reserve(rows);
  for (std::size_t row = 0; row < rows; ++row) {
    if (whole.IsMissing(row)) {
      dates->AppendMissing();
      times->AppendMissing();
      continue;
    }
    double day;
    double seconds;
    SplitTimestamp(whole.Double(row), &day, &seconds);
    dates->AppendDouble(day);
    times->AppendDouble(seconds);
  }
  for (Column* column : {dates, times}) {
    column->ShrinkToFit();
    column->PrepareReading();
  }
}

}  // namespace

void SplitTimestamps(LoadedData* data, std::deque<FieldSpec>* specs,
                     std::vector<SplitColumn>* splits) {
  std::vector<FieldPlan>& plans = data->plans;
  ColumnStore& store = data->store;
  std::set<std::string> names(store.names.begin(), store.names.end());
  std::vector<FieldPlan> newPlans;
  ColumnStore newStore;
  const std::size_t rows = data->streamed ? 0 : static_cast<std::size_t>(data->rows);
  for (std::size_t c = 0; c < plans.size(); ++c) {
    if (!Splits(plans[c])) {
      newPlans.push_back(std::move(plans[c]));
      newStore.names.push_back(std::move(store.names[c]));
      newStore.columns.push_back(std::move(store.columns[c]));
      continue;
    }
    const SplitColumn split{plans[c].name, FreeName(plans[c].name + "_date", &names),
                            FreeName(plans[c].name + "_time", &names)};
    specs->emplace_back();
    if (plans[c].spec != nullptr) specs->back().label = plans[c].spec->label;
    newPlans.push_back(PartPlan(plans[c], split.dateField, &specs->back(), CellReader::Part::kDate));
    newPlans.push_back(PartPlan(plans[c], split.timeField, &specs->back(), CellReader::Part::kTime));
    Column dates(kStorageDate);
    Column times(kStorageTime);
    if (rows > 0) SplitValues(store.columns[c], rows, &dates, &times);
    newStore.names.push_back(split.dateField);
    newStore.names.push_back(split.timeField);
    newStore.columns.push_back(std::move(dates));
    newStore.columns.push_back(std::move(times));
    splits->push_back(split);
  }
  plans = std::move(newPlans);
  store = std::move(newStore);
}

}  // namespace zelio
