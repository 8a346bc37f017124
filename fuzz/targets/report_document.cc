// The report takes any text as a document: whatever it reads, it draws a
// page or returns an error, never crashes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "report/Report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelreport::ReportContext context;
  context.dataSet = "fuzz.csv";
  context.records = 1;
  std::string html;
  zelreport::RenderReport(std::string_view(reinterpret_cast<const char*>(data), size), context,
                          &html);
  return 0;
}
