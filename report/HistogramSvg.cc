// A histogram as SVG. The bars are one path in a plot of one unit per bin
// and 1000 units for the largest count, stretched to the plot's size, so a
// 400-bin histogram costs a few kilobytes; the axis, labels and markers are
// drawn in the outer picture's own units so that they do not stretch.
#include <algorithm>
#include <cmath>

#include "HtmlText.h"
#include "PageParts.h"

namespace zelreport {

namespace {

constexpr double kWidth = 640, kHeight = 190;
constexpr double kLeft = 12, kRight = 628, kTop = 18, kBottom = 150;
constexpr double kBarScale = 1000;

const char* ClassOf(Marker::Kind kind) {
  switch (kind) {
    case Marker::Kind::kMean: return "mean";
    case Marker::Kind::kCutoff: return "cut";
    case Marker::Kind::kBinEdge: return "edge";
  }
  return "";
}

const char* NameOf(Marker::Kind kind) {
  switch (kind) {
    case Marker::Kind::kMean: return "mean";
    case Marker::Kind::kCutoff: return "outlier cutoff";
    case Marker::Kind::kBinEdge: return "bin edge";
  }
  return "";
}

// The path of the bars: a step outline over the bins, each bin one unit
// wide and its count's share of the largest in 1000 units high.
std::string BarPath(const std::vector<double>& counts, double largest) {
  std::string d = "M0 1000";
  for (double count : counts) {
    const double height = largest > 0 ? std::round(count / largest * kBarScale) : 0;
    d += "V" + Coord(kBarScale - height) + "h1";
  }
  return d + "V1000Z";
}

}  // namespace

void WriteHistogram(const Chart& chart, std::string* html) {
  const zelapply::StatisticsFact& stats = *chart.stats;
  const std::vector<double>& counts = stats.histogramCounts;
  if (counts.empty()) return;
  const double low = stats.minimum.value;
  const double high = stats.maximum.value;
  const double largest = *std::max_element(counts.begin(), counts.end());
  const double span = high - low;
  auto x = [&](double value) {
    return span > 0 ? kLeft + (value - low) / span * (kRight - kLeft) : (kLeft + kRight) / 2;
  };
  std::string& out = *html;
  out += "<svg class=\"hist\" viewBox=\"0 0 " + Coord(kWidth) + " " + Coord(kHeight) +
         "\" width=\"" + Coord(kWidth) + "\" height=\"" + Coord(kHeight) +
         "\" role=\"img\" data-bins=\"" + std::to_string(counts.size()) + "\">";
  out += "<text x=\"" + Coord(kLeft) + "\" y=\"12\">largest bin " + Count(largest) + "</text>";
  out += "<svg x=\"" + Coord(kLeft) + "\" y=\"" + Coord(kTop) + "\" width=\"" +
         Coord(kRight - kLeft) + "\" height=\"" + Coord(kBottom - kTop) + "\" viewBox=\"0 0 " +
         std::to_string(counts.size()) + " " + Coord(kBarScale) +
         "\" preserveAspectRatio=\"none\"><path class=\"bars\" d=\"" + BarPath(counts, largest) +
         "\"/></svg>";
  out += "<line class=\"axis\" x1=\"" + Coord(kLeft) + "\" y1=\"" + Coord(kBottom) + "\" x2=\"" +
         Coord(kRight) + "\" y2=\"" + Coord(kBottom) + "\"/>";
  out += "<text x=\"" + Coord(kLeft) + "\" y=\"" + Coord(kBottom + 14) + "\">" +
         Escape(Figure(low, 6)) + "</text>";
  out += "<text x=\"" + Coord(kRight) + "\" y=\"" + Coord(kBottom + 14) +
         "\" text-anchor=\"end\">" + Escape(Figure(high, 6)) + "</text>";
  int beyond = 0;
  for (const Marker& marker : chart.markers) {
    if (!(marker.value >= low && marker.value <= high)) {
      ++beyond;
      continue;
    }
    const std::string at = Coord(x(marker.value));
    out += "<line class=\"" + std::string(ClassOf(marker.kind)) + "\" x1=\"" + at + "\" y1=\"" +
           Coord(kTop - 4) + "\" x2=\"" + at + "\" y2=\"" + Coord(kBottom) + "\"><title>" +
           NameOf(marker.kind) + " " + Escape(Figure(marker.value, 6)) + "</title></line>";
  }
  out += "</svg>";
  // The key names each kind of line with its values, those beyond the range
  // of the values included.
  std::string key;
  for (Marker::Kind kind : {Marker::Kind::kMean, Marker::Kind::kCutoff, Marker::Kind::kBinEdge}) {
    std::string values;
    for (const Marker& marker : chart.markers) {
      if (marker.kind == kind) values += (values.empty() ? "" : ", ") + Figure(marker.value, 5);
    }
    if (values.empty()) continue;
    key += "<i class=\"" + std::string(ClassOf(kind)) + "\"></i>" + NameOf(kind) +
           (kind == Marker::Kind::kMean ? " " : "s ") + Escape(values);
  }
  if (beyond > 0) key += " (lines beyond the values seen are not drawn)";
  if (!key.empty()) out += "<div class=\"key\">" + key + "</div>";
}

}  // namespace zelreport
