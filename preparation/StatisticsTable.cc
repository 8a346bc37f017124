#include "preparation/StatisticsTable.h"

#include <cstdio>
#include <set>

#include "io/ByteSink.h"
#include "io/CsvWriter.h"

namespace zelprep {

const std::array<const char*, 10> kStatisticsColumns = {
    "field", "kind", "count", "missing", "mean", "min", "max", "sd", "skewness", "categories"};

namespace {

class StringSink : public zelio::ByteSink {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes.data(), bytes.size());
    return true;
  }
  std::string text;
};

// A count: a whole number, which prints without a decimal separator.
std::string CountText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

}  // namespace

bool ReadStatisticsTable(std::string_view document, std::vector<StatisticsRow>* rows) {
  zelapply::DocumentFacts facts;
  if (!zelapply::ReadDocumentFacts(document, &facts).ok()) return false;
  rows->clear();
  std::set<std::string> seen;
  for (const zelapply::StatisticsFact& stats : facts.statistics) {
    if (!seen.insert(stats.field).second) continue;
    const zelapply::FieldFact* field = facts.Field(stats.field);
    StatisticsRow row;
    row.field = stats.field;
    row.kind = field != nullptr ? field->optype : std::string();
    if (row.kind.empty()) row.kind = stats.numeric ? "continuous" : "categorical";
    row.count = stats.total - stats.missing;
    row.missing = stats.missing;
    row.mean = stats.mean;
    row.minimum = stats.minimum;
    row.maximum = stats.maximum;
    row.sd = stats.standardDeviation;
    row.skewness = stats.skewness;
    row.discrete = stats.discrete;
    row.categories = stats.frequencies.size();
    rows->push_back(std::move(row));
  }
  return true;
}

std::string StatisticsCsv(const std::vector<StatisticsRow>& rows) {
  StringSink sink;
  zelio::CsvWriter writer(sink, ',');
  for (const char* name : kStatisticsColumns) writer.Text(name);
  writer.EndRow();
  for (const StatisticsRow& row : rows) {
    const std::string cells[] = {row.field,
                                 row.kind,
                                 CountText(row.count),
                                 CountText(row.missing),
                                 row.mean.text,
                                 row.minimum.text,
                                 row.maximum.text,
                                 row.sd.text,
                                 row.skewness.text,
                                 row.discrete ? std::to_string(row.categories) : std::string()};
    for (const std::string& cell : cells) {
      if (cell.empty()) {
        writer.Missing();
      } else {
        writer.Text(cell);
      }
    }
    writer.EndRow();
  }
  writer.Flush();
  return std::move(sink.text);
}

}  // namespace zelprep
