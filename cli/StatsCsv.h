// StatsCsv: the field statistics of a written document as a flat CSV file,
// for users who want the figures without reading XML: one row per reported
// field with its kind, counts, mean, extremes, spread, skewness and number of
// categories, read back from the document's "UnivariateStats" elements.
#ifndef ZELCRAFT_CLI_STATSCSV_H_
#define ZELCRAFT_CLI_STATSCSV_H_

#include <string>
#include <string_view>

namespace zelcli {

// The CSV text (header row, then RFC 4180 rows ending in LF): field, kind
// (the field's optype), count (non-missing records), missing, mean, min,
// max, sd, skewness (empty when not defined), categories (empty for a
// continuous field). A field reported several times (a base field shared by
// several derived ones) gets one row. False when the text is no XML document.
bool MakeStatsCsv(std::string_view document, std::string* csv);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_STATSCSV_H_
