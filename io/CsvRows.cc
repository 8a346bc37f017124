#include "io/CsvRows.h"

namespace zelio {

CsvRows::CsvRows(std::istream& in, char delimiter, bool threaded, std::size_t chunk)
    : reader_(std::make_unique<CsvChunkReader>(in, delimiter, chunk)),
      pipeline_(*reader_, threaded) {}

CsvRows::CsvRows(ChunkSource& source, bool threaded) : pipeline_(source, threaded) {}

bool CsvRows::NextRow(std::vector<CsvCell>* cells) {
  while (chunk_ == nullptr || next_ == chunk_->rows()) {
    if (chunk_ != nullptr && chunk_->last) {
      // The rows before a failure come first, then the failure.
      const ChunkFailure& failure = chunk_->failure;
      cells->clear();
      file_ = chunk_->file;
      errorNamesFile_ = failure.kind == ChunkFailure::Kind::kInput;
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
  const CsvChunk& chunk = *chunk_;
  const std::size_t begin = chunk.RowBegin(next_);
  const std::size_t width = chunk.rowEnds[next_] - begin;
  line_ = chunk.lines[next_++];
  file_ = chunk.file;
  // The chunk's tables read once, not again after each cell written.
  const CsvChunk::CellRef* refs = chunk.cells.data() + begin;
  const char* text = chunk.text.data();
  const char* extra = chunk.extra.data();
  cells->resize(width);
  CsvCell* out = cells->data();
  for (std::size_t i = 0; i < width; ++i) {
    const uint32_t size = refs[i].size;
    const char* base = (size & CsvChunk::kInExtra) != 0 ? extra : text;
    out[i].text = std::string_view(base + refs[i].offset, size & CsvChunk::kSizeMask);
    out[i].quoted = (size & CsvChunk::kQuoted) != 0;
  }
  return true;
}

}  // namespace zelio
