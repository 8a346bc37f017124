#include "ApplyCommand.h"

#include "io/InputFile.h"
#include "replay/PreparedSchema.h"
#include "replay/PreparedWriter.h"
#include "StreamingCommand.h"

namespace zelcli {

namespace {

using zelstatus::Status;

// The exit status a step of writing the schema file ends in.
int SchemaOutcome(const Status& status, const OutputFile& schema, const Interrupts& interrupts) {
  return status.ok() ? kExitSuccess : ReportFailure(status, schema, interrupts);
}

}  // namespace

int RunApply(const ApplyOptions& options) {
  // First, so that a stop signal from here on leaves no temporary file.
  Interrupts interrupts;
  OutputFile output;
  Status status =
      PrepareStreamOutput(options.outputPath, options.documentPath, options.dataPath, &output);
  if (!status.ok()) return ReportFailure(status, output, interrupts);
  OutputFile schema;
  const bool withSchema = !options.schemaOutPath.empty();
  if (withSchema) {
    status =
        PrepareStreamOutput(options.schemaOutPath, options.documentPath, options.dataPath, &schema);
    if (!status.ok()) return ReportFailure(status, output, interrupts);
    if (output.toStandardOutput() && schema.toStandardOutput()) {
      return ReportInputError("the prepared data and its schema cannot both go to standard output");
    }
    if (output.SameTarget(schema)) {
      return ReportInputError("the prepared data and its schema cannot both be written to " +
                              options.schemaOutPath);
    }
  }
  zelapply::CompiledDocument document;
  status = LoadDocument(options.documentPath, interrupts, &document);
  if (!status.ok()) {
    return interrupts.IsInterrupted() ? ReportInterrupted(output, interrupts)
                                      : ReportFailure(status, output, interrupts);
  }
  const zelapply::Program& program = *document.program;
  // The schema depends on the document alone: it is complete before the rows
  // are read, and appears only once the data has.
  if (withSchema) {
    status = schema.Open(&interrupts);
    if (!status.ok()) return ReportFailure(status, schema, interrupts);
    schema.Write(zelreplay::PreparedSchemaText(program, options.allFields));
    const int finished = SchemaOutcome(schema.Finish(), schema, interrupts);
    if (finished != kExitSuccess) return finished;
  }

  // A pipe or FIFO is waited on in polls that a stop signal ends.
  zelio::InputFile in;
  status = in.Open(options.dataPath, &interrupts);
  if (!status.ok()) return ReportFailure(status, output, interrupts);
  zelio::CsvRows reader(in.stream(), options.delimiter, in.regular());
  std::vector<zelio::CsvCell> header;
  status = ReadHeaderRow(reader, options.dataPath, &header);
  if (!status.ok()) {
    return in.interrupted() ? ReportInterrupted(output, interrupts)
                            : ReportFailure(status, output, interrupts);
  }
  zelreplay::RowDecoder decoder;
  status = decoder.BindByName(program, document.parts, header, options.allFields);
  if (!status.ok()) {
    return ReportFailure(status.Prefixed(options.dataPath + ": "), output, interrupts);
  }
  const std::size_t width = header.size();

  status = output.Open(&interrupts);
  if (!status.ok()) return ReportFailure(status, output, interrupts);
  zelio::CsvWriter writer(output, options.delimiter);
  zelreplay::PreparedWriter prepared(program, options.allFields, &writer);
  prepared.WriteHeader();

  zelapply::Frame frame = program.NewFrame();
  const RowRun run{"applying", options.dataPath, options.quiet, options.progress};
  const int exit = StreamRows(run, reader, width, decoder, writer, output, interrupts,
                              [&](const std::vector<zelio::CsvCell>& cells, int64_t line) {
                                decoder.Decode(cells, line, &frame);
                                program.Evaluate(&frame);
                                prepared.WriteRow(frame);
                              });
  if (exit != kExitSuccess || !withSchema) return exit;
  return SchemaOutcome(schema.Commit(), schema, interrupts);
}

}  // namespace zelcli
