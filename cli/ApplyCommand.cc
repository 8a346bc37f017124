#include "ApplyCommand.h"

#include <fstream>

#include "io/FileText.h"
#include "io/PreparedWriter.h"
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
  if (!zelio::OpenFileStream(options.dataPath, &in, &error)) return ReportInputError(error);
  zelio::CsvStreamReader reader(in, options.delimiter);
  std::vector<zelio::CsvCell> header;
  if (!ReadHeaderRow(reader, options.dataPath, &header, &error)) return ReportInputError(error);
  zelio::RowDecoder decoder;
  if (!decoder.BindByName(program, header, &error)) {
    return ReportInputError(options.dataPath + ": " + error);
  }
  const std::size_t width = header.size();

  if (!output.Open(&interrupts, &error)) return ReportInputError(error);
  zelio::CsvWriter writer(output, options.delimiter);
  zelio::PreparedWriter prepared(program, options.allFields, &writer);
  prepared.WriteHeader();

  zelapply::Frame frame = program.NewFrame();
  const RowRun run{"applying", options.dataPath, options.quiet, options.progress};
  return StreamRows(run, reader, width, decoder, writer, output, interrupts,
                    [&](const std::vector<zelio::CsvCell>& cells, int64_t line) {
                      decoder.Decode(cells, line, &frame);
                      program.Evaluate(&frame);
                      prepared.WriteRow(frame);
                    });
}

}  // namespace zelcli
