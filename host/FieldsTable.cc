#include "host/FieldsTable.h"

#include "apply/ActionWords.h"

namespace zelhost {

std::vector<FieldRow> FieldsTable(const zelapply::DocumentFacts& facts) {
  std::vector<FieldRow> rows;
  rows.reserve(facts.fields.size());
  for (const zelapply::FieldFact& field : facts.fields) {
    FieldRow row;
    row.name = field.name;
    row.source = facts.Origin(field.name);
    row.kind = !field.classOfField.empty() ? field.classOfField
               : field.derived             ? "derived"
                                           : "input";
    row.level = field.optype;
    row.type = field.dataType;
    row.used = field.enabled;
    row.predictivePower = field.predictivePower;
    bool excluded = false;
    for (const zelapply::ActionFact& action : field.actions) {
      const char* words = zelapply::ExclusionReasonText(action.reasonKey);
      if (words != nullptr) {
        if (!excluded) {
          row.reason = words;
          row.reasonKey = action.reasonKey;
          excluded = true;
        }
        continue;
      }
      if (!row.steps.empty()) row.steps += ", ";
      row.steps += action.reasonKey;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<std::string> FieldCategories(const zelapply::DocumentFacts& facts,
                                         const zelapply::FieldFact& field) {
  std::vector<std::string> categories;
  if (field.optype != "categorical" && field.optype != "ordinal") return categories;
  for (const zelapply::ValueFact& value : field.values) {
    if (value.property.empty() || value.property == "valid") categories.push_back(value.value);
  }
  if (categories.empty()) {
    const zelapply::StatisticsFact* stats = facts.Statistics(field.name);
    if (stats != nullptr && stats->discrete) categories = stats->categories;
  }
  return categories;
}

}  // namespace zelhost
