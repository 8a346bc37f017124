#include "io/FieldPlan.h"

#include <algorithm>
#include <set>

#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelUserMissing;

namespace zelio {

using zelstatus::Status;

using TorCommon_1_3::kStorageInteger;
using TorCommon_1_3::kStorageString;

void FieldPlan::SetSpec(const FieldSpec* given) {
  spec = given;
  missing = ZelUserMissing();
  if (spec == nullptr) return;
  if (spec->missingRange) {
    missing.hasRange = true;
    missing.low = spec->missingRange->first;
    missing.high = spec->missingRange->second;
  }
  missing.numbers = spec->missingValues;
  missing.strings = spec->missingStrings;
}

Status CheckSchemaNames(const std::vector<std::string>& names, const Schema& schema) {
  const std::set<std::string_view> columns(names.begin(), names.end());
  for (const auto& field : schema.fields) {
    if (columns.count(field.first) == 0) {
      return Status::InvalidInput("the schema describes field '" + field.first +
                                  "', which the data does not have");
    }
  }
  return Status();
}

namespace {

const char* StorageName(int storage) {
  switch (storage) {
    case TorCommon_1_3::kStorageDate:
      return "dates";
    case TorCommon_1_3::kStorageTime:
      return "times";
    case TorCommon_1_3::kStorageTimestamp:
      return "timestamps";
    default:
      return "text";
  }
}

Status PlanOne(const std::string& name, int inferred, const FieldSpec* spec,
               std::optional<Level> level, FieldPlan* plan) {
  plan->name = name;
  plan->SetSpec(spec);
  plan->storage = spec && spec->storage ? *spec->storage : inferred;
  const bool text = plan->storage == kStorageString;
  if (!level && spec) level = spec->level;
  plan->level = level ? *level : (text ? Level::kNominal : Level::kContinuous);
  plan->role = spec && spec->role ? *spec->role : Role::kInput;
  const std::string field = "field '" + name + "'";
  if (text && plan->level == Level::kContinuous) {
    return Status::InvalidInput(
        field + " holds text and cannot be continuous (declare its storage or level)");
  }
  const bool hasCategories = spec && !spec->categories.empty();
  if (text && plan->level == Level::kOrdinal) {
    if (!hasCategories) {
      return Status::InvalidInput(field + " is ordinal text and needs its \"categories\" in order");
    }
    int64_t code = 0;
    for (const std::string& category : spec->categories) plan->codes[category] = ++code;
    plan->storage = kStorageInteger;
  } else if (hasCategories) {
    return Status::InvalidInput(field + ": \"categories\" apply only to ordinal text fields");
  }
  // The component compares missing strings with texts only, and missing
  // values and ranges with numbers only: anything else would be ignored.
  if (spec != nullptr && text && (!spec->missingValues.empty() || spec->missingRange)) {
    return Status::InvalidInput(field +
                                " holds text: \"missingValues\" and \"missingRange\" apply only to "
                                "fields of numbers, dates or times (use \"missingStrings\")");
  }
  if (spec != nullptr && !text && !spec->missingStrings.empty()) {
    return Status::InvalidInput(
        field +
        " does not hold text: \"missingStrings\" apply only to text fields (use "
        "\"missingValues\", \"missingRange\" or an empty cell)");
  }
  return Status();
}

// Weights are numbers: a date, time or text column would silently weigh 0.
// A weight column that holds text is the host's to refuse, before any data
// pass: the component takes a text frequency weight as "counts nowhere" and
// drops every record (an analysis weight naming a text field it refuses
// only as 210034, without saying which values were text), so a user would
// get an empty build or a bare code instead of the column named.
Status CheckWeightField(const FieldPlan& plan, const char* what) {
  const bool number = plan.codes.empty() && (plan.storage == kStorageInteger ||
                                             plan.storage == TorCommon_1_3::kStorageReal);
  if (number) return Status();
  return Status::InvalidInput(std::string("the ") + what + " '" + plan.name +
                              "' must hold numbers, not " + StorageName(plan.storage));
}

// A name given for a role must be a field that takes part in the build.
Status CheckRoleField(const std::vector<FieldPlan>& plans, const std::string& name,
                      const char* what) {
  if (name.empty()) return Status();
  for (const FieldPlan& plan : plans) {
    if (plan.name != name) continue;
    if (plan.role == Role::kNone) {
      return Status::InvalidInput("field '" + name + "' has role none and cannot be the " + what);
    }
    return Status();
  }
  return Status::InvalidInput(std::string("the ") + what + " '" + name +
                              "' is not a field of the data");
}

}  // namespace

Status PlanFields(const std::vector<std::string>& names, const std::vector<int>& inferred,
                  const Schema& schema, const FieldRoles& roles, std::vector<FieldPlan>* plans) {
  plans->assign(names.size(), FieldPlan());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::optional<Level> level =
        names[i] == roles.target ? roles.targetLevel : std::optional<Level>();
    const Status planned =
        PlanOne(names[i], inferred[i], schema.Find(names[i]), level, &(*plans)[i]);
    if (!planned.ok()) return planned;
    (*plans)[i].fileColumn = i;
  }
  Status status = CheckRoleField(*plans, roles.target, "target");
  if (status.ok()) status = CheckRoleField(*plans, roles.frequencyWeight, "frequency weight");
  if (status.ok()) status = CheckRoleField(*plans, roles.analysisWeight, "analysis weight");
  if (!status.ok()) return status;
  for (FieldPlan& plan : *plans) {
    if (plan.name == roles.target) plan.role = Role::kTarget;
  }
  for (const FieldPlan& plan : *plans) {
    const bool weight = plan.name == roles.frequencyWeight || plan.name == roles.analysisWeight;
    if (weight && plan.role == Role::kTarget) {
      return Status::InvalidInput("field '" + plan.name + "' cannot be both a target and a weight");
    }
    if (plan.name == roles.frequencyWeight) status = CheckWeightField(plan, "frequency weight");
    if (status.ok() && plan.name == roles.analysisWeight) {
      status = CheckWeightField(plan, "analysis weight");
    }
    if (!status.ok()) return status;
  }
  return Status();
}

Status PlanColumns(const ColumnStore& store, const Schema& schema, const FieldRoles& roles,
                   std::vector<FieldPlan>* plans) {
  std::vector<int> storages;
  for (std::size_t i = 0; i < store.columns.size(); ++i) {
    // Coded ordinal text is held as whole numbers; it is planned as text.
    const FieldSpec* spec = schema.Find(store.names[i]);
    const int held = store.columns[i].storage();
    const bool coded = spec != nullptr && spec->level == Level::kOrdinal &&
                       !spec->categories.empty() && held == kStorageInteger;
    storages.push_back(coded ? kStorageString : held);
  }
  Status status = CheckSchemaNames(store.names, schema);
  if (status.ok()) status = PlanFields(store.names, storages, schema, roles, plans);
  if (!status.ok()) return status;
  for (std::size_t i = 0; i < plans->size(); ++i) {
    const FieldPlan& plan = (*plans)[i];
    if (plan.storage != store.columns[i].storage()) {
      return Status::InvalidInput("field '" + plan.name +
                                  "': the schema gives another storage than its column holds");
    }
  }
  return Status();
}

}  // namespace zelio
