// What a document says, for the package's fields table, statistics, summary
// and report page: the shared readers (host/FieldsTable.h,
// preparation/StatisticsTable.h, report/Report.h) with their rows as the
// columns of R data frames.
#include <Rcpp.h>

#include "RColumns.h"
#include "RText.h"
#include "apply/DocumentFacts.h"
#include "frame/ZelFactory.h"
#include "host/FieldsTable.h"
#include "io/SettingsFile.h"
#include "preparation/StatisticsTable.h"
#include "report/Report.h"

using ZelFrame::ZelFactory;

namespace zelr {

namespace {

double Number(const zelapply::NumberFact& fact) {
  return fact.present ? fact.value : NA_REAL;
}

}  // namespace

zelapply::DocumentFacts Facts(const std::string& document) {
  zelapply::DocumentFacts facts;
  const zelstatus::Status status = zelapply::ReadDocumentFacts(document, &facts);
  if (!status.ok()) throw InputError("not a preparation document: " + status.message());
  return facts;
}

}  // namespace zelr

// [[Rcpp::export(.fields_table)]]
Rcpp::List FieldsTable(std::string document) {
  using namespace zelr;
  const std::vector<zelhost::FieldRow> rows = zelhost::FieldsTable(Facts(document));
  std::vector<std::string> name, source, kind, level, type, reason, reasonKey, steps;
  std::vector<bool> used;
  std::vector<double> power;
  for (const zelhost::FieldRow& row : rows) {
    name.push_back(row.name);
    source.push_back(row.source);
    kind.push_back(row.kind);
    level.push_back(row.level);
    type.push_back(row.type);
    used.push_back(row.used);
    reason.push_back(row.reason);
    reasonKey.push_back(row.reasonKey);
    power.push_back(Number(row.predictivePower));
    steps.push_back(row.steps);
  }
  return Rcpp::List::create(
      Rcpp::Named("name") = Utf8(name), Rcpp::Named("source") = Utf8(source),
      Rcpp::Named("kind") = Utf8(kind), Rcpp::Named("level") = Utf8(level),
      Rcpp::Named("type") = Utf8(type), Rcpp::Named("used") = used,
      Rcpp::Named("reason") = Utf8(reason), Rcpp::Named("reason_key") = Utf8(reasonKey),
      Rcpp::Named("predictive_power") = power, Rcpp::Named("steps") = Utf8(steps));
}

// [[Rcpp::export(.statistics_table)]]
Rcpp::List StatisticsTable(std::string document) {
  using namespace zelr;
  std::vector<zelprep::StatisticsRow> rows;
  if (!zelprep::ReadStatisticsTable(document, &rows)) {
    throw InputError("not a preparation document");
  }
  std::vector<std::string> field, kind;
  std::vector<double> count, missing, mean, minimum, maximum, sd, skewness, categories;
  for (const zelprep::StatisticsRow& row : rows) {
    field.push_back(row.field);
    kind.push_back(row.kind);
    count.push_back(row.count);
    missing.push_back(row.missing);
    mean.push_back(Number(row.mean));
    minimum.push_back(Number(row.minimum));
    maximum.push_back(Number(row.maximum));
    sd.push_back(Number(row.sd));
    skewness.push_back(Number(row.skewness));
    categories.push_back(row.discrete ? static_cast<double>(row.categories) : NA_REAL);
  }
  return Rcpp::List::create(
      Rcpp::Named("field") = Utf8(field), Rcpp::Named("kind") = Utf8(kind),
      Rcpp::Named("count") = count, Rcpp::Named("missing") = missing, Rcpp::Named("mean") = mean,
      Rcpp::Named("min") = minimum, Rcpp::Named("max") = maximum, Rcpp::Named("sd") = sd,
      Rcpp::Named("skewness") = skewness, Rcpp::Named("categories") = categories);
}

// The processing summary's counts, by name, as the document writes them.
// [[Rcpp::export(.summary_counts)]]
Rcpp::CharacterVector SummaryCounts(std::string document) {
  using namespace zelr;
  const zelapply::DocumentFacts facts = Facts(document);
  std::vector<std::string> names, values;
  for (const auto& count : facts.summary.counts) {
    names.push_back(count.first);
    values.push_back(count.second);
  }
  Rcpp::CharacterVector out = Utf8(values);
  out.names() = Utf8(names);
  return out;
}

// The report page; the run's figures are shown when given (a negative
// count is not).
// [[Rcpp::export(.render_report)]]
Rcpp::CharacterVector RenderReport(std::string document, std::string dataSet, double records,
                                   double fieldsRead, double fieldsHanded) {
  using namespace zelr;
  const zelreport::ReportContext context{dataSet, std::string(), static_cast<int64_t>(records),
                                         static_cast<int64_t>(fieldsRead),
                                         static_cast<int64_t>(fieldsHanded)};
  std::string html;
  const zelstatus::Status status = zelreport::RenderReport(document, context, &html);
  if (!status.ok()) throw InputError(status.message());
  return Utf8(html);
}

// The settings keys: name, type, default and description.
// [[Rcpp::export(.setting_keys)]]
Rcpp::List SettingKeys() {
  using namespace zelr;
  std::vector<std::string> name, type, value, description;
  for (const ZelSettingKey& key : ZelFactory::GetSettingKeys()) {
    name.push_back(key.name);
    type.push_back(zelio::SettingTypeName(key.type));
    value.push_back(key.defaultValue);
    description.push_back(key.description);
  }
  return Rcpp::List::create(Rcpp::Named("key") = Utf8(name), Rcpp::Named("type") = Utf8(type),
                            Rcpp::Named("default") = Utf8(value),
                            Rcpp::Named("description") = Utf8(description));
}
