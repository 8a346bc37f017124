#include "host/FieldsTable.h"

#include "apply/ActionWords.h"

namespace zelhost {

namespace {

// The row of a column of timestamps that went over as its date and its
// time of day (`parts`), which has no field of its own.
FieldRow SplitColumnRow(const std::string& column, const std::vector<std::string>& parts) {
  FieldRow row;
  row.name = column;
  row.source = column;
  row.kind = "input";
  row.type = "dateTime";
  row.reason = "handed over as its date and its time of day";
  row.reasonKey = "SplitTimestamp";
  for (const std::string& part : parts) {
    if (!row.steps.empty()) row.steps += ", ";
    row.steps += part;
  }
  return row;
}

}  // namespace

std::vector<FieldRow> FieldsTable(const zelapply::DocumentFacts& facts) {
  std::vector<FieldRow> rows;
  rows.reserve(facts.fields.size() + facts.timestampParts.size());
  for (const zelapply::FieldFact& field : facts.fields) {
    // A split column's row comes before the first of its parts.
    for (const zelapply::TimestampPart& part : facts.timestampParts) {
      if (part.field != field.name || field.derived) continue;
      std::vector<std::string> parts;
      for (const zelapply::TimestampPart& other : facts.timestampParts) {
        if (other.column == part.column) parts.push_back(other.field);
      }
      if (parts.front() == field.name) rows.push_back(SplitColumnRow(part.column, parts));
    }
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
