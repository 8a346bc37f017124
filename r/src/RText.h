// RText: texts handed back to R as UTF-8 character vectors.
#ifndef ZELCRAFT_R_RTEXT_H_
#define ZELCRAFT_R_RTEXT_H_

#include <Rcpp.h>

#include <string>
#include <vector>

namespace zelr {

inline SEXP Utf8Char(const std::string& text) {
  return Rf_mkCharLenCE(text.data(), static_cast<int>(text.size()), CE_UTF8);
}

inline Rcpp::CharacterVector Utf8(const std::string& text) {
  Rcpp::CharacterVector out(1);
  out[0] = Utf8Char(text);
  return out;
}

inline Rcpp::CharacterVector Utf8(const std::vector<std::string>& texts) {
  Rcpp::CharacterVector out(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) out[i] = Utf8Char(texts[i]);
  return out;
}

}  // namespace zelr

#endif  // ZELCRAFT_R_RTEXT_H_
