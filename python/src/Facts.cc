#include "Facts.h"

#include <pybind11/stl.h>

#include "apply/ActionWords.h"
#include "apply/DocumentFacts.h"

namespace zelpy {

namespace py = pybind11;

namespace {

py::object Number(const zelapply::NumberFact& number) {
  return number.present ? py::object(py::float_(number.value)) : py::object(py::none());
}

py::dict Action(const zelapply::ActionFact& action) {
  py::dict out;
  out["step"] = action.stepKey;
  out["reason"] = action.reasonKey;
  const char* words = zelapply::ExclusionReasonText(action.reasonKey);
  out["exclusion"] = words ? py::object(py::str(words)) : py::object(py::none());
  out["parameters"] = action.parameters;
  out["fields"] = action.fields;
  return out;
}

py::list Actions(const std::vector<zelapply::ActionFact>& actions) {
  py::list out;
  for (const zelapply::ActionFact& action : actions) out.append(Action(action));
  return out;
}

py::dict Field(const zelapply::DocumentFacts& facts, const zelapply::FieldFact& field) {
  py::dict out;
  out["name"] = field.name;
  out["display_name"] = field.displayName;
  out["optype"] = field.optype;
  out["data_type"] = field.dataType;
  out["derived"] = field.derived;
  out["enabled"] = field.enabled;
  out["class"] = field.classOfField;
  out["sources"] = field.sources;
  out["origin"] = facts.Origin(field.name);
  out["actions"] = Actions(field.actions);
  out["predictive_power"] = Number(field.predictivePower);
  out["low"] = Number(field.low);
  out["high"] = Number(field.high);
  py::list values;
  for (const zelapply::ValueFact& value : field.values) {
    values.append(py::make_tuple(value.value, value.displayValue, value.property));
  }
  out["values"] = values;
  return out;
}

py::dict Statistics(const zelapply::StatisticsFact& stats) {
  py::dict out;
  out["field"] = stats.field;
  out["total"] = stats.total;
  out["missing"] = stats.missing;
  out["numeric"] = stats.numeric;
  out["mean"] = Number(stats.mean);
  out["min"] = Number(stats.minimum);
  out["max"] = Number(stats.maximum);
  out["sd"] = Number(stats.standardDeviation);
  out["skewness"] = Number(stats.skewness);
  out["discrete"] = stats.discrete;
  out["categories"] = stats.categories;
  out["frequencies"] = stats.frequencies;
  out["histogram_counts"] = stats.histogramCounts;
  out["histogram_means"] = stats.histogramMeans;
  return out;
}

py::dict Summary(const zelapply::SummaryFact& summary) {
  py::dict out;
  out["present"] = summary.present;
  py::dict counts;
  for (const auto& count : summary.counts) counts[py::str(count.first)] = count.second;
  out["counts"] = counts;
  out["warnings"] = summary.warnings;
  py::list steps;
  for (const zelapply::StepFact& step : summary.steps) {
    py::dict entry;
    entry["step"] = step.stepKey;
    entry["inputs"] = step.inputs;
    entry["outputs"] = step.outputs;
    entry["actions"] = Actions(step.actions);
    steps.append(entry);
  }
  out["steps"] = steps;
  out["reported_fields"] = summary.reportedFields;
  return out;
}

}  // namespace

py::dict DocumentFactsOf(const std::string& document) {
  zelapply::DocumentFacts facts;
  const zelstatus::Status status = zelapply::ReadDocumentFacts(document, &facts);
  if (!status.ok()) throw py::value_error(status.message());
  py::dict out;
  out["application"] = facts.application;
  out["application_version"] = facts.applicationVersion;
  out["timestamp"] = facts.timestamp;
  out["copyright"] = facts.copyright;
  py::list fields;
  for (const zelapply::FieldFact& field : facts.fields) fields.append(Field(facts, field));
  out["fields"] = fields;
  out["summary"] = Summary(facts.summary);
  py::list statistics;
  for (const zelapply::StatisticsFact& stats : facts.statistics) {
    statistics.append(Statistics(stats));
  }
  out["statistics"] = statistics;
  out["has_target_inverse"] = facts.hasTargetInverse;
  py::list parts;
  for (const zelapply::TimestampPart& part : facts.timestampParts) {
    parts.append(py::make_tuple(part.field, part.column, part.timeOfDay));
  }
  out["timestamp_parts"] = parts;
  out["reference_date_from_data"] = facts.referenceDateFromData;
  out["reference_time_from_data"] = facts.referenceTimeFromData;
  return out;
}

}  // namespace zelpy
