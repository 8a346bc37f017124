// The processing summary's counts as one picture: the fields considered
// (input fields, parts derived from dates and times, constructed features)
// stacked on the left, flowing to the recommended fields by kind and the
// exclusions by reason stacked on the right. The two sides count different
// things (one date gives several parts, several inputs one feature), so
// each is scaled to the same height and the bands show the right side's
// shares.
#include <algorithm>

#include "HtmlText.h"
#include "PageParts.h"
#include "apply/ActionWords.h"
#include "src/pmml/ZelSummaryNames.h"

namespace zelreport {

namespace {

// Counts are doubles: a document may carry any figure, and sums of them
// must not overflow.
struct Node {
  std::string label;
  double count = 0;
  const char* cls = "";
};

constexpr double kWidth = 900, kLeftX = 180, kRightX = 420, kNodeWidth = 14, kGap = 6;

// The fields the step summaries count for the actions `counted` picks.
template <class Pick>
double StepCount(const zelapply::SummaryFact& summary, Pick counted) {
  double count = 0;
  for (const zelapply::StepFact& step : summary.steps) {
    for (const zelapply::ActionFact& action : step.actions) {
      const zelapply::ActionEntry* entry = zelapply::FindAction(action.reasonKey);
      if (entry != nullptr && counted(*entry)) count += action.fields;
    }
  }
  return count;
}

std::vector<Node> RightNodes(const zelapply::SummaryFact& summary) {
  std::vector<Node> nodes;
  const std::pair<const char*, const char*> kinds[] = {
      {"recommendedOriginalFields", "recommended as they are"},
      {"recommendedTransformationsOfOriginalFields", "recommended, transformed"},
      {"recommendedDerivedFromDateTime", "recommended, from dates and times"},
      {"recommendedConstructed", "recommended, constructed"}};
  for (const auto& kind : kinds) {
    const double count = static_cast<double>(summary.Count(kind.first));
    if (count > 0) nodes.push_back({kind.second, count, "node-rec"});
  }
  std::vector<const zelapply::ActionEntry*> exclusions;
  for (const zelapply::StepFact& step : summary.steps) {
    for (const zelapply::ActionFact& action : step.actions) {
      const zelapply::ActionEntry* entry = zelapply::FindAction(action.reasonKey);
      if (entry != nullptr && entry->category == zelapply::Category::kExclusion &&
          std::find(exclusions.begin(), exclusions.end(), entry) == exclusions.end()) {
        exclusions.push_back(entry);
      }
    }
  }
  for (const zelapply::ActionEntry* exclusion : exclusions) {
    const double count = StepCount(
        summary, [exclusion](const zelapply::ActionEntry& action) { return &action == exclusion; });
    if (count > 0) {
      nodes.push_back({std::string("excluded: ") + exclusion->words, count, "node-ex"});
    }
  }
  return nodes;
}

// Stacks the nodes over `height`, each at least 8 high; the top and
// height of each.
std::vector<std::pair<double, double>> Stack(const std::vector<Node>& nodes, double height) {
  double total = 0;
  for (const Node& node : nodes) total += node.count;
  const double room = height - kGap * (nodes.size() > 0 ? nodes.size() - 1 : 0);
  std::vector<std::pair<double, double>> places;
  double y = 10;
  for (const Node& node : nodes) {
    const double h = std::max(8.0, total > 0 ? room * node.count / total : 0.0);
    places.emplace_back(y, h);
    y += h + kGap;
  }
  return places;
}

}  // namespace

void WriteFlow(const zelapply::SummaryFact& summary, std::string* html) {
  std::vector<Node> left;
  const std::pair<double, const char*> sources[] = {
      {static_cast<double>(summary.Count(zelsummary::kOriginalInputFields)), "input fields"},
      {StepCount(summary,
                 [](const zelapply::ActionEntry& action) {
                   return action.step == zelapply::Step::kDateTimeHandle &&
                          action.category == zelapply::Category::kDerivation;
                 }),
       "parts of dates and times"},
      {StepCount(summary,
                 [](const zelapply::ActionEntry& action) {
                   return action.action == zelapply::Action::kConstructContFeature;
                 }),
       "constructed features"}};
  for (const auto& source : sources) {
    if (source.first > 0) left.push_back({source.second, source.first, "node-in"});
  }
  const std::vector<Node> right = RightNodes(summary);
  if (left.empty() || right.empty()) return;
  const double height = std::max<double>(120, right.size() * 26.0);
  const auto leftPlaces = Stack(left, height);
  const auto rightPlaces = Stack(right, height);
  const double leftTop = leftPlaces.front().first;
  const double leftSpan = leftPlaces.back().first + leftPlaces.back().second - leftTop;
  double rightTotal = 0;
  for (const Node& node : right) rightTotal += node.count;
  std::string& out = *html;
  const double svgHeight = std::max(leftTop + leftSpan, rightPlaces.back().first +
                                                           rightPlaces.back().second) + 10;
  out += "<figure><figcaption>From the fields considered to the fields recommended</figcaption>"
         "<svg class=\"flow-picture\" viewBox=\"0 0 " + Coord(kWidth) + " " + Coord(svgHeight) +
         "\" width=\"" + Coord(kWidth) + "\" height=\"" + Coord(svgHeight) + "\" role=\"img\">";
  double from = leftTop;
  for (std::size_t i = 0; i < right.size(); ++i) {
    const double share = leftSpan * right[i].count / rightTotal;
    const double x0 = kLeftX + kNodeWidth, x1 = kRightX, mid = (x0 + x1) / 2;
    const double y0 = from, y1 = rightPlaces[i].first, h1 = rightPlaces[i].second;
    out += "<path class=\"flow " + std::string(right[i].cls) + "\" d=\"M" + Coord(x0) + " " +
           Coord(y0) + "C" + Coord(mid) + " " + Coord(y0) + " " + Coord(mid) + " " + Coord(y1) +
           " " + Coord(x1) + " " + Coord(y1) + "V" + Coord(y1 + h1) + "C" + Coord(mid) + " " +
           Coord(y1 + h1) + " " + Coord(mid) + " " + Coord(y0 + share) + " " + Coord(x0) + " " +
           Coord(y0 + share) + "Z\"/>";
    from += share;
  }
  for (std::size_t i = 0; i < left.size(); ++i) {
    out += "<rect class=\"" + std::string(left[i].cls) + "\" x=\"" + Coord(kLeftX) + "\" y=\"" +
           Coord(leftPlaces[i].first) + "\" width=\"" + Coord(kNodeWidth) + "\" height=\"" +
           Coord(leftPlaces[i].second) + "\"/><text x=\"" + Coord(kLeftX - 6) + "\" y=\"" +
           Coord(leftPlaces[i].first + leftPlaces[i].second / 2 + 4) +
           "\" text-anchor=\"end\">" + Count(left[i].count) + " " + left[i].label + "</text>";
  }
  for (std::size_t i = 0; i < right.size(); ++i) {
    out += "<rect class=\"" + std::string(right[i].cls) + "\" x=\"" + Coord(kRightX) + "\" y=\"" +
           Coord(rightPlaces[i].first) + "\" width=\"" + Coord(kNodeWidth) + "\" height=\"" +
           Coord(rightPlaces[i].second) + "\"/><text x=\"" + Coord(kRightX + kNodeWidth + 6) +
           "\" y=\"" + Coord(rightPlaces[i].first + rightPlaces[i].second / 2 + 4) + "\">" +
           Count(right[i].count) + " " + Escape(right[i].label) + "</text>";
  }
  out += "</svg></figure>";
}

}  // namespace zelreport
