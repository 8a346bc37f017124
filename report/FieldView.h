// FieldView: what the page shows of one reported field, worked out from the
// document facts once so that the table, the panels and the ranking agree:
// the column it comes from, its level and role, whether it is used or why
// it was excluded, the steps that made it in plain words, its missing share
// and predictive power, and the distributions to draw with their marks
// (mean, outlier cutoffs, bin edges, merged groups) on one consistent scale.
#ifndef ZELCRAFT_REPORT_FIELDVIEW_H_
#define ZELCRAFT_REPORT_FIELDVIEW_H_

#include <string>
#include <vector>

#include "Expressions.h"
#include "apply/DocumentFacts.h"

namespace zelreport {

// A vertical line on a histogram, on the scale of the field drawn.
struct Marker {
  enum class Kind { kMean, kCutoff, kBinEdge };
  Kind kind = Kind::kMean;
  double value = 0.0;
};

// One distribution a panel draws: a histogram, category bars, or, with
// neither in the document, the figures alone.
struct Chart {
  std::string caption;
  const zelapply::FieldFact* field = nullptr;  // whose figures; null when not in the dictionaries
  const zelapply::StatisticsFact* stats = nullptr;
  std::vector<Marker> markers;
  // Categories coloured by the group the field's merge put them in; with
  // `ownGroups` each category is a group label itself.
  bool byGroup = false;
  bool ownGroups = false;
};

struct FieldView {
  std::string name;
  const zelapply::FieldFact* field = nullptr;  // null: named but not in the document
  std::string origin;  // the column it comes from; empty for a constructed field
  std::string level;   // continuous, nominal, ordinal
  std::string role;    // input, target, transformed target, frequency weight, ...
  bool used = false;
  std::string status;  // "used", or why not, in plain words
  // The steps that made the field, after those of `madeFrom`: the nearest
  // field it was made from that has a panel of its own, which lists the
  // steps before (empty when none does).
  std::string madeFrom;
  std::vector<std::string> steps;
  double missingShare = -1.0;  // negative: unknown
  zelapply::NumberFact power;
  std::vector<Chart> charts;
  std::vector<Term> terms;  // a constructed field's inputs
  std::vector<std::string> termColumns;  // the column each input comes from
  bool merged = false;
  MergeTable merge;
  std::vector<std::string> groupLabels;  // the merge's groups; a group's colour is its index
  std::vector<std::string> notes;        // what the document does not tell

  // The palette index of a category under the merge; -1 when it has none.
  int GroupOf(const std::string& category, bool ownGroups) const;
};

struct ReportModel {
  std::vector<FieldView> fields;
  std::vector<std::string> targets;
  std::vector<std::string> weights;  // "name (frequency weight)"
  bool listed = true;  // the document lists its reported fields
};

void BuildModel(const zelapply::DocumentFacts& facts, ReportModel* model);

}  // namespace zelreport

#endif  // ZELCRAFT_REPORT_FIELDVIEW_H_
