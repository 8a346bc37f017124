#include "ApplyCommand.h"

#include <unistd.h>

#include <fstream>
#include <iostream>

#include "CsvWriter.h"
#include "FileText.h"
#include "PreparedWriter.h"
#include "RowDecoder.h"
#include "StreamingCommand.h"

namespace zelcli {

int RunApply(const ApplyOptions& options) {
  // First, so that a stop signal from here on leaves no temporary file.
  Interrupts interrupts;
  std::string error;
  OutputFile output;
  if (!PrepareStreamOutput(options.outputPath, options.documentPath, options.dataPath, &output,
                           &error)) {
    return ReportInputError(error);
  }
  zelapply::CompiledDocument document;
  if (!LoadDocument(options.documentPath, &document, &error)) return ReportInputError(error);
  const zelapply::Program& program = *document.program;

  std::ifstream in;
  if (!OpenFileStream(options.dataPath, &in, &error)) return ReportInputError(error);
  CsvStreamReader reader(in, options.delimiter);
  std::vector<CsvCell> header;
  if (!ReadHeaderRow(reader, options.dataPath, &header, &error)) return ReportInputError(error);
  const std::string prefix = options.dataPath + ": ";
  RowDecoder decoder;
  if (!decoder.BindByName(program, header, &error)) return ReportInputError(prefix + error);
  const std::size_t width = header.size();

  if (!output.Open(&interrupts, &error)) return ReportInputError(error);
  CsvWriter writer(output, options.delimiter);
  PreparedWriter prepared(program, options.allFields, &writer);
  prepared.WriteHeader();

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
  if (result == RowsResult::kInterrupted) return ReportInterrupted(output, interrupts);
  if (result == RowsResult::kInputError) return ReportInputError(prefix + error);
  writer.Flush();
  return FinishOutput(output, interrupts, decoder.Warnings(options.dataPath), options.quiet);
}

}  // namespace zelcli
