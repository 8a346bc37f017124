#include "RJson.h"

#include <cmath>
#include <string>

namespace zelr {

namespace {

bool AlwaysList(const std::string& key) {
  return key == "categories" || key == "missingValues" || key == "missingStrings" ||
         key == "missingRange";
}

nlohmann::ordered_json Element(SEXP value, R_xlen_t i) {
  switch (TYPEOF(value)) {
    case LGLSXP: {
      const int v = LOGICAL(value)[i];
      return v == NA_LOGICAL ? nlohmann::ordered_json() : nlohmann::ordered_json(v != 0);
    }
    case INTSXP: {
      const int v = INTEGER(value)[i];
      if (v == NA_INTEGER) return nlohmann::ordered_json();
      if (Rf_isFactor(value)) {
        return std::string(
            Rf_translateCharUTF8(STRING_ELT(Rf_getAttrib(value, R_LevelsSymbol), v - 1)));
      }
      return v;
    }
    case REALSXP: {
      const double v = REAL(value)[i];
      if (std::isnan(v)) return nlohmann::ordered_json();
      // Whole numbers as JSON integers, as a file would write them.
      if (v == std::trunc(v) && std::fabs(v) < 9.0e15) return static_cast<int64_t>(v);
      return v;
    }
    case STRSXP: {
      const SEXP text = STRING_ELT(value, i);
      if (text == NA_STRING) return nlohmann::ordered_json();
      return std::string(Rf_translateCharUTF8(text));
    }
    default: Rcpp::stop("a schema or settings value must be a number, text, logical or list");
  }
}

}  // namespace

nlohmann::ordered_json JsonOf(SEXP value, bool asList) {
  if (Rf_isNull(value)) return nlohmann::ordered_json();
  if (TYPEOF(value) == VECSXP) {
    const SEXP names = Rf_getAttrib(value, R_NamesSymbol);
    const R_xlen_t n = Rf_xlength(value);
    if (!Rf_isNull(names)) {
      nlohmann::ordered_json object = nlohmann::ordered_json::object();
      for (R_xlen_t i = 0; i < n; ++i) {
        const std::string key = Rf_translateCharUTF8(STRING_ELT(names, i));
        object[key] = JsonOf(VECTOR_ELT(value, i), AlwaysList(key));
      }
      return object;
    }
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (R_xlen_t i = 0; i < n; ++i) array.push_back(JsonOf(VECTOR_ELT(value, i)));
    return array;
  }
  const R_xlen_t n = Rf_xlength(value);
  const SEXP names = Rf_getAttrib(value, R_NamesSymbol);
  if (!Rf_isNull(names) && !Rf_isFactor(value)) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (R_xlen_t i = 0; i < n; ++i) {
      object[std::string(Rf_translateCharUTF8(STRING_ELT(names, i)))] = Element(value, i);
    }
    return object;
  }
  if (n == 1 && !asList && !Rf_inherits(value, "AsIs")) return Element(value, 0);
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (R_xlen_t i = 0; i < n; ++i) array.push_back(Element(value, i));
  return array;
}

}  // namespace zelr
