// PageParts: the writers of the report page's parts, each appending its
// HTML to the page: the frame (head with the style sheet, the script, the
// end), the run with the picture of the summary's counts, the table of
// fields, the ranking by predictive power, the panels, and the two kinds
// of chart a panel draws.
#ifndef ZELCRAFT_REPORT_PAGEPARTS_H_
#define ZELCRAFT_REPORT_PAGEPARTS_H_

#include <string>

#include "FieldView.h"
#include "Report.h"
#include "apply/DocumentFacts.h"

namespace zelreport {

// The document type, head (title, inline style sheet, a content policy that
// lets the page fetch nothing) and the page heading.
void WritePageStart(const std::string& title, const std::string& subtitle, std::string* html);
// The script (sorting, filtering, expanding, opening every panel to print)
// and the end of the page.
void WritePageEnd(std::string* html);

void WriteRun(const zelapply::DocumentFacts& facts, const ReportModel& model,
              const ReportContext& context, std::string* html);
// The processing summary's counts as one picture: the fields considered on
// the left, flowing to the recommended fields by kind and to the exclusions
// by reason on the right.
void WriteFlow(const zelapply::SummaryFact& summary, std::string* html);
void WriteFieldTable(const ReportModel& model, std::string* html);
// A predictive power as a small bar and its figure; empty when absent.
std::string PowerBar(const zelapply::NumberFact& power);
void WriteRanking(const ReportModel& model, std::string* html);
void WritePanels(const ReportModel& model, std::string* html);

// A chart's 400-bin histogram as SVG, with its markers; nothing when the
// statistics have no histogram.
void WriteHistogram(const Chart& chart, std::string* html);
// A chart's categories as bars, coloured by group where the field merged
// them: the first ones in order when they are few, else the largest and a
// bar for the rest.
void WriteCategoryBars(const Chart& chart, const FieldView& view, std::string* html);

// The colours of merged groups, by palette index; the page's style sheet
// gives class "g<i>" each.
constexpr int kPaletteSize = 10;

}  // namespace zelreport

#endif  // ZELCRAFT_REPORT_PAGEPARTS_H_
