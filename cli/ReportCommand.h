// ReportCommand: `zelcraft report`, the report page of a preparation
// document, drawn from the document alone; and the piece `prepare --report`
// shares with it, the page's text from a document's text.
#ifndef ZELCRAFT_CLI_REPORTCOMMAND_H_
#define ZELCRAFT_CLI_REPORTCOMMAND_H_

#include <string>

#include "ExitStatus.h"

namespace zelcli {

struct ReportOptions {
  std::string documentPath;
  std::string outputPath;  // empty: <DOC stem>.html here; "-": standard output
  bool quiet = false;
};

int RunReport(const ReportOptions& options);

// The file name of `path` without its directory.
std::string PathFileName(const std::string& path);
// The same without its last extension.
std::string PathStem(const std::string& path);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_REPORTCOMMAND_H_
