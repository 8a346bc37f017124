#include "StreamingCommand.h"

#include <unistd.h>

#include <iostream>

namespace zelcli {

using zelstatus::Status;

namespace {

// Rows between two looks at the interrupt flag and the progress line.
constexpr int64_t kCheckEvery = 4096;

Status ForEachRow(StreamInput& input, std::size_t width, RowOutputs& outputs,
                  TorCommon_1_3::IInterruptCheck& interrupts, ProgressLine& progress,
                  const RowFunction& row) {
  zelio::CsvRows& reader = input.rows();
  std::vector<zelio::CsvCell> cells;
  int64_t rows = 0;
  while (reader.NextRow(&cells)) {
    const int64_t line = reader.rowLine();
    if (cells.size() != width) {
      return Status::InvalidInput(input.rowPath() + ": line " + std::to_string(line) + ": " +
                                      std::to_string(cells.size()) +
                                      " cells where the header has " + std::to_string(width),
                                  line);
    }
    const std::size_t file = reader.rowFile();
    outputs.Begin(file);
    row(cells, line, file);
    if (++rows % kCheckEvery == 0) {
      if (interrupts.IsInterrupted()) return Status::Interrupted();
      progress.Records(rows);
    }
  }
  progress.Records(rows);
  // A stop cuts a pipe's stream short: what it left is no input error.
  if (interrupts.IsInterrupted()) return Status::Interrupted();
  if (!reader.error().empty()) return Status::InvalidInput(input.Error());
  return Status();
}

}  // namespace

Status LoadDocument(const std::string& path, Interrupts& interrupts,
                    zelapply::CompiledDocument* document) {
  return zelapply::CompileDocumentFile(path, document,
                                       [&interrupts] { return interrupts.IsInterrupted(); });
}

Status PrepareStreamOutput(const std::string& path, const std::string& documentPath,
                           const std::vector<std::string>& dataPaths, OutputFile* output) {
  Status status = output->Prepare(path);
  if (status.ok()) status = output->CheckNotInput(documentPath, "document");
  for (const std::string& dataPath : dataPaths) {
    if (status.ok()) status = output->CheckNotInput(dataPath, "data");
  }
  return status;
}

Status PrepareRowOutputs(const std::string& path, const std::string& documentPath,
                         const std::vector<std::string>& dataPaths, DataOutputs* outputs) {
  return outputs->Prepare("--output", path, dataPaths,
                          [&](const std::string& target, OutputFile* output) {
                            return PrepareStreamOutput(target, documentPath, dataPaths, output);
                          });
}

int StreamRows(const RowRun& run, StreamInput& input, std::size_t width,
               const zelreplay::RowDecoder& decoder, RowOutputs& rows, DataOutputs& outputs,
               Interrupts& interrupts, const RowFunction& row) {
  ProgressLine progress(std::cerr, !run.quiet && (run.progress || isatty(STDERR_FILENO)));
  progress.StartPhase(run.phase);
  Status status = ForEachRow(input, width, rows, interrupts, progress, row);
  progress.Finish();
  if (status.ok()) {
    rows.End();
    // Every output is complete before any appears.
    status = outputs.Finish();
  }
  if (status.ok()) status = outputs.Commit();
  if (!status.ok()) return ReportFailure(status, outputs.toStandardOutput(), interrupts);
  if (!run.quiet) {
    for (const std::string& warning : decoder.Warnings(input.paths())) {
      std::cerr << "warning: " << warning << "\n";
    }
  }
  return kExitSuccess;
}

int ReportInterrupted(bool toStandardOutput, const Interrupts& interrupts) {
  std::cerr << (toStandardOutput ? "interrupted\n" : "interrupted; no output written\n");
  return interrupts.ExitStatus();
}

int ReportInputError(const std::string& message) {
  std::cerr << "error: " << message << "\n";
  return kExitInputError;
}

int ReportFailure(const Status& status, bool toStandardOutput, const Interrupts& interrupts) {
  if (status.interrupted()) return ReportInterrupted(toStandardOutput, interrupts);
  std::cerr << "error: " << status.message() << "\n";
  return ExitStatusOf(status);
}

}  // namespace zelcli
