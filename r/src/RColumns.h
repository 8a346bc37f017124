// RColumns: an R data frame's columns as the shared host code reads them.
// The package's R side hands each column as list(kind, values, levels):
// "integer" (an integer vector), "real" (a double vector, NA and NaN
// missing), "text" (integer codes 1..k into the UTF-8 `levels`, NA
// missing), "date" (days since 1970-01-01), "datetime" (wall-clock seconds
// since 1970-01-01), "time" (seconds since midnight) or "ordinal" (an
// ordered factor's codes, its levels the categories in order). A build reads
// each column as the schema's entry for it asks (a declared storage, an ordinal
// field's categories); a replay reads it as the document's input of a given
// type. Doubles are read in place; everything else is converted into columns
// the frame owns.
#ifndef ZELCRAFT_R_RCOLUMNS_H_
#define ZELCRAFT_R_RCOLUMNS_H_

#include <Rcpp.h>

#include <deque>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/ColumnData.h"
#include "host/OwnedColumn.h"

namespace zelr {

// The data, schema or arguments cannot be used: an input error.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct RFrame {
  std::vector<std::string> names;
  std::vector<zelhost::ColumnData> columns;
  std::deque<zelhost::OwnedColumn> owned;  // a deque keeps them in place
};

// The columns for a build. `fields` is the schema's object of field
// entries; an ordered factor adds its level and categories to its entry
// where the entry says nothing of them.
void ReadBuildColumns(const Rcpp::List& columns, const std::vector<std::string>& names,
                      nlohmann::ordered_json* fields, RFrame* frame);

// One column for a replay, read as a document input of `type` (integer,
// real, text, date, time or timestamp).
zelhost::ColumnData ReadReplayColumn(const Rcpp::List& column, const std::string& name,
                                     const std::string& type, RFrame* frame);

}  // namespace zelr

#endif  // ZELCRAFT_R_RCOLUMNS_H_
