#include "io/HostFields.h"

#include <string>

namespace zelio {

namespace {

using namespace TorCommon_1_3;

ITorVariable* MakeVariable(const FieldPlan& plan, const Column& column) {
  const std::string& label = plan.spec ? plan.spec->label : std::string();
  const int role = plan.role == Role::kTarget ? kRoleTarget : kRoleInput;
  ITorVariable* variable;
  if (plan.level == Level::kContinuous) {
    variable = new TorContVar(plan.name, label, role);
    // The component's continuous statistics refuse timestamp values; it
    // derives nothing from timestamps and sets them aside after the first
    // pass, so a timestamp goes over without a measurement level.
    if (plan.storage == kStorageTimestamp) variable->SetMeasureLevel(kLevelNone);
  } else if (plan.storage == kStorageString) {
    variable = new TorCatVar(plan.name, label, static_cast<int>(column.DistinctTexts()),
                             kLevelCategoricalString, role, plan.level == Level::kOrdinal);
  } else {
    const int categories = static_cast<int>(plan.codes.size());
    variable = new TorCatVar(plan.name, label, categories, kLevelCategorical, role,
                             plan.level == Level::kOrdinal);
  }
  variable->SetVariableStorage(plan.storage);
  return variable;
}

void DescribeValues(const FieldPlan& plan, TorEncoder* encoder) {
  if (plan.spec == nullptr) return;
  const FieldSpec& spec = *plan.spec;
  if (!plan.codes.empty()) {
    // Coded categories carry their texts (or the labels given for them) as
    // the labels of the codes.
    for (const std::string& category : spec.categories) {
      std::string label = category;
      for (const auto& valueLabel : spec.valueLabels) {
        if (valueLabel.first == category) label = valueLabel.second;
      }
      encoder->AddValueLabel(std::to_string(plan.codes.find(category)->second), label);
    }
  } else {
    for (const auto& valueLabel : spec.valueLabels) {
      encoder->AddValueLabel(valueLabel.first, valueLabel.second);
    }
  }
  for (double value : spec.missingValues) encoder->AddMissingValue(value);
  // In other fields the missing strings were read as missing values already.
  if (plan.storage == kStorageString) {
    for (const std::string& text : spec.missingStrings) encoder->AddMissingString(text);
  }
  if (spec.missingRange)
    encoder->SetMissingRange(spec.missingRange->first, spec.missingRange->second);
}

}  // namespace

void BuildHostFields(const std::vector<FieldPlan>& plans, const ColumnStore& store,
                     const FieldRoles& roles, HostFields* fields) {
  for (std::size_t i = 0; i < plans.size(); ++i) {
    if (plans[i].role == Role::kNone) continue;
    ITorVariable* variable = MakeVariable(plans[i], store.columns[i]);
    DescribeValues(plans[i], variable->GetEncoder());
    const int index = fields->variables.AddVariable(variable);
    if (plans[i].name == roles.frequencyWeight) fields->variables.SetFrequencyWeightIndex(index);
    fields->columnOf.push_back(i);
  }
}

}  // namespace zelio
