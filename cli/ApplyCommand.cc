#include "ApplyCommand.h"

#include "io/InputFile.h"
#include "replay/PreparedSchema.h"
#include "replay/PreparedWriter.h"
#include "StreamingCommand.h"

namespace zelcli {

namespace {

// The exit status a step of writing the schema file ends in.
int SchemaOutcome(OutputFile::Result result, const OutputFile& schema,
                  const Interrupts& interrupts, const std::string& error) {
  switch (result) {
    case OutputFile::Result::kInterrupted:
      return ReportInterrupted(schema, interrupts);
    case OutputFile::Result::kFailed:
      return ReportInputError(error);
    case OutputFile::Result::kWritten:
      break;
  }
  return kExitSuccess;
}

}  // namespace

int RunApply(const ApplyOptions& options) {
  // First, so that a stop signal from here on leaves no temporary file.
  Interrupts interrupts;
  std::string error;
  OutputFile output;
  if (!PrepareStreamOutput(options.outputPath, options.documentPath, options.dataPath, &output,
                           &error)) {
    return ReportInputError(error);
  }
  OutputFile schema;
  const bool withSchema = !options.schemaOutPath.empty();
  if (withSchema) {
    if (!PrepareStreamOutput(options.schemaOutPath, options.documentPath, options.dataPath,
                             &schema, &error)) {
      return ReportInputError(error);
    }
    if (output.toStandardOutput() && schema.toStandardOutput()) {
      return ReportInputError("the prepared data and its schema cannot both go to standard output");
    }
    if (output.SameTarget(schema)) {
      return ReportInputError("the prepared data and its schema cannot both be written to " +
                              options.schemaOutPath);
    }
  }
  zelapply::CompiledDocument document;
  if (!LoadDocument(options.documentPath, interrupts, &document, &error)) {
    return interrupts.IsInterrupted() ? ReportInterrupted(output, interrupts)
                                      : ReportInputError(error);
  }
  const zelapply::Program& program = *document.program;
  // The schema depends on the document alone: it is complete before the rows
  // are read, and appears only once the data has.
  if (withSchema) {
    if (!schema.Open(&interrupts, &error)) return ReportInputError(error);
    schema.Write(zelreplay::PreparedSchemaText(program, options.allFields));
    const int finished = SchemaOutcome(schema.Finish(&error), schema, interrupts, error);
    if (finished != kExitSuccess) return finished;
  }

  // A pipe or FIFO is waited on in polls that a stop signal ends.
  zelio::InputFile in;
  if (!in.Open(options.dataPath, &interrupts, &error)) return ReportInputError(error);
  zelio::CsvRows reader(in.stream(), options.delimiter, in.regular());
  std::vector<zelio::CsvCell> header;
  if (!ReadHeaderRow(reader, options.dataPath, &header, &error)) {
    return in.interrupted() ? ReportInterrupted(output, interrupts) : ReportInputError(error);
  }
  zelreplay::RowDecoder decoder;
  if (!decoder.BindByName(program, document.parts, header, options.allFields, &error)) {
    return ReportInputError(options.dataPath + ": " + error);
  }
  const std::size_t width = header.size();

  if (!output.Open(&interrupts, &error)) return ReportInputError(error);
  zelio::CsvWriter writer(output, options.delimiter);
  zelreplay::PreparedWriter prepared(program, options.allFields, &writer);
  prepared.WriteHeader();

  zelapply::Frame frame = program.NewFrame();
  const RowRun run{"applying", options.dataPath, options.quiet, options.progress};
  const int status =
      StreamRows(run, reader, width, decoder, writer, output, interrupts,
                 [&](const std::vector<zelio::CsvCell>& cells, int64_t line) {
                   decoder.Decode(cells, line, &frame);
                   program.Evaluate(&frame);
                   prepared.WriteRow(frame);
                 });
  if (status != kExitSuccess || !withSchema) return status;
  return SchemaOutcome(schema.Commit(&error), schema, interrupts, error);
}

}  // namespace zelcli
