#include "StreamingCommand.h"

#include <unistd.h>

#include <iostream>

namespace zelcli {

namespace {

// Rows between two looks at the interrupt flag and the progress line.
constexpr int64_t kCheckEvery = 4096;

enum class RowsResult { kDone, kInputError, kInterrupted };

RowsResult ForEachRow(zelio::CsvRows& reader, std::size_t width,
                      TorCommon_1_3::IInterruptCheck& interrupts, ProgressLine& progress,
                      const RowFunction& row, std::string* error) {
  std::vector<zelio::CsvCell> cells;
  int64_t rows = 0;
  while (reader.NextRow(&cells)) {
    if (cells.size() != width) {
      *error = "line " + std::to_string(reader.rowLine()) + ": " + std::to_string(cells.size()) +
               " cells where the header has " + std::to_string(width);
      return RowsResult::kInputError;
    }
    row(cells, reader.rowLine());
    if (++rows % kCheckEvery == 0) {
      if (interrupts.IsInterrupted()) return RowsResult::kInterrupted;
      progress.Records(rows);
    }
  }
  progress.Records(rows);
  // A stop cuts a pipe's stream short: what it left is no input error.
  if (interrupts.IsInterrupted()) return RowsResult::kInterrupted;
  if (!reader.error().empty()) {
    *error = reader.error();
    return RowsResult::kInputError;
  }
  return RowsResult::kDone;
}

int FinishOutput(OutputFile& output, const Interrupts& interrupts,
                 const std::vector<std::string>& warnings, bool quiet) {
  std::string error;
  switch (output.Commit(&error)) {
    case OutputFile::Result::kInterrupted:
      return ReportInterrupted(output, interrupts);
    case OutputFile::Result::kFailed:
      return ReportInputError(error);
    case OutputFile::Result::kWritten:
      break;
  }
  if (!quiet) {
    for (const std::string& warning : warnings) std::cerr << "warning: " << warning << "\n";
  }
  return kExitSuccess;
}

}  // namespace

bool LoadDocument(const std::string& path, Interrupts& interrupts,
                  zelapply::CompiledDocument* document, std::string* error) {
  const zelapply::Status status = zelapply::CompileDocumentFile(
      path, document, [&interrupts] { return interrupts.IsInterrupted(); });
  *error = status.message();
  return status.ok();
}

bool PrepareStreamOutput(const std::string& path, const std::string& documentPath,
                         const std::string& dataPath, OutputFile* output, std::string* error) {
  return output->Prepare(path, error) && output->CheckNotInput(documentPath, "document", error) &&
         output->CheckNotInput(dataPath, "data", error);
}

bool ReadHeaderRow(zelio::CsvRows& reader, const std::string& path, std::vector<zelio::CsvCell>* header,
                   std::string* error) {
  if (reader.NextRow(header)) return true;
  *error = path + ": " +
           (reader.error().empty() ? "the file is empty: no header row" : reader.error());
  return false;
}

int StreamRows(const RowRun& run, zelio::CsvRows& reader, std::size_t width,
               const zelreplay::RowDecoder& decoder, zelio::CsvWriter& writer, OutputFile& output,
               Interrupts& interrupts, const RowFunction& row) {
  ProgressLine progress(std::cerr, !run.quiet && (run.progress || isatty(STDERR_FILENO)));
  progress.StartPhase(run.phase);
  std::string error;
  const RowsResult result = ForEachRow(reader, width, interrupts, progress, row, &error);
  progress.Finish();
  if (result == RowsResult::kInterrupted) return ReportInterrupted(output, interrupts);
  if (result == RowsResult::kInputError) return ReportInputError(run.dataPath + ": " + error);
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

}  // namespace zelcli
