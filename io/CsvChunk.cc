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
    : in_(in),
      chunk_(std::max<std::size_t>(chunk, 4)),
      parser_(delimiter),
      delimiter_(static_cast<unsigned char>(delimiter)),
      scanner_(delimiter) {}

bool CsvChunkReader::Read(ChunkBuffer* buffer, std::size_t bytes) {
  const std::size_t kept = buffer->size();
  buffer->Reserve(kept + bytes);
  in_.read(buffer->data() + kept, static_cast<std::streamsize>(bytes));
  parser_.WindowChanged();
  scanner_.Forget();
  const auto got = static_cast<std::size_t>(in_.gcount());
  buffer->Resize(kept + got);
  bytesRead_ += got;
  if (in_.bad()) return false;
  if (in_.eof()) final_ = true;
  return true;
}

std::size_t CsvChunkReader::SplitPlainRows(CsvChunk* chunk, std::size_t pos) {
  const auto* s = reinterpret_cast<const unsigned char*>(chunk->text.data());
  const std::size_t size = chunk->text.size();
  // Every offset and size of such a window fits a cell reference.
  if (size > CsvChunk::kSizeMask) return pos;
  auto& cells = chunk->cells;
  int64_t line = parser_.line();
  std::size_t row = pos;  // where the row in hand starts
  std::size_t rowCells = cells.size();
  std::size_t p = pos;
  // A row the parser must see: its cells are taken back.
  auto leave = [&] {
    cells.resize(rowCells);
    parser_.ContinueAt(line);
    return row;
  };
  for (;;) {
    // Blank lines, and the line breaks that may end the input, are the parser's.
    if (p >= size || s[p] == '\n' || s[p] == '\r') return leave();
    for (;;) {
      bool check = false;
      std::size_t begin = p;
      std::size_t end;
      uint32_t flags = 0;
      if (s[p] == '"') {
        int64_t breaks = 0;
        end = scanner_.Quote(s, p + 1, size, &breaks, &check);
        // A doubled quote, a line break inside, or a window that ends
        // before what follows the closing quote.
        if (end + 1 >= size || breaks != 0 || s[end + 1] == '"') return leave();
        begin = p + 1;
        p = end + 1;
        flags = CsvChunk::kQuoted;
      } else {
        end = scanner_.CellEnd(s, p, size, &check);
        if (end >= size) return leave();
        p = end;
      }
      if (check) {
        std::string what;
        const std::string_view cell(reinterpret_cast<const char*>(s) + begin, end - begin);
        if (FindUnwritable(cell, &what) != std::string_view::npos) return leave();
      }
      CsvChunk::CellRef& ref = cells.emplace_back();
      ref.offset = static_cast<uint32_t>(begin);
      ref.size = static_cast<uint32_t>(end - begin) | flags;
      const unsigned char c = s[p];
      if (c == delimiter_) {
        // A cell may follow only within the window.
        if (++p >= size) return leave();
        continue;
      }
      if (c == '\n') {
        ++p;
        break;
      }
      // CR, alone or before LF, must be followed by something in the window;
      // any other byte after a closing quote is an error the parser tells.
      if (c != '\r' || p + 1 >= size) return leave();
      p += s[p + 1] == '\n' ? 2 : 1;
      break;
    }
    chunk->rowEnds.push_back(static_cast<uint32_t>(cells.size()));
    chunk->lines.push_back(line++);
    row = p;
    rowCells = cells.size();
  }
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
  scanner_.Forget();
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
    pos = SplitPlainRows(chunk, pos);
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
