// RJson: R values as the JSON of a schema or of settings. R has no
// scalars, so a vector of length one is a JSON scalar, except under the
// schema keys whose value is always a list (categories, missingValues,
// missingStrings, missingRange) and where it is wrapped in I(); a named
// list or vector is an object, an unnamed list an array, NA is null.
#ifndef ZELCRAFT_R_RJSON_H_
#define ZELCRAFT_R_RJSON_H_

#include <Rcpp.h>

#include <nlohmann/json.hpp>

namespace zelr {

nlohmann::ordered_json JsonOf(SEXP value, bool asList = false);

}  // namespace zelr

#endif  // ZELCRAFT_R_RJSON_H_
