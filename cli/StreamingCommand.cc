#include "StreamingCommand.h"

#include "FileText.h"

namespace zelcli {

namespace {

// Rows between two looks at the interrupt flag and the progress line.
constexpr int64_t kCheckEvery = 4096;

}  // namespace

bool LoadDocument(const std::string& path, zelapply::CompiledDocument* document,
                  std::string* error) {
  std::string text;
  if (!ReadFileText(path, &text, error)) return false;
  const zelapply::Status status = zelapply::CompileDocument(text, document);
  if (status.ok()) return true;
  *error = path + ": " + status.message();
  return false;
}

bool OutputTarget::Open(const std::string& path, std::string* error) {
  if (path.empty()) return true;
  file_.reset(new AtomicOutput);
  return file_->Open(path, error);
}

bool OutputTarget::Commit(std::string* error) {
  if (file_) return file_->Commit(error);
  return true;
}

RowsResult ForEachRow(CsvStreamReader& reader, std::size_t width,
                      TorCommon_1_3::IInterruptCheck& interrupts, ProgressLine& progress,
                      const std::function<void(const std::vector<CsvCell>&, int64_t)>& row,
                      std::string* error) {
  std::vector<CsvCell> cells;
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
  if (!reader.error().empty()) {
    *error = reader.error();
    return RowsResult::kInputError;
  }
  return interrupts.IsInterrupted() ? RowsResult::kInterrupted : RowsResult::kDone;
}

}  // namespace zelcli
