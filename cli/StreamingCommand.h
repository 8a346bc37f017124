// StreamingCommand: what the commands that stream a CSV file through a
// document share: reading and compiling the document, the checked output,
// opening the data, the loop over the data rows with its width check, stop
// signals and progress line, and the end of the run.
#ifndef ZELCRAFT_CLI_STREAMINGCOMMAND_H_
#define ZELCRAFT_CLI_STREAMINGCOMMAND_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "io/CsvRows.h"
#include "io/CsvWriter.h"
#include "ExitStatus.h"
#include "Interrupts.h"
#include "OutputFile.h"
#include "ProgressLine.h"
#include "replay/RowDecoder.h"
#include "apply/Document.h"

namespace zelcli {

// Reads and compiles the document, looking at the stop signals as it goes.
// A failure names the file, and the element and line for a bad document;
// kInterrupted when a signal stopped the read.
zelstatus::Status LoadDocument(const std::string& path, Interrupts& interrupts,
                               zelapply::CompiledDocument* document);

// Resolves and checks the output before anything is read; it must be
// neither the document nor the data file.
zelstatus::Status PrepareStreamOutput(const std::string& path, const std::string& documentPath,
                                      const std::string& dataPath, OutputFile* output);

// Reads the header row of the file at `path`; a failure names the file.
zelstatus::Status ReadHeaderRow(zelio::CsvRows& reader, const std::string& path,
                                std::vector<zelio::CsvCell>* header);

// What a streaming run calls its rows and its progress, and what it prints.
struct RowRun {
  const char* phase;            // the progress line's
  const std::string& dataPath;  // named in errors and warnings
  bool quiet;
  bool progress;  // the progress line even when standard error is no terminal
};

using RowFunction = std::function<void(const std::vector<zelio::CsvCell>&, int64_t)>;

// Hands every row after the header to `row` (its cells and the line it
// starts on), then ends the run: commits the output and prints the
// decoder's warnings. A row whose width differs from the header's, or a
// malformed one, is an input error. The exit status.
int StreamRows(const RowRun& run, zelio::CsvRows& reader, std::size_t width,
               const zelreplay::RowDecoder& decoder, zelio::CsvWriter& writer, OutputFile& output,
               Interrupts& interrupts, const RowFunction& row);

// Says that the run was stopped; the exit status for the signal.
int ReportInterrupted(const OutputFile& output, const Interrupts& interrupts);

// Prints "error: MESSAGE"; the exit status of an input error.
int ReportInputError(const std::string& message);

// Prints "error: MESSAGE" and returns the exit status of the failure's kind,
// or says that the run was stopped.
int ReportFailure(const zelstatus::Status& status, const OutputFile& output,
                  const Interrupts& interrupts);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_STREAMINGCOMMAND_H_
