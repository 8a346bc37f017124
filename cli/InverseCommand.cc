#include "InverseCommand.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "CsvWriter.h"
#include "Interrupts.h"
#include "RowDecoder.h"
#include "StreamingCommand.h"

namespace zelcli {

namespace {

int InputError(const std::string& message) {
  std::cerr << "error: " << message << "\n";
  return kExitInputError;
}

}  // namespace

int RunInverse(const InverseOptions& options) {
  std::string error;
  zelapply::CompiledDocument document;
  if (!LoadDocument(options.documentPath, &document, &error)) return InputError(error);
  if (!document.inverse) {
    return InputError(options.documentPath + ": the document has no target inverse");
  }
  const zelapply::Program& inverse = *document.inverse;
  // The inverse reads the transformed target, the one input it refers to.
  std::size_t target = inverse.inputCount();
  for (std::size_t i = 0; i < inverse.inputCount(); ++i) {
    if (!inverse.IsRead(i)) continue;
    if (target != inverse.inputCount()) {
      return InputError(options.documentPath + ": the target inverse reads more than one field");
    }
    target = i;
  }
  if (target == inverse.inputCount()) {
    return InputError(options.documentPath + ": the target inverse reads no field");
  }

  std::ifstream in(options.predictionsPath, std::ios::binary);
  if (!in) {
    return InputError("cannot open " + options.predictionsPath + ": " + std::strerror(errno));
  }
  const std::string prefix = options.predictionsPath + ": ";
  CsvStreamReader reader(in, options.delimiter);
  std::vector<CsvCell> header;
  if (!reader.NextRow(&header)) {
    return InputError(
        prefix + (reader.error().empty() ? "the file is empty: no header row" : reader.error()));
  }
  std::size_t column = header.size();
  for (std::size_t c = 0; c < header.size(); ++c) {
    if (header[c].text != options.column) continue;
    if (column != header.size())
      return InputError(prefix + "column '" + options.column + "' appears twice");
    column = c;
  }
  if (column == header.size()) {
    return InputError(prefix + "there is no column '" + options.column + "'");
  }
  RowDecoder decoder;
  decoder.Bind(inverse, target, column);
  const std::size_t width = header.size();
  const std::size_t result = inverse.fields().size() - 1;

  OutputTarget output;
  if (!output.Open(options.outputPath, &error)) return InputError(error);
  CsvWriter writer(output.sink(), options.delimiter);
  for (const CsvCell& cell : header) writer.Text(cell.text);
  writer.Text(options.column + "_inverse");
  writer.EndRow();

  Interrupts interrupts;
  ProgressLine progress(std::cerr, !options.quiet && (options.progress || isatty(STDERR_FILENO)));
  progress.StartPhase("inverting");
  zelapply::Frame frame = inverse.NewFrame();
  const RowsResult rows = ForEachRow(
      reader, width, interrupts, progress,
      [&](const std::vector<CsvCell>& cells, int64_t line) {
        decoder.Decode(cells, line, &frame);
        inverse.Evaluate(&frame);
        for (const CsvCell& cell : cells) {
          // An empty cell stays empty (missing), a quoted empty one quoted.
          if (cell.text.empty() && !cell.quoted) {
            writer.Missing();
          } else {
            writer.Text(cell.text);
          }
        }
        writer.Value(frame[result]);
        writer.EndRow();
      },
      &error);
  progress.Finish();
  if (rows == RowsResult::kInterrupted) {
    std::cerr << (options.outputPath.empty() ? "interrupted\n"
                                             : "interrupted; no output written\n");
    return kExitInterrupted;
  }
  if (rows == RowsResult::kInputError) return InputError(prefix + error);
  if (!writer.Flush()) {
    return InputError("cannot write " +
                      (options.outputPath.empty() ? "to standard output" : options.outputPath));
  }
  if (!output.Commit(&error)) return InputError(error);
  if (!options.quiet) {
    for (const std::string& warning : decoder.Warnings(options.predictionsPath)) {
      std::cerr << "warning: " << warning << "\n";
    }
  }
  return kExitSuccess;
}

}  // namespace zelcli
