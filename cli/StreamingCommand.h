// StreamingCommand: what the commands that stream CSV files through a
// document share: reading and compiling the document, the checked outputs,
// the loop over the data rows with its width check, stop signals and
// progress line, and the end of the run.
#ifndef ZELCRAFT_CLI_STREAMINGCOMMAND_H_
#define ZELCRAFT_CLI_STREAMINGCOMMAND_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "io/CsvRows.h"
#include "DataOutputs.h"
#include "ExitStatus.h"
#include "Interrupts.h"
#include "OutputFile.h"
#include "ProgressLine.h"
#include "RowOutputs.h"
#include "StreamInput.h"
#include "replay/RowDecoder.h"
#include "apply/Document.h"

namespace zelcli {

// Reads and compiles the document, looking at the stop signals as it goes.
// A failure names the file, and the element and line for a bad document;
// kInterrupted when a signal stopped the read.
zelstatus::Status LoadDocument(const std::string& path, Interrupts& interrupts,
                               zelapply::CompiledDocument* document);

// Resolves and checks an output before anything is read; it must be
// neither the document nor one of the data files.
zelstatus::Status PrepareStreamOutput(const std::string& path, const std::string& documentPath,
                                      const std::vector<std::string>& dataPaths,
                                      OutputFile* output);

// The same for the rows' outputs (`--output`, with "{name}" one per data
// file, DataOutputs).
zelstatus::Status PrepareRowOutputs(const std::string& path, const std::string& documentPath,
                                    const std::vector<std::string>& dataPaths,
                                    DataOutputs* outputs);

// What a streaming run calls its rows and its progress, and what it prints.
struct RowRun {
  const char* phase;  // the progress line's
  bool quiet;
  bool progress;  // the progress line even when standard error is no terminal
};

// A row's cells, the line it starts on and its file among the inputs.
using RowFunction =
    std::function<void(const std::vector<zelio::CsvCell>&, int64_t, std::size_t)>;

// Hands every row after the header to `row`, each after making its file's
// output the one written, then ends the run: finishes every output, commits
// them and prints the decoder's warnings. A row whose width differs from
// the header's, or a malformed one, is an input error named by its file and
// line, and leaves no output. The exit status.
int StreamRows(const RowRun& run, StreamInput& input, std::size_t width,
               const zelreplay::RowDecoder& decoder, RowOutputs& rows, DataOutputs& outputs,
               Interrupts& interrupts, const RowFunction& row);

// Says that the run was stopped; the exit status for the signal.
int ReportInterrupted(bool toStandardOutput, const Interrupts& interrupts);

// Prints "error: MESSAGE"; the exit status of an input error.
int ReportInputError(const std::string& message);

// Prints "error: MESSAGE" and returns the exit status of the failure's kind,
// or says that the run was stopped.
int ReportFailure(const zelstatus::Status& status, bool toStandardOutput,
                  const Interrupts& interrupts);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_STREAMINGCOMMAND_H_
