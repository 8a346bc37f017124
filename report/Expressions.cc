#include "Expressions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zelreport {

namespace {

using zelapply::ExpressionNode;

bool ParseNumber(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(*value);
}

bool ConstantOf(const ExpressionNode& node, double* value) {
  return node.element == "Constant" && ParseNumber(node.text, value);
}

// Two affine maps combined by an arithmetic function; false where the
// result is not affine (a product of two fields, a division by a field).
bool Combine(const std::string& function, const Affine& a, const Affine& b, Affine* out) {
  if (!a.field.empty() && !b.field.empty() && a.field != b.field) return false;
  out->field = a.field.empty() ? b.field : a.field;
  if (function == "+" || function == "-") {
    const double sign = function == "+" ? 1.0 : -1.0;
    out->slope = a.slope + sign * b.slope;
    out->offset = a.offset + sign * b.offset;
    return true;
  }
  if (function == "*") {
    if (!a.field.empty() && !b.field.empty()) return false;
    const Affine& constant = a.field.empty() ? a : b;
    const Affine& other = a.field.empty() ? b : a;
    out->slope = other.slope * constant.offset;
    out->offset = other.offset * constant.offset;
    return true;
  }
  if (function == "/") {
    if (!b.field.empty() || b.offset == 0.0) return false;
    out->slope = a.slope / b.offset;
    out->offset = a.offset / b.offset;
    return true;
  }
  return false;
}

const ExpressionNode* FirstChild(const ExpressionNode& node, const char* element) {
  for (const ExpressionNode& child : node.children) {
    if (child.element == element) return &child;
  }
  return nullptr;
}

}  // namespace

bool ReadAffine(const ExpressionNode& node, Affine* affine) {
  *affine = Affine();
  double value = 0.0;
  if (ConstantOf(node, &value)) {
    affine->offset = value;
    return true;
  }
  if (node.element == "FieldRef") {
    affine->field = node.Attribute("field");
    affine->slope = 1.0;
    return !affine->field.empty();
  }
  if (node.element == "NormContinuous") {
    std::vector<std::pair<double, double>> points;
    for (const ExpressionNode& child : node.children) {
      double orig = 0.0, norm = 0.0;
      if (child.element == "LinearNorm" && ParseNumber(child.Attribute("orig"), &orig) &&
          ParseNumber(child.Attribute("norm"), &norm)) {
        points.emplace_back(orig, norm);
      }
    }
    if (points.size() != 2 || points[0].first == points[1].first) return false;
    affine->field = node.Attribute("field");
    affine->slope = (points[1].second - points[0].second) / (points[1].first - points[0].first);
    affine->offset = points[0].second - affine->slope * points[0].first;
    return !affine->field.empty();
  }
  if (node.element != "Apply" || node.children.empty()) return false;
  const std::string function = node.Attribute("function");
  if (function == "outlierHandle") return ReadAffine(node.children.front(), affine);
  if (node.children.size() != 2) return false;
  Affine a, b;
  return ReadAffine(node.children[0], &a) && ReadAffine(node.children[1], &b) &&
         Combine(function, a, b, affine);
}

bool ReadOutlierBand(const ExpressionNode& node, OutlierBand* band) {
  if (node.element != "Apply" || node.Attribute("function") != "outlierHandle" ||
      node.children.size() != 6 || node.children[0].element != "FieldRef") {
    return false;
  }
  band->field = node.children[0].Attribute("field");
  band->toMissing = node.children[1].text != "asExtremeValues";
  band->weighted = node.children[5].element == "FieldRef";
  return ConstantOf(node.children[2], &band->mean) && ConstantOf(node.children[3], &band->sd) &&
         ConstantOf(node.children[4], &band->cutoff);
}

bool ReadBinning(const ExpressionNode& node, Binning* binning) {
  if (node.element != "Discretize") return false;
  binning->field = node.Attribute("field");
  binning->bins = 0;
  binning->edges.clear();
  for (const ExpressionNode& bin : node.children) {
    if (bin.element != "DiscretizeBin") continue;
    ++binning->bins;
    const ExpressionNode* interval = FirstChild(bin, "Interval");
    if (interval == nullptr) continue;
    for (const char* margin : {"leftMargin", "rightMargin"}) {
      double value = 0.0;
      if (ParseNumber(interval->Attribute(margin), &value)) binning->edges.push_back(value);
    }
  }
  std::sort(binning->edges.begin(), binning->edges.end());
  binning->edges.erase(std::unique(binning->edges.begin(), binning->edges.end()),
                       binning->edges.end());
  return binning->bins > 0;
}

bool ReadMergeTable(const ExpressionNode& node, MergeTable* table) {
  if (node.element != "MapValues") return false;
  const ExpressionNode* pair = FirstChild(node, "FieldColumnPair");
  const ExpressionNode* inline_table = FirstChild(node, "InlineTable");
  if (pair == nullptr || inline_table == nullptr) return false;
  table->field = pair->Attribute("field");
  table->defaultValue = node.Attribute("defaultValue");
  const std::string inputColumn = pair->Attribute("column");
  const std::string outputColumn = node.Attribute("outputColumn");
  table->rows.clear();
  for (const ExpressionNode& row : inline_table->children) {
    if (row.element != "row") continue;
    std::string input, output;
    for (const ExpressionNode& cell : row.children) {
      if (cell.element == inputColumn) input = cell.text;
      if (cell.element == outputColumn) output = cell.text;
    }
    table->rows.emplace_back(input, output);
  }
  return true;
}

bool ReadTerms(const ExpressionNode& node, std::vector<Term>* terms) {
  if (node.element != "Apply") return false;
  const std::string function = node.Attribute("function");
  if (function == "+" && node.children.size() == 2) {
    return ReadTerms(node.children[0], terms) && ReadTerms(node.children[1], terms);
  }
  if (function != "*" || node.children.size() != 2) return false;
  Term term;
  for (const ExpressionNode& factor : node.children) {
    if (factor.element == "FieldRef") term.field = factor.Attribute("field");
    ConstantOf(factor, &term.coefficient);
  }
  if (term.field.empty()) return false;
  terms->push_back(term);
  return true;
}

}  // namespace zelreport
