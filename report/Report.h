// Report: one self-contained HTML page that shows what a preparation did,
// drawn from its document alone (so a document written by any version, or
// by a host application, can be reported): the run and the processing
// summary's counts as one picture, a sortable and filterable table of the
// reported fields, a panel per field with its distribution (the outlier
// cutoffs, bin edges and merged groups drawn on it) and the inputs ranked by
// predictive power. Inline CSS and SVG and a little plain JavaScript; the
// page fetches nothing, opens offline and prints.
//
// What the document lacks (no target, no statistics, an old document) the
// page says instead of failing. The only error is a text that is not a
// PMML document.
#ifndef ZELCRAFT_REPORT_REPORT_H_
#define ZELCRAFT_REPORT_REPORT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "apply/StopCheck.h"
#include "status/Status.h"

namespace zelreport {

// What the host knows of the run beyond the document; each is shown when
// given and left out otherwise (a negative count is not given).
struct ReportContext {
  std::string dataSet;         // the data's name, e.g. its file name
  std::string documentName;    // the document's file name
  int64_t records = -1;        // records read
  int64_t fieldsRead = -1;     // columns of the data
  int64_t fieldsHanded = -1;   // fields handed to the component
};

// Renders the report of `document` (the text of a preparation document)
// into `html`, which it replaces. On error `html` is left empty and the
// status says why. `stop` is asked while the document is read; when it
// says yes, the status is Interrupted.
zelstatus::Status RenderReport(std::string_view document, const ReportContext& context,
                               std::string* html,
                               const zelapply::StopCheck& stop = zelapply::StopCheck());

}  // namespace zelreport

#endif  // ZELCRAFT_REPORT_REPORT_H_
