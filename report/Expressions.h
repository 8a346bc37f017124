// Expressions: what the report reads out of a derived field's expression
// tree: whether it is an affine map of one field (rescaling, missing-value
// replacement and outlier handling keep the scale of their input), the
// outlier band, the cut points of a binning, the table of a category merge
// and the terms of a constructed field. Each reader returns false for an
// expression of another shape, which the page then simply does not draw.
#ifndef ZELCRAFT_REPORT_EXPRESSIONS_H_
#define ZELCRAFT_REPORT_EXPRESSIONS_H_

#include <string>
#include <vector>

#include "apply/DocumentFacts.h"

namespace zelreport {

// value = slope * field + offset (field empty: a constant).
struct Affine {
  std::string field;
  double slope = 0.0;
  double offset = 0.0;
};

// The expression as an affine map of one field. Outlier handling and a
// NormContinuous through two points count as the map of their input's
// scale: they move values within that scale, not the scale.
bool ReadAffine(const zelapply::ExpressionNode& expression, Affine* affine);

// outlierHandle(field, method, mean, sd, cutoff, analysis weight): the band
// is mean ± cutoff × sd on the field's scale, narrowed by the square root
// of the record's analysis weight when the last argument names a field.
struct OutlierBand {
  std::string field;
  bool toMissing = false;
  double mean = 0.0;
  double sd = 0.0;
  double cutoff = 0.0;
  bool weighted = false;
  double Lower() const { return mean - cutoff * sd; }
  double Upper() const { return mean + cutoff * sd; }
};
bool ReadOutlierBand(const zelapply::ExpressionNode& expression, OutlierBand* band);

// A Discretize: the field binned, its bins and the cut points between them
// (the finite margins, ascending, each once).
struct Binning {
  std::string field;
  int bins = 0;
  std::vector<double> edges;
};
bool ReadBinning(const zelapply::ExpressionNode& expression, Binning* binning);

// A MapValues over an InlineTable: the field mapped and each row's input
// category and output group, in the table's order.
struct MergeTable {
  std::string field;
  std::vector<std::pair<std::string, std::string>> rows;
  std::string defaultValue;
};
bool ReadMergeTable(const zelapply::ExpressionNode& expression, MergeTable* table);

// A sum of coefficient × field terms, as constructed fields are written.
struct Term {
  std::string field;
  double coefficient = 0.0;
};
bool ReadTerms(const zelapply::ExpressionNode& expression, std::vector<Term>* terms);

}  // namespace zelreport

#endif  // ZELCRAFT_REPORT_EXPRESSIONS_H_
