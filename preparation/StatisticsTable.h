// StatisticsTable: the field statistics of a written document as a flat
// table, for users who want the figures without reading XML: one row per
// reported field with its kind, counts, mean, extremes, spread, skewness and
// number of categories, read back from the document's "UnivariateStats"
// elements. The command line writes it as a CSV file (--stats), the Python
// package shows it as a data frame; both read these rows.
#ifndef ZELCRAFT_PREPARATION_STATISTICSTABLE_H_
#define ZELCRAFT_PREPARATION_STATISTICSTABLE_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "apply/DocumentFacts.h"

namespace zelprep {

// The table's column names, in order.
extern const std::array<const char*, 10> kStatisticsColumns;

// One reported field. The figures keep the document's text beside their
// value; one that is not present (sd of a categorical field, skewness when
// not defined) has no text.
struct StatisticsRow {
  std::string field;
  std::string kind;    // the field's optype, else continuous or categorical
  double count = 0.0;  // records with a value
  double missing = 0.0;
  zelapply::NumberFact mean, minimum, maximum, sd, skewness;
  bool discrete = false;  // only then does `categories` count
  std::size_t categories = 0;
};

// The rows of a document, a field reported several times (a base field
// shared by several derived ones) once. False when the text is no XML
// document.
bool ReadStatisticsTable(std::string_view document, std::vector<StatisticsRow>* rows);

// The CSV text: the header row, then RFC 4180 rows ending in LF, figures as
// the document writes them and an absent one as an empty cell.
std::string StatisticsCsv(const std::vector<StatisticsRow>& rows);

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_STATISTICSTABLE_H_
