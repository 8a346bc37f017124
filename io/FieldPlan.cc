#include "io/FieldPlan.h"

#include <algorithm>
#include <set>

#include "torcommon13r/TorVariable.h"

namespace zelio {

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

bool CheckSchemaNames(const std::vector<std::string>& names, const Schema& schema,
                      std::string* error) {
  const std::set<std::string_view> columns(names.begin(), names.end());
  for (const auto& field : schema.fields) {
    if (columns.count(field.first) == 0) {
      *error = "the schema describes field '" + field.first + "', which the data does not have";
      return false;
    }
  }
  return true;
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

bool PlanOne(const std::string& name, int inferred, const FieldSpec* spec,
             std::optional<Level> level, FieldPlan* plan, std::string* error) {
  plan->name = name;
  plan->SetSpec(spec);
  plan->storage = spec && spec->storage ? *spec->storage : inferred;
  const bool text = plan->storage == kStorageString;
  if (!level && spec) level = spec->level;
  plan->level = level ? *level : (text ? Level::kNominal : Level::kContinuous);
  plan->role = spec && spec->role ? *spec->role : Role::kInput;
  const std::string field = "field '" + name + "'";
  if (text && plan->level == Level::kContinuous) {
    *error = field + " holds text and cannot be continuous (declare its storage or level)";
    return false;
  }
  const bool hasCategories = spec && !spec->categories.empty();
  if (text && plan->level == Level::kOrdinal) {
    if (!hasCategories) {
      *error = field + " is ordinal text and needs its \"categories\" in order";
      return false;
    }
    int64_t code = 0;
    for (const std::string& category : spec->categories) plan->codes[category] = ++code;
    plan->storage = kStorageInteger;
  } else if (hasCategories) {
    *error = field + ": \"categories\" apply only to ordinal text fields";
    return false;
  }
  // The component compares missing strings with texts only, and missing
  // values and ranges with numbers only: anything else would be ignored.
  if (spec != nullptr && text && (!spec->missingValues.empty() || spec->missingRange)) {
    *error = field +
             " holds text: \"missingValues\" and \"missingRange\" apply only to "
             "fields of numbers, dates or times (use \"missingStrings\")";
    return false;
  }
  if (spec != nullptr && !text && !spec->missingStrings.empty()) {
    *error = field +
             " does not hold text: \"missingStrings\" apply only to text fields (use "
             "\"missingValues\", \"missingRange\" or an empty cell)";
    return false;
  }
  return true;
}

// Weights are numbers: a date, time or text column would silently weigh 0.
// A weight column that holds text is the host's to refuse, before any data
// pass: the component takes a text frequency weight as "counts nowhere" and
// drops every record (an analysis weight naming a text field it refuses
// only as 210034, without saying which values were text), so a user would
// get an empty build or a bare code instead of the column named.
bool CheckWeightField(const FieldPlan& plan, const char* what, std::string* error) {
  const bool number = plan.codes.empty() && (plan.storage == kStorageInteger ||
                                             plan.storage == TorCommon_1_3::kStorageReal);
  if (number) return true;
  *error = std::string("the ") + what + " '" + plan.name + "' must hold numbers, not " +
           StorageName(plan.storage);
  return false;
}

// A name given for a role must be a field that takes part in the build.
bool CheckRoleField(const std::vector<FieldPlan>& plans, const std::string& name, const char* what,
                    std::string* error) {
  if (name.empty()) return true;
  for (const FieldPlan& plan : plans) {
    if (plan.name != name) continue;
    if (plan.role == Role::kNone) {
      *error = "field '" + name + "' has role none and cannot be the " + what;
      return false;
    }
    return true;
  }
  *error = std::string("the ") + what + " '" + name + "' is not a field of the data";
  return false;
}

}  // namespace

bool PlanFields(const std::vector<std::string>& names, const std::vector<int>& inferred,
                const Schema& schema, const FieldRoles& roles, std::vector<FieldPlan>* plans,
                std::string* error) {
  plans->assign(names.size(), FieldPlan());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::optional<Level> level =
        names[i] == roles.target ? roles.targetLevel : std::optional<Level>();
    if (!PlanOne(names[i], inferred[i], schema.Find(names[i]), level, &(*plans)[i], error)) {
      return false;
    }
    (*plans)[i].fileColumn = i;
  }
  if (!CheckRoleField(*plans, roles.target, "target", error) ||
      !CheckRoleField(*plans, roles.frequencyWeight, "frequency weight", error) ||
      !CheckRoleField(*plans, roles.analysisWeight, "analysis weight", error)) {
    return false;
  }
  for (FieldPlan& plan : *plans) {
    if (plan.name == roles.target) plan.role = Role::kTarget;
  }
  for (const FieldPlan& plan : *plans) {
    const bool weight = plan.name == roles.frequencyWeight || plan.name == roles.analysisWeight;
    if (weight && plan.role == Role::kTarget) {
      *error = "field '" + plan.name + "' cannot be both a target and a weight";
      return false;
    }
    if ((plan.name == roles.frequencyWeight &&
         !CheckWeightField(plan, "frequency weight", error)) ||
        (plan.name == roles.analysisWeight && !CheckWeightField(plan, "analysis weight", error))) {
      return false;
    }
  }
  return true;
}

bool PlanColumns(const ColumnStore& store, const Schema& schema, const FieldRoles& roles,
                 std::vector<FieldPlan>* plans, std::string* error) {
  std::vector<int> storages;
  for (std::size_t i = 0; i < store.columns.size(); ++i) {
    // Coded ordinal text is held as whole numbers; it is planned as text.
    const FieldSpec* spec = schema.Find(store.names[i]);
    const int held = store.columns[i].storage();
    const bool coded = spec != nullptr && spec->level == Level::kOrdinal &&
                       !spec->categories.empty() && held == kStorageInteger;
    storages.push_back(coded ? kStorageString : held);
  }
  if (!CheckSchemaNames(store.names, schema, error) ||
      !PlanFields(store.names, storages, schema, roles, plans, error)) {
    return false;
  }
  for (std::size_t i = 0; i < plans->size(); ++i) {
    const FieldPlan& plan = (*plans)[i];
    if (plan.storage != store.columns[i].storage()) {
      *error = "field '" + plan.name + "': the schema gives another storage than its column holds";
      return false;
    }
  }
  return true;
}

}  // namespace zelio
