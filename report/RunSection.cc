// The run: what was prepared and by what, the records and fields the host
// reports when it knows them, target and weights, the document's warnings,
// the summary's counts and their picture.
#include "HtmlText.h"
#include "PageParts.h"
#include "src/pmml/ZelSummaryNames.h"
#include "apply/ActionWords.h"

namespace zelreport {

namespace {

void Fact(const std::string& term, const std::string& value, std::string* out) {
  *out += "<dt>" + term + "</dt><dd>" + value + "</dd>";
}

std::string List(const std::vector<std::string>& items, const char* none) {
  if (items.empty()) return none;
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + Escape(item);
  return text;
}

// The fields the summary of step `step` counts for the actions `counted`
// picks; -1 when the summary has no such step (it did not run).
template <class Pick>
double StepFields(const zelapply::SummaryFact& summary, uint32_t step, Pick counted) {
  double fields = -1;
  for (const zelapply::StepFact& fact : summary.steps) {
    if (fact.stepKey != zelapply::StepKeyOf(step)) continue;
    fields = 0;
    for (const zelapply::ActionFact& action : fact.actions) {
      if (counted(zelapply::ActionOf(action.reasonKey))) fields += action.fields;
    }
  }
  return fields;
}

const char* WarningWords(const std::string& key) {
  if (key == "noConstructedField") return "no feature was constructed";
  if (key == "noRecommendedField") return "no field is recommended";
  return nullptr;
}

}  // namespace

void WriteRun(const zelapply::DocumentFacts& facts, const ReportModel& model,
              const ReportContext& context, std::string* html) {
  std::string& out = *html;
  out += "<section id=\"run\"><h2>The run</h2><dl class=\"facts\">";
  if (!context.dataSet.empty()) Fact("data set", NameHtml(context.dataSet), &out);
  if (!context.documentName.empty()) Fact("document", NameHtml(context.documentName), &out);
  if (context.records >= 0) Fact("records read", Count(static_cast<double>(context.records)), &out);
  if (context.fieldsRead >= 0) {
    Fact("fields read", Count(static_cast<double>(context.fieldsRead)), &out);
  }
  if (context.fieldsHanded >= 0) {
    Fact("fields handed over", Count(static_cast<double>(context.fieldsHanded)), &out);
  }
  if (!facts.application.empty()) {
    Fact("prepared by", Escape(facts.application + " " + facts.applicationVersion), &out);
  }
  if (!facts.timestamp.empty()) Fact("when", Escape(facts.timestamp), &out);
  Fact("target", List(model.targets, "none"), &out);
  Fact("weights", List(model.weights, "none"), &out);
  const zelapply::SummaryFact& summary = facts.summary;
  if (summary.present) {
    Fact("input fields", Count(static_cast<double>(summary.Count(zelsummary::kOriginalInputFields))), &out);
    Fact("fields recommended", Count(static_cast<double>(summary.Count("recommendedTotal"))),
         &out);
    Fact("input fields not used",
         Count(static_cast<double>(summary.Count("originalFieldsNotUsed"))), &out);
    namespace Action = zelapply::Action;
    // The optional steps say what they did when they ran.
    const double flagged = StepFields(summary, zelapply::Step::kFlagMissingValues,
                                      [](uint32_t a) { return a == Action::kFlagMissing; });
    if (flagged >= 0) Fact("missing-value indicators", Count(flagged), &out);
    const double means = StepFields(summary, zelapply::Step::kEncodeByTarget,
                                    [](uint32_t a) { return a == Action::kTargetMeanCatFeature; });
    if (means >= 0) Fact("target means of inputs of many categories", Count(means), &out);
    const double calendar = StepFields(summary, zelapply::Step::kDateTimeHandle, [](uint32_t a) {
      return a == Action::kDateElementWeekday || a == Action::kDateElementMonthCategory ||
             a == Action::kTimeElementHourCategory;
    });
    if (calendar > 0) Fact("calendar parts as categories", Count(calendar), &out);
  }
  out += "</dl>";
  for (const std::string& warning : summary.warnings) {
    const char* words = WarningWords(warning);
    out += "<p class=\"warn\">warning: " + Escape(words ? words : warning) + "</p>";
  }
  if (summary.present) {
    WriteFlow(summary, &out);
  } else {
    out += "<p class=\"note\">The document has no processing summary, so its counts cannot be "
           "shown.</p>";
  }
  out += "</section>\n";
}

}  // namespace zelreport
