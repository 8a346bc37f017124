#include "Report.h"

#include "FieldView.h"
#include "HtmlText.h"
#include "PageParts.h"

namespace zelreport {

zelstatus::Status RenderReport(std::string_view document, const ReportContext& context,
                               std::string* html, const zelapply::StopCheck& stop) {
  html->clear();
  zelapply::DocumentFacts facts;
  const zelstatus::Status read = zelapply::ReadDocumentFacts(document, &facts, stop);
  if (!read.ok()) return read;
  ReportModel model;
  BuildModel(facts, &model);
  const std::string& name = context.dataSet.empty() ? context.documentName : context.dataSet;
  const std::string title =
      "Preparation report" + (name.empty() ? std::string() : ": " + Isolated(name));
  std::string subtitle = std::to_string(model.fields.size()) + " reported fields";
  if (!context.documentName.empty()) {
    subtitle += " \u00b7 document " + Isolated(context.documentName);
  }
  if (!facts.application.empty()) {
    subtitle += " \u00b7 prepared by " + facts.application + " " + facts.applicationVersion;
  }
  WritePageStart(title, subtitle, html);
  WriteRun(facts, model, context, html);
  WriteFieldTable(model, html);
  WriteRanking(model, html);
  WritePanels(model, html);
  WritePageEnd(html);
  return zelstatus::Status();
}

}  // namespace zelreport
