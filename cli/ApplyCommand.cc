#include "ApplyCommand.h"

#include "InputPaths.h"
#include "replay/PreparedSchema.h"
#include "replay/PreparedWriter.h"
#include "StreamingCommand.h"

namespace zelcli {

namespace {

using zelstatus::Status;

// The exit status a step of writing the schema file ends in.
int SchemaOutcome(const Status& status, const OutputFile& schema, const Interrupts& interrupts) {
  return status.ok() ? kExitSuccess
                     : ReportFailure(status, schema.toStandardOutput(), interrupts);
}

}  // namespace

int RunApply(const ApplyOptions& options) {
  // First, so that a stop signal from here on leaves no temporary file.
  Interrupts interrupts;
  std::vector<std::string> dataPaths;
  Status status = ExpandInputPaths(options.dataPaths, &dataPaths);
  if (!status.ok()) return ReportFailure(status, false, interrupts);
  DataOutputs outputs;
  status = PrepareRowOutputs(options.outputPath, options.documentPath, dataPaths, &outputs);
  if (!status.ok()) return ReportFailure(status, outputs.toStandardOutput(), interrupts);
  const bool toStandardOutput = outputs.toStandardOutput();
  OutputFile schema;
  const bool withSchema = !options.schemaOutPath.empty();
  if (withSchema) {
    status = PrepareStreamOutput(options.schemaOutPath, options.documentPath, dataPaths, &schema);
    if (!status.ok()) return ReportFailure(status, toStandardOutput, interrupts);
    if (toStandardOutput && schema.toStandardOutput()) {
      return ReportInputError("the prepared data and its schema cannot both go to standard output");
    }
    if (outputs.SameTarget(schema)) {
      return ReportInputError("the prepared data and its schema cannot both be written to " +
                              options.schemaOutPath);
    }
  }
  zelapply::CompiledDocument document;
  status = LoadDocument(options.documentPath, interrupts, &document);
  if (!status.ok()) {
    return interrupts.IsInterrupted() ? ReportInterrupted(toStandardOutput, interrupts)
                                      : ReportFailure(status, toStandardOutput, interrupts);
  }
  const zelapply::Program& program = *document.program;
  // The schema depends on the document alone: it is complete before the rows
  // are read, and appears only once the data has.
  if (withSchema) {
    status = schema.Open(&interrupts);
    if (!status.ok()) return SchemaOutcome(status, schema, interrupts);
    schema.Write(zelreplay::PreparedSchemaText(program, options.allFields));
    const int finished = SchemaOutcome(schema.Finish(), schema, interrupts);
    if (finished != kExitSuccess) return finished;
  }

  StreamInput input;
  status = input.Open(dataPaths, options.delimiter, interrupts);
  std::vector<zelio::CsvCell> header;
  if (status.ok()) status = input.ReadHeader(&header);
  if (!status.ok()) return ReportFailure(status, toStandardOutput, interrupts);
  zelreplay::RowDecoder decoder;
  status = decoder.BindByName(program, document.parts, header, options.allFields);
  if (!status.ok()) {
    return ReportFailure(status.Prefixed(input.rowPath() + ": "), toStandardOutput, interrupts);
  }
  const std::size_t width = header.size();

  RowOutputs rows(outputs, options.delimiter);
  zelreplay::PreparedWriter prepared(program, options.allFields, &rows.writer());
  status = rows.Open(&interrupts, [&prepared] { prepared.WriteHeader(); });
  if (!status.ok()) return ReportFailure(status, toStandardOutput, interrupts);

  zelapply::Frame frame = program.NewFrame();
  const RowRun run{"applying", options.quiet, options.progress};
  const int exit = StreamRows(run, input, width, decoder, rows, outputs, interrupts,
                              [&](const std::vector<zelio::CsvCell>& cells, int64_t line,
                                  std::size_t file) {
                                decoder.Decode(cells, line, &frame, file);
                                program.Evaluate(&frame);
                                prepared.WriteRow(frame);
                              });
  if (exit != kExitSuccess || !withSchema) return exit;
  return SchemaOutcome(schema.Commit(), schema, interrupts);
}

}  // namespace zelcli
