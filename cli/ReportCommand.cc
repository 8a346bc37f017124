#include "ReportCommand.h"

#include <iostream>

#include "Interrupts.h"
#include "OutputFile.h"
#include "io/FileText.h"
#include "report/Report.h"

namespace zelcli {

namespace {

using zelstatus::Status;

// "error: MESSAGE" and the exit status of its kind, or what a stop gives.
int Failed(const Status& status, const Interrupts& interrupts) {
  if (status.interrupted()) {
    std::cerr << "interrupted; no report written\n";
    return interrupts.ExitStatus();
  }
  std::cerr << "error: " << status.message() << "\n";
  return ExitStatusOf(status);
}

}  // namespace

std::string PathFileName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PathStem(const std::string& path) {
  std::string stem = PathFileName(path);
  const std::size_t dot = stem.rfind('.');
  if (dot != std::string::npos && dot > 0) stem.resize(dot);
  return stem;
}

int RunReport(const ReportOptions& options) {
  // First, so that a stop signal from here on leaves no temporary file.
  Interrupts interrupts;
  OutputFile output;
  const std::string outputPath =
      options.outputPath.empty() ? PathStem(options.documentPath) + ".html" : options.outputPath;
  Status status = output.Prepare(outputPath);
  if (status.ok()) status = output.CheckNotInput(options.documentPath, "document");
  std::string document;
  if (status.ok()) status = zelio::ReadFileText(options.documentPath, &document);
  if (!status.ok()) return Failed(status, interrupts);
  zelreport::ReportContext context;
  context.documentName = PathFileName(options.documentPath);
  std::string html;
  status = zelreport::RenderReport(document, context, &html,
                                   [&interrupts] { return interrupts.IsInterrupted(); });
  if (status.ok()) {
    status = output.Open(&interrupts);
  } else {
    status = status.Prefixed(options.documentPath + ": ");
  }
  if (status.ok()) {
    output.Write(html);
    status = output.Finish();
  }
  if (status.ok()) status = output.Commit();
  if (!status.ok()) return Failed(status, interrupts);
  if (!options.quiet && !output.toStandardOutput()) {
    std::cerr << "report written to " << outputPath << "\n";
  }
  return kExitSuccess;
}

}  // namespace zelcli
