#include "ApplyCommand.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "CsvWriter.h"
#include "Interrupts.h"
#include "PreparedWriter.h"
#include "RowDecoder.h"
#include "StreamingCommand.h"

namespace zelcli {

namespace {

int InputError(const std::string& message) {
  std::cerr << "error: " << message << "\n";
  return kExitInputError;
}

}  // namespace

int RunApply(const ApplyOptions& options) {
  std::string error;
  zelapply::CompiledDocument document;
  if (!LoadDocument(options.documentPath, &document, &error)) return InputError(error);
  const zelapply::Program& program = *document.program;

  std::ifstream in(options.dataPath, std::ios::binary);
  if (!in) return InputError("cannot open " + options.dataPath + ": " + std::strerror(errno));
  const std::string prefix = options.dataPath + ": ";
  CsvStreamReader reader(in, options.delimiter);
  std::vector<CsvCell> header;
  if (!reader.NextRow(&header)) {
    return InputError(
        prefix + (reader.error().empty() ? "the file is empty: no header row" : reader.error()));
  }
  RowDecoder decoder;
  if (!decoder.BindByName(program, header, &error)) return InputError(prefix + error);
  const std::size_t width = header.size();

  OutputTarget output;
  if (!output.Open(options.outputPath, &error)) return InputError(error);
  CsvWriter writer(output.sink(), options.delimiter);
  PreparedWriter prepared(program, options.allFields, &writer);
  prepared.WriteHeader();

  Interrupts interrupts;
  ProgressLine progress(std::cerr, !options.quiet && (options.progress || isatty(STDERR_FILENO)));
  progress.StartPhase("applying");
  zelapply::Frame frame = program.NewFrame();
  const RowsResult result = ForEachRow(
      reader, width, interrupts, progress,
      [&](const std::vector<CsvCell>& cells, int64_t line) {
        decoder.Decode(cells, line, &frame);
        program.Evaluate(&frame);
        prepared.WriteRow(frame);
      },
      &error);
  progress.Finish();
  if (result == RowsResult::kInterrupted) {
    std::cerr << (options.outputPath.empty() ? "interrupted\n"
                                             : "interrupted; no output written\n");
    return kExitInterrupted;
  }
  if (result == RowsResult::kInputError) return InputError(prefix + error);
  if (!writer.Flush()) {
    return InputError("cannot write " +
                      (options.outputPath.empty() ? "to standard output" : options.outputPath));
  }
  if (!output.Commit(&error)) return InputError(error);
  if (!options.quiet) {
    for (const std::string& warning : decoder.Warnings(options.dataPath)) {
      std::cerr << "warning: " << warning << "\n";
    }
  }
  return kExitSuccess;
}

}  // namespace zelcli
