#include "InverseCommand.h"

#include "InputPaths.h"
#include "StreamingCommand.h"

namespace zelcli {

int RunInverse(const InverseOptions& options) {
  // First, so that a stop signal from here on leaves no temporary file.
  Interrupts interrupts;
  std::vector<std::string> dataPaths;
  zelstatus::Status status = ExpandInputPaths(options.predictionsPaths, &dataPaths);
  if (!status.ok()) return ReportFailure(status, false, interrupts);
  DataOutputs outputs;
  status = PrepareRowOutputs(options.outputPath, options.documentPath, dataPaths, &outputs);
  const bool toStandardOutput = outputs.toStandardOutput();
  if (!status.ok()) return ReportFailure(status, toStandardOutput, interrupts);
  zelapply::CompiledDocument document;
  status = LoadDocument(options.documentPath, interrupts, &document);
  if (!status.ok()) {
    return interrupts.IsInterrupted() ? ReportInterrupted(toStandardOutput, interrupts)
                                      : ReportFailure(status, toStandardOutput, interrupts);
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

  StreamInput input;
  status = input.Open(dataPaths, options.delimiter, interrupts);
  std::vector<zelio::CsvCell> header;
  if (status.ok()) status = input.ReadHeader(&header);
  if (!status.ok()) return ReportFailure(status, toStandardOutput, interrupts);
  const std::string prefix = input.rowPath() + ": ";
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

  RowOutputs rows(outputs, options.delimiter);
  zelio::CsvWriter& writer = rows.writer();
  // Each output begins with the header, long after its cells were read.
  std::vector<std::string> names;
  for (const zelio::CsvCell& cell : header) names.emplace_back(cell.text);
  status = rows.Open(&interrupts, [&] {
    for (const std::string& name : names) writer.Text(name);
    writer.Text(resultName);
    writer.EndRow();
  });
  if (!status.ok()) return ReportFailure(status, toStandardOutput, interrupts);

  zelapply::Frame frame = inverse.NewFrame();
  const RowRun run{"inverting", options.quiet, options.progress};
  return StreamRows(run, input, width, decoder, rows, outputs, interrupts,
                    [&](const std::vector<zelio::CsvCell>& cells, int64_t line, std::size_t file) {
                      decoder.Decode(cells, line, &frame, file);
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
