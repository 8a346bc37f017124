#include "StreamingCommand.h"

#include <unistd.h>

#include <iostream>

namespace zelcli {

using zelstatus::Status;

namespace {

// Rows between two looks at the interrupt flag and the progress line.
constexpr int64_t kCheckEvery = 4096;

Status ForEachRow(zelio::CsvRows& reader, std::size_t width,
                  TorCommon_1_3::IInterruptCheck& interrupts, ProgressLine& progress,
                  const RowFunction& row) {
  std::vector<zelio::CsvCell> cells;
  int64_t rows = 0;
  while (reader.NextRow(&cells)) {
    if (cells.size() != width) {
      const int64_t line = reader.rowLine();
      return Status::InvalidInput("line " + std::to_string(line) + ": " +
                                      std::to_string(cells.size()) +
                                      " cells where the header has " + std::to_string(width),
                                  line);
    }
    row(cells, reader.rowLine());
    if (++rows % kCheckEvery == 0) {
      if (interrupts.IsInterrupted()) return Status::Interrupted();
      progress.Records(rows);
    }
  }
  progress.Records(rows);
  // A stop cuts a pipe's stream short: what it left is no input error.
  if (interrupts.IsInterrupted()) return Status::Interrupted();
  if (!reader.error().empty()) return Status::InvalidInput(reader.error());
  return Status();
}

int FinishOutput(OutputFile& output, const Interrupts& interrupts,
                 const std::vector<std::string>& warnings, bool quiet) {
  const Status committed = output.Commit();
  if (!committed.ok()) return ReportFailure(committed, output, interrupts);
  if (!quiet) {
    for (const std::string& warning : warnings) std::cerr << "warning: " << warning << "\n";
  }
  return kExitSuccess;
}

}  // namespace

Status LoadDocument(const std::string& path, Interrupts& interrupts,
                    zelapply::CompiledDocument* document) {
  return zelapply::CompileDocumentFile(path, document,
                                       [&interrupts] { return interrupts.IsInterrupted(); });
}

Status PrepareStreamOutput(const std::string& path, const std::string& documentPath,
                           const std::string& dataPath, OutputFile* output) {
  Status status = output->Prepare(path);
  if (status.ok()) status = output->CheckNotInput(documentPath, "document");
  if (status.ok()) status = output->CheckNotInput(dataPath, "data");
  return status;
}

Status ReadHeaderRow(zelio::CsvRows& reader, const std::string& path,
                     std::vector<zelio::CsvCell>* header) {
  if (reader.NextRow(header)) return Status();
  return Status::InvalidInput(
      path + ": " + (reader.error().empty() ? "the file is empty: no header row" : reader.error()));
}

int StreamRows(const RowRun& run, zelio::CsvRows& reader, std::size_t width,
               const zelreplay::RowDecoder& decoder, zelio::CsvWriter& writer, OutputFile& output,
               Interrupts& interrupts, const RowFunction& row) {
  ProgressLine progress(std::cerr, !run.quiet && (run.progress || isatty(STDERR_FILENO)));
  progress.StartPhase(run.phase);
  const Status result = ForEachRow(reader, width, interrupts, progress, row);
  progress.Finish();
  if (!result.ok()) return ReportFailure(result.Prefixed(run.dataPath + ": "), output, interrupts);
  writer.Flush();
  return FinishOutput(output, interrupts, decoder.Warnings(run.dataPath), run.quiet);
}

int ReportInterrupted(const OutputFile& output, const Interrupts& interrupts) {
  std::cerr << (output.toStandardOutput() ? "interrupted\n" : "interrupted; no output written\n");
  return interrupts.ExitStatus();
}

int ReportInputError(const std::string& message) {
  std::cerr << "error: " << message << "\n";
  return kExitInputError;
}

int ReportFailure(const Status& status, const OutputFile& output, const Interrupts& interrupts) {
  if (status.interrupted()) return ReportInterrupted(output, interrupts);
  std::cerr << "error: " << status.message() << "\n";
  return ExitStatusOf(status);
}

}  // namespace zelcli
