// A categorical field's categories as horizontal bars. Up to kShown
// categories are drawn in the document's order (an ordinal field's order
// matters); beyond that the largest kShown and one bar for the rest, so a
// field of thousands of categories stays a small picture.
#include <algorithm>
#include <numeric>

#include "HtmlText.h"
#include "PageParts.h"

namespace zelreport {

namespace {

constexpr std::size_t kShown = 30;
constexpr double kRow = 18, kLabel = 200, kBar = 340, kWidth = 640;

// A category with the label the field's dictionary gives it, if any.
std::string Label(const std::string& category, const zelapply::FieldFact* field) {
  if (field == nullptr) return category;
  for (const zelapply::ValueFact& value : field->values) {
    if (value.value == category && !value.displayValue.empty()) {
      return category + " " + value.displayValue;
    }
  }
  return category;
}

std::string Shorten(const std::string& text) {
  if (text.size() <= 30) return text;
  std::size_t cut = 28;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return text.substr(0, cut) + "\u2026";
}

}  // namespace

void WriteCategoryBars(const Chart& chart, const FieldView& view, std::string* html) {
  const zelapply::StatisticsFact& stats = *chart.stats;
  const std::size_t n = std::min(stats.categories.size(), stats.frequencies.size());
  if (n == 0) return;
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  double rest = 0;
  std::size_t restCount = 0;
  if (n > kShown) {
    std::stable_sort(order.begin(), order.end(), [&stats](std::size_t a, std::size_t b) {
      return stats.frequencies[a] > stats.frequencies[b];
    });
    for (std::size_t i = kShown; i < n; ++i) rest += stats.frequencies[order[i]];
    restCount = n - kShown;
    order.resize(kShown);
  }
  double largest = rest;
  for (std::size_t i : order) largest = std::max(largest, stats.frequencies[i]);
  const std::size_t rows = order.size() + (restCount > 0 ? 1 : 0);
  const double height = rows * kRow + 4;
  std::string& out = *html;
  out += "<svg class=\"cats\" viewBox=\"0 0 " + Coord(kWidth) + " " + Coord(height) +
         "\" width=\"" + Coord(kWidth) + "\" height=\"" + Coord(height) + "\" role=\"img\">";
  auto bar = [&](std::size_t row, const std::string& label, double count, const std::string& cls,
                 const std::string& attributes) {
    const double y = row * kRow + 2;
    const double width = largest > 0 ? count / largest * kBar : 0;
    out += "<text x=\"" + Coord(kLabel - 6) + "\" y=\"" + Coord(y + 12) +
           "\" text-anchor=\"end\">" + Escape(Shorten(label)) + "</text>";
    out += "<rect class=\"" + cls + "\"" + attributes + " x=\"" + Coord(kLabel) + "\" y=\"" +
           Coord(y) + "\" width=\"" + Coord(width) + "\" height=\"" + Coord(kRow - 4) +
           "\"><title>" + Escape(label) + ": " + Count(count) + "</title></rect>";
    out += "<text x=\"" + Coord(kLabel + width + 4) + "\" y=\"" + Coord(y + 12) + "\">" +
           Count(count) + "</text>";
  };
  for (std::size_t row = 0; row < order.size(); ++row) {
    const std::string& category = stats.categories[order[row]];
    std::string cls = "cat";
    std::string attributes = " data-category=\"" + Escape(category) + "\"";
    if (chart.byGroup) {
      const int group = view.GroupOf(category, chart.ownGroups);
      if (group >= 0) {
        cls += " g" + std::to_string(group % kPaletteSize);
        attributes += " data-group=\"" + Escape(view.groupLabels[group]) + "\"";
      }
    }
    bar(row, Label(category, chart.field), stats.frequencies[order[row]], cls, attributes);
  }
  if (restCount > 0) {
    bar(order.size(), Count(static_cast<double>(restCount)) + " more", rest, "more", "");
  }
  out += "</svg>";
  if (chart.byGroup && !view.groupLabels.empty()) {
    out += "<div class=\"key\">groups:";
    for (std::size_t g = 0; g < view.groupLabels.size(); ++g) {
      const std::string label = view.groupLabels[g].empty() ? "(empty)" : view.groupLabels[g];
      out += "<span class=\"swatch g" + std::to_string(g % kPaletteSize) + "\"></span>" +
             Escape(label);
    }
    out += "</div>";
  }
}

}  // namespace zelreport
