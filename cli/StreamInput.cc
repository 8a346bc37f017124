#include "StreamInput.h"

namespace zelcli {

using zelstatus::Status;

Status StreamInput::Open(const std::vector<std::string>& paths, char delimiter,
                         Interrupts& interrupts) {
  paths_ = paths;
  interrupts_ = &interrupts;
  rows_.reset();
  files_ = std::make_unique<zelio::CsvFileSequence>(paths_, delimiter,
                                                    zelio::CsvChunkReader::kDefaultChunk);
  const Status opened = files_->Open(&interrupts);
  if (!opened.ok()) return opened;
  // A pipe's waits ask the interrupt check, which belongs to this thread.
  rows_ = std::make_unique<zelio::CsvRows>(*files_, !files_->Unrepeatable());
  return Status();
}

Status StreamInput::ReadHeader(std::vector<zelio::CsvCell>* header) {
  if (rows_->NextRow(header)) return Status();
  if (interrupts_->IsInterrupted()) return Status::Interrupted();
  if (!rows_->error().empty()) return Status::InvalidInput(Error());
  return zelio::NoHeaderRow(paths_);
}

std::string StreamInput::Error() const {
  const std::string& error = rows_->error();
  if (error.empty() || rows_->errorNamesFile()) return error;
  return rowPath() + ": " + error;
}

}  // namespace zelcli
