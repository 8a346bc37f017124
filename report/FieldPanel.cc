// One panel per reported field: what it is and what was done to it, its
// distributions with their marks, a constructed field's inputs and
// coefficients, and what the document does not tell.
#include <algorithm>
#include <cmath>

#include "HtmlText.h"
#include "PageParts.h"

namespace zelreport {

namespace {

void Fact(const std::string& term, const std::string& value, std::string* out) {
  *out += "<dt>" + term + "</dt><dd>" + value + "</dd>";
}

// The figures under a chart, as the document writes them.
std::string Figures(const zelapply::StatisticsFact& stats) {
  std::string text = "records " + Count(stats.total) + ", missing " + Count(stats.missing);
  auto add = [&text](const char* name, const zelapply::NumberFact& number) {
    if (number.present) text += std::string(", ") + name + " " + Figure(number.value, 6);
  };
  add("mean", stats.mean);
  add("sd", stats.standardDeviation);
  add("min", stats.minimum);
  add("max", stats.maximum);
  add("skewness", stats.skewness);
  if (stats.discrete) {
    text += ", " + Count(static_cast<double>(stats.categories.size())) + " categories";
  }
  return "<div class=\"figures\">" + Escape(text) + "</div>";
}

void WriteChart(const Chart& chart, const FieldView& view, std::string* out) {
  *out += "<figure data-field=\"" + Escape(chart.stats->field) + "\"><figcaption>" +
          Escape(chart.caption) + "</figcaption>";
  if (!chart.stats->histogramCounts.empty()) {
    WriteHistogram(chart, out);
  } else if (chart.stats->discrete) {
    WriteCategoryBars(chart, view, out);
  } else if (chart.stats->numeric) {
    *out += "<p class=\"note\">The document gives no histogram for this field.</p>";
  }
  *out += Figures(*chart.stats) + "</figure>";
}

void WriteTerms(const FieldView& view, std::string* out) {
  double largest = 0;
  for (const Term& term : view.terms) largest = std::max(largest, std::fabs(term.coefficient));
  *out += "<figure><figcaption>Inputs and coefficients</figcaption><table class=\"terms\">"
          "<thead><tr><th>Input</th><th>Coefficient</th></tr></thead><tbody>";
  for (std::size_t i = 0; i < view.terms.size(); ++i) {
    const Term& term = view.terms[i];
    const double share = largest > 0 ? std::fabs(term.coefficient) / largest : 0;
    const std::string& column = view.termColumns[i];
    const std::string input = column == term.field
                                  ? NameHtml(term.field)
                                  : NameHtml(term.field) + " [" + NameHtml(column) + "]";
    *out += "<tr><td>" + input + "</td><td><span class=\"pbar\"><span style=\"width:" +
            Coord(share * 100) + "%\"></span></span>" + Figure(term.coefficient, 4) + "</td></tr>";
  }
  *out += "</tbody></table></figure>";
}

void WritePanel(const FieldView& view, std::string* out) {
  *out += "<details class=\"panel\" id=\"" + PanelId(view.name) + "\" data-name=\"" +
          Escape(view.name) + "\" data-origin=\"" + Escape(view.origin) + "\" data-usage=\"" +
          (view.used ? "used" : "excluded") + "\"><summary><span class=\"name\">" +
          NameHtml(view.name) + "</span> <span class=\"" + (view.used ? "used" : "excluded") +
          "\">" + Escape(view.status) + "</span><span class=\"meta\">" + Escape(view.level) +
          " \u00b7 " + Escape(view.role) +
          "</span></summary><div class=\"body\"><div><dl class=\"facts\">";
  Fact("source", view.origin.empty() ? "constructed" : NameHtml(view.origin), out);
  Fact("level", Escape(view.level), out);
  Fact("role", Escape(view.role), out);
  Fact("status", Escape(view.status), out);
  if (view.missingShare >= 0) Fact("missing", Percent(view.missingShare), out);
  if (view.power.present) Fact("predictive power", PowerBar(view.power), out);
  *out += "</dl>";
  if (!view.steps.empty() || !view.madeFrom.empty()) {
    *out += "<h3>Steps</h3><ol>";
    if (!view.madeFrom.empty()) *out += "<li>the steps of " + FieldLink(view.madeFrom) + "</li>";
    for (const std::string& step : view.steps) *out += "<li>" + Escape(step) + "</li>";
    *out += "</ol>";
  }
  for (const std::string& note : view.notes) *out += "<p class=\"note\">" + Escape(note) + ".</p>";
  *out += "</div><div>";
  for (const Chart& chart : view.charts) WriteChart(chart, view, out);
  if (!view.terms.empty()) WriteTerms(view, out);
  *out += "</div></div></details>\n";
}

}  // namespace

void WritePanels(const ReportModel& model, std::string* html) {
  *html += "<section id=\"panels\"><h2>Field by field</h2>";
  if (model.fields.empty()) *html += "<p class=\"note\">The document reports no fields.</p>";
  for (const FieldView& view : model.fields) WritePanel(view, html);
  *html += "</section>\n";
}

}  // namespace zelreport
