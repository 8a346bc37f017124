#include "io/FieldPlan.h"

#include <algorithm>
#include <set>

#include "torcommon13r/TorVariable.h"

namespace zelio {

using TorCommon_1_3::kStorageInteger;
using TorCommon_1_3::kStorageString;

bool FieldPlan::IsUserMissing(double value) const {
  if (spec == nullptr) return false;
  if (spec->missingRange && spec->missingRange->first <= value &&
      value <= spec->missingRange->second) {
    return true;
  }
  const auto& values = spec->missingValues;
  return std::find(values.begin(), values.end(), value) != values.end();
}

bool FieldPlan::IsUserMissing(std::string_view text) const {
  if (spec == nullptr) return false;
  const auto& strings = spec->missingStrings;
  return std::find(strings.begin(), strings.end(), text) != strings.end();
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
  plan->spec = spec;
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

}  // namespace zelio
