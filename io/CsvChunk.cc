#include "io/CsvChunk.h"

#include <algorithm>
#include <cstring>

namespace zelio {

void ChunkBuffer::Reserve(std::size_t capacity) {
  if (capacity <= bytes_.size()) return;
  if (capacity >= kMappedBytes) capacity = WholeHugePages(capacity);
  bytes_.reserve(capacity);
  bytes_.resize(capacity);
}

void CsvChunk::Clear() {
  text.Resize(0);
  extra.clear();
  cells.clear();
  rowEnds.clear();
  lines.clear();
  bytesRead = 0;
  failure = ChunkFailure();
  last = false;
}

CsvChunkReader::CsvChunkReader(std::istream& in, char delimiter, std::size_t chunk)
    : in_(in), chunk_(std::max<std::size_t>(chunk, 4)), parser_(delimiter) {}

bool CsvChunkReader::Read(ChunkBuffer* buffer, std::size_t bytes) {
  const std::size_t kept = buffer->size();
  buffer->Reserve(kept + bytes);
  in_.read(buffer->data() + kept, static_cast<std::streamsize>(bytes));
  parser_.WindowChanged();
  const auto got = static_cast<std::size_t>(in_.gcount());
  buffer->Resize(kept + got);
  bytesRead_ += got;
  if (in_.bad()) return false;
  if (in_.eof()) final_ = true;
  return true;
}

void CsvChunkReader::Next(CsvChunk* chunk) {
  chunk->Clear();
  if (failed_) {
    chunk->last = true;
    return;
  }
  // Room for as many cells as the chunks so far had, and a quarter more, so
  // that the tables of a chunk rarely grow while it is split.
  if (chunk->cells.capacity() < expectedCells_) chunk->cells.reserve(expectedCells_ / 4 * 5);
  if (chunk->rowEnds.capacity() < expectedRows_) {
    chunk->rowEnds.reserve(expectedRows_ / 4 * 5);
    chunk->lines.reserve(expectedRows_ / 4 * 5);
  }
  ChunkBuffer& text = chunk->text;
  text.Reserve(carry_.size() + chunk_);
  std::memcpy(text.data(), carry_.data(), carry_.size());
  text.Resize(carry_.size());
  carry_.clear();
  parser_.WindowChanged();
  auto fail = [&](ChunkFailure::Kind kind, const std::string& what) {
    chunk->failure.kind = kind;
    chunk->failure.message = what;
    chunk->last = true;
    failed_ = true;
  };
  auto unreadable = [&] { fail(ChunkFailure::Kind::kUnreadable, std::string()); };
  auto tooLarge = [&] {
    fail(ChunkFailure::Kind::kCellTooLarge,
         "line " + std::to_string(parser_.rowLine()) + ": a cell of 1 GiB or more");
  };
  if (!final_ && !Read(&text, chunk_)) return unreadable();
  std::size_t pos = 0;
  if (!started_) {
    // The mark is looked for once at least three bytes are in or the input ended.
    while (!final_ && text.size() < 3) {
      if (!Read(&text, chunk_)) return unreadable();
    }
    if (text.view().substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
    started_ = true;
  }
  for (;;) {
    const CsvRowParser::Result result = parser_.NextSpans(text.view(), &pos, final_);
    if (result == CsvRowParser::Result::kRow) {
      if (text.size() > UINT32_MAX) return tooLarge();
      for (const CsvRowParser::Span& span : parser_.spans()) {
        if (span.size > CsvChunk::kSizeMask) return tooLarge();
        uint32_t flags = span.quoted ? CsvChunk::kQuoted : 0;
        auto offset = static_cast<uint32_t>(span.offset);
        if (span.inScratch) {
          // Unescaped in the parser's scratch buffer, which the next row reuses.
          flags |= CsvChunk::kInExtra;
          offset = static_cast<uint32_t>(chunk->extra.size());
          chunk->extra.append(parser_.scratch(), span.offset, span.size);
        }
        // Filled in place: a pair built first and copied whole stalls on
        // reading back its two halves.
        CsvChunk::CellRef& ref = chunk->cells.emplace_back();
        ref.offset = offset;
        ref.size = static_cast<uint32_t>(span.size) | flags;
      }
      chunk->rowEnds.push_back(static_cast<uint32_t>(chunk->cells.size()));
      chunk->lines.push_back(parser_.rowLine());
      continue;
    }
    if (result == CsvRowParser::Result::kEnd) {
      chunk->last = true;
      break;
    }
    if (result == CsvRowParser::Result::kError) {
      fail(ChunkFailure::Kind::kMalformed, parser_.error());
      break;
    }
    // Incomplete: the rest goes to the next chunk, unless no row fitted yet.
    if (chunk->rows() > 0) {
      carry_.assign(text.data() + pos, text.size() - pos);
      break;
    }
    if (!parser_.CheckUnfinishedRow(text.view().substr(pos))) {
      fail(ChunkFailure::Kind::kMalformed, parser_.error());
      break;
    }
    if (!Read(&text, std::max(chunk_, text.size()))) return unreadable();
  }
  chunk->bytesRead = bytesRead_;
  expectedCells_ = std::max(expectedCells_, chunk->cells.size());
  expectedRows_ = std::max(expectedRows_, chunk->rows());
}

}  // namespace zelio
