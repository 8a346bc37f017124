// The inputs in use ranked by predictive power, strongest first.
#include <algorithm>

#include "HtmlText.h"
#include "PageParts.h"

namespace zelreport {

void WriteRanking(const ReportModel& model, std::string* html) {
  std::vector<const FieldView*> ranked;
  for (const FieldView& view : model.fields) {
    if (view.used && view.role == "input" && view.power.present) ranked.push_back(&view);
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const FieldView* a, const FieldView* b) {
    return a->power.value > b->power.value;
  });
  std::string& out = *html;
  out += "<section id=\"ranking\"><h2>Inputs ranked by predictive power</h2>";
  if (ranked.empty()) {
    out += model.targets.empty()
               ? "<p class=\"note\">No predictive power: the data was prepared without a "
                 "target.</p>"
               : "<p class=\"note\">The document gives no predictive power for its inputs.</p>";
    out += "</section>\n";
    return;
  }
  out += "<p class=\"note\">0 to 1: the squared correlation, the share of a continuous "
         "target's variation the input's categories explain, or Cram\u00e9r's V against a "
         "categorical target.</p><div class=\"rank\">";
  for (const FieldView* view : ranked) {
    const double share = std::min(1.0, std::max(0.0, view->power.value));
    out += FieldLink(view->name) + "<div><div class=\"bar\" style=\"width:" + Coord(share * 100) +
           "%\"></div></div><span>" + Figure(view->power.value, 3) + "</span>";
  }
  out += "</div></section>\n";
}

}  // namespace zelreport
