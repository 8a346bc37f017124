#include "InverseCommand.h"

#include "io/InputFile.h"
#include "StreamingCommand.h"

namespace zelcli {

int RunInverse(const InverseOptions& options) {
  // First, so that a stop signal from here on leaves no temporary file.
  Interrupts interrupts;
  OutputFile output;
  zelstatus::Status status = PrepareStreamOutput(options.outputPath, options.documentPath,
                                                 options.predictionsPath, &output);
  if (!status.ok()) return ReportFailure(status, output, interrupts);
  zelapply::CompiledDocument document;
  status = LoadDocument(options.documentPath, interrupts, &document);
  if (!status.ok()) {
    return interrupts.IsInterrupted() ? ReportInterrupted(output, interrupts)
                                      : ReportFailure(status, output, interrupts);
  }
  if (!document.inverse) {
    return ReportInputError(options.documentPath + ": the document has no target inverse");
  }
  const zelapply::Program& inverse = *document.inverse;
  // The inverse reads the transformed target, the one input it refers to.
  std::size_t target = inverse.inputCount();
  for (std::size_t i = 0; i < inverse.inputCount(); ++i) {
    if (!inverse.IsRead(i)) continue;
    if (target != inverse.inputCount()) {
      return ReportInputError(options.documentPath +
                              ": the target inverse reads more than one field");
    }
    target = i;
  }
  if (target == inverse.inputCount()) {
    return ReportInputError(options.documentPath + ": the target inverse reads no field");
  }

  // A pipe or FIFO is waited on in polls that a stop signal ends.
  zelio::InputFile in;
  status = in.Open(options.predictionsPath, &interrupts);
  if (!status.ok()) return ReportFailure(status, output, interrupts);
  zelio::CsvRows reader(in.stream(), options.delimiter, in.regular());
  std::vector<zelio::CsvCell> header;
  status = ReadHeaderRow(reader, options.predictionsPath, &header);
  if (!status.ok()) {
    return in.interrupted() ? ReportInterrupted(output, interrupts)
                            : ReportFailure(status, output, interrupts);
  }
  const std::string prefix = options.predictionsPath + ": ";
  std::size_t column = header.size();
  for (std::size_t c = 0; c < header.size(); ++c) {
    if (header[c].text != options.column) continue;
    if (column != header.size()) {
      return ReportInputError(prefix + "column '" + options.column + "' appears twice");
    }
    column = c;
  }
  if (column == header.size()) {
    return ReportInputError(prefix + "there is no column '" + options.column + "'");
  }
  // The result column is added after the others; a column of that name
  // already there would make two of them.
  const std::string resultName = options.column + "_inverse";
  for (const zelio::CsvCell& cell : header) {
    if (cell.text == resultName) {
      return ReportInputError(prefix + "there is already a column '" + resultName +
                              "', which the inverse would write again");
    }
  }
  zelreplay::RowDecoder decoder;
  decoder.Bind(inverse, target, column);
  const std::size_t width = header.size();
  const std::size_t result = inverse.fields().size() - 1;

  status = output.Open(&interrupts);
  if (!status.ok()) return ReportFailure(status, output, interrupts);
  zelio::CsvWriter writer(output, options.delimiter);
  for (const zelio::CsvCell& cell : header) writer.Text(cell.text);
  writer.Text(resultName);
  writer.EndRow();

  zelapply::Frame frame = inverse.NewFrame();
  const RowRun run{"inverting", options.predictionsPath, options.quiet, options.progress};
  return StreamRows(run, reader, width, decoder, writer, output, interrupts,
                    [&](const std::vector<zelio::CsvCell>& cells, int64_t line) {
                      decoder.Decode(cells, line, &frame);
                      inverse.Evaluate(&frame);
                      for (const zelio::CsvCell& cell : cells) {
                        // An empty cell stays empty (missing), a quoted empty one quoted.
                        if (cell.text.empty() && !cell.quoted) {
                          writer.Missing();
                        } else {
                          writer.Text(cell.text);
                        }
                      }
                      writer.Value(frame[result]);
                      writer.EndRow();
                    });
}

}  // namespace zelcli
