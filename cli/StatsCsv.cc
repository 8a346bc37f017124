#include "StatsCsv.h"

#include <cstdio>
#include <set>
#include <vector>

#include "apply/DocumentFacts.h"
#include "io/ByteSink.h"
#include "io/CsvWriter.h"

namespace zelcli {

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

// The cells of one row, figures as the document writes them; an empty text
// is an empty cell.
std::vector<std::string> Row(const zelapply::StatisticsFact& stats,
                             const zelapply::FieldFact* field) {
  std::string kind = field != nullptr ? field->optype : std::string();
  if (kind.empty()) kind = stats.numeric ? "continuous" : "categorical";
  return {stats.field,
          kind,
          CountText(stats.total - stats.missing),
          CountText(stats.missing),
          stats.mean.text,
          stats.minimum.text,
          stats.maximum.text,
          stats.standardDeviation.text,
          stats.skewness.text,
          stats.discrete ? std::to_string(stats.frequencies.size()) : std::string()};
}

}  // namespace

bool MakeStatsCsv(std::string_view document, std::string* csv) {
  zelapply::DocumentFacts facts;
  if (!zelapply::ReadDocumentFacts(document, &facts).ok()) return false;
  StringSink sink;
  zelio::CsvWriter writer(sink, ',');
  for (const char* name : {"field", "kind", "count", "missing", "mean", "min", "max", "sd",
                           "skewness", "categories"}) {
    writer.Text(name);
  }
  writer.EndRow();
  std::set<std::string> written;
  for (const zelapply::StatisticsFact& stats : facts.statistics) {
    if (!written.insert(stats.field).second) continue;
    for (const std::string& cell : Row(stats, facts.Field(stats.field))) {
      if (cell.empty()) {
        writer.Missing();
      } else {
        writer.Text(cell);
      }
    }
    writer.EndRow();
  }
  writer.Flush();
  *csv = std::move(sink.text);
  return true;
}

}  // namespace zelcli
