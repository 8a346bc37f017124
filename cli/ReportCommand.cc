#include "ReportCommand.h"

#include <iostream>

#include "Interrupts.h"
#include "OutputFile.h"
#include "io/FileText.h"
#include "report/Report.h"

namespace zelcli {

namespace {

int InputError(const std::string& message) {
  std::cerr << "error: " << message << "\n";
  return kExitInputError;
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
  std::string error;
  OutputFile output;
  const std::string outputPath =
      options.outputPath.empty() ? PathStem(options.documentPath) + ".html" : options.outputPath;
  if (!output.Prepare(outputPath, &error) ||
      !output.CheckNotInput(options.documentPath, "document", &error)) {
    return InputError(error);
  }
  std::string document;
  if (!zelio::ReadFileText(options.documentPath, &document, &error)) return InputError(error);
  zelreport::ReportContext context;
  context.documentName = PathFileName(options.documentPath);
  std::string html;
  const zelapply::Status status = zelreport::RenderReport(
      document, context, &html, [&interrupts] { return interrupts.IsInterrupted(); });
  if (status.interrupted()) {
    std::cerr << "interrupted; no report written\n";
    return interrupts.ExitStatus();
  }
  if (!status.ok()) return InputError(options.documentPath + ": " + status.message());
  if (!output.Open(&interrupts, &error)) return InputError(error);
  output.Write(html);
  OutputFile::Result result = output.Finish(&error);
  if (result == OutputFile::Result::kWritten) result = output.Commit(&error);
  switch (result) {
    case OutputFile::Result::kInterrupted:
      std::cerr << "interrupted; no report written\n";
      return interrupts.ExitStatus();
    case OutputFile::Result::kFailed:
      return InputError(error);
    case OutputFile::Result::kWritten:
      break;
  }
  if (!options.quiet && !output.toStandardOutput()) {
    std::cerr << "report written to " << outputPath << "\n";
  }
  return kExitSuccess;
}

}  // namespace zelcli
