// The table of reported fields, one row each, sortable by any column and
// filtered by the page's script. Every cell carries the value it sorts by.
#include "HtmlText.h"
#include "PageParts.h"

namespace zelreport {

namespace {

std::string Cell(const std::string& sortValue, const std::string& content,
                 const char* cls = nullptr) {
  return std::string("<td") + (cls ? std::string(" class=\"") + cls + "\"" : std::string()) +
         " data-v=\"" + Escape(sortValue) + "\">" + content + "</td>";
}

}  // namespace

std::string PowerBar(const zelapply::NumberFact& power) {
  if (!power.present) return "";
  const double share = power.value < 0 ? 0 : power.value > 1 ? 1 : power.value;
  return "<span class=\"pbar\"><span style=\"width:" + Coord(share * 100) + "%\"></span></span>" +
         Figure(power.value, 3);
}

void WriteFieldTable(const ReportModel& model, std::string* html) {
  std::string& out = *html;
  out += "<section id=\"fields\"><h2>Fields</h2>";
  if (!model.listed) {
    out += "<p class=\"note\">The document does not list its reported fields; shown are the "
           "fields it has statistics for.</p>";
  }
  out +=
      "<div class=\"controls\"><label>Filter <input id=\"filter\" type=\"search\" "
      "placeholder=\"field or source name\"></label><label>Show <select id=\"usage\">"
      "<option value=\"all\">all fields</option><option value=\"used\">used</option>"
      "<option value=\"excluded\">not used</option></select></label>"
      "<button id=\"expand-all\" type=\"button\">Open every panel</button>"
      "<button id=\"collapse-all\" type=\"button\">Close every panel</button></div>";
  out +=
      "<table id=\"field-table\"><colgroup><col style=\"width:20%\"><col style=\"width:11%\">"
      "<col style=\"width:9%\"><col style=\"width:8%\"><col style=\"width:15%\">"
      "<col style=\"width:19%\"><col style=\"width:7%\"><col style=\"width:11%\"></colgroup>"
      "<thead><tr><th>Field</th><th>Source</th><th>Level</th>"
      "<th>Role</th><th>Status</th><th>Steps</th><th data-type=\"num\">Missing</th>"
      "<th data-type=\"num\">Predictive power</th></tr></thead><tbody>\n";
  for (const FieldView& view : model.fields) {
    out += "<tr data-name=\"" + Escape(view.name) + "\" data-origin=\"" + Escape(view.origin) +
           "\" data-usage=\"" + (view.used ? "used" : "excluded") + "\">";
    out += Cell(view.name, FieldLink(view.name));
    out += Cell(view.origin, view.origin.empty() ? "constructed" : NameHtml(view.origin));
    out += Cell(view.level, Escape(view.level));
    out += Cell(view.role, Escape(view.role));
    out += Cell(view.status, Escape(view.status), view.used ? "used" : "excluded");
    std::string steps;
    for (const std::string& step : view.steps) steps += (steps.empty() ? "" : "; ") + step;
    if (view.madeFrom.empty()) {
      out += Cell(steps, Escape(steps), "steps");
    } else {
      out += Cell("the steps of " + Isolated(view.madeFrom) + (steps.empty() ? "" : "; " + steps),
                  "the steps of " + FieldLink(view.madeFrom) +
                      (steps.empty() ? "" : "; " + Escape(steps)),
                  "steps");
    }
    out += Cell(view.missingShare < 0 ? "" : Figure(view.missingShare, 6),
                view.missingShare < 0 ? "" : Percent(view.missingShare), "num");
    out += Cell(view.power.present ? Figure(view.power.value, 6) : "", PowerBar(view.power), "num");
    out += "</tr>\n";
  }
  out += "</tbody></table></section>\n";
}

}  // namespace zelreport
