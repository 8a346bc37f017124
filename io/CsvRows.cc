#include "io/CsvRows.h"

namespace zelio {

CsvRows::CsvRows(std::istream& in, char delimiter, bool threaded, std::size_t chunk)
    : reader_(in, delimiter, chunk), pipeline_(reader_, threaded) {}

bool CsvRows::NextRow(std::vector<CsvCell>* cells) {
  cells->clear();
  while (chunk_ == nullptr || next_ == chunk_->rows()) {
    if (chunk_ != nullptr && chunk_->last) {
      // The rows before a failure come first, then the failure.
      const ChunkFailure& failure = chunk_->failure;
      if (failure.kind == ChunkFailure::Kind::kUnreadable) {
        error_ = "read failed";
      } else {
        error_ = failure.message;
      }
      return false;
    }
    chunk_ = &pipeline_.Next();
    next_ = 0;
  }
  const std::size_t end = chunk_->rowEnds[next_];
  for (std::size_t i = chunk_->RowBegin(next_); i < end; ++i) cells->push_back(chunk_->Cell(i));
  line_ = chunk_->lines[next_++];
  return true;
}

}  // namespace zelio
