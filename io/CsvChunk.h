// CsvChunk and CsvChunkReader: a CSV file read in chunks of whole rows, each
// chunk split into cells that stay valid until the chunk is reused, so one
// thread can split the next chunk while another converts this one. Rows
// follow the rules of CsvRowParser; a leading UTF-8 byte-order mark is
// skipped. A row longer than a chunk makes that chunk larger; otherwise
// memory does not grow with the input. Rows of plain cells and of quoted
// cells without doubled quotes or line breaks, the rows of most files, are
// split straight from the scanner's masks; any other row goes to the row
// parser, which splits it the same way and reports what is wrong with it.
#ifndef ZELCRAFT_IO_CSVCHUNK_H_
#define ZELCRAFT_IO_CSVCHUNK_H_

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "io/CsvRowParser.h"
#include "io/HugePageAllocator.h"

namespace zelio {

// A byte buffer that grows without clearing what it gains: the chunks are
// refilled from the file at once. It takes whole huge pages once it is
// large, since it is refilled over and over.
class ChunkBuffer {
 public:
  const char* data() const { return bytes_.data(); }
  char* data() { return bytes_.data(); }
  std::size_t size() const { return size_; }
  std::string_view view() const { return std::string_view(bytes_.data(), size_); }
  // Keeps the first `size()` bytes; the room after them is uninitialised.
  void Reserve(std::size_t capacity);
  void Resize(std::size_t size) { size_ = size; }  // within the reserved room

 private:
  std::vector<char, HugePageAllocator<char>> bytes_;
  std::size_t size_ = 0;
};

// Why reading stopped at a chunk: the input could not be read, or its text
// breaks the CSV rules (the message names the line and column), or a cell
// is larger than a chunk can index, or (kInput) one of several files could
// not be opened, changed since it was first read or has another header
// (the message is whole and names the file).
struct ChunkFailure {
  enum class Kind { kNone, kUnreadable, kMalformed, kCellTooLarge, kInput };
  Kind kind = Kind::kNone;
  std::string message;  // for kMalformed, kCellTooLarge and kInput

  bool failed() const { return kind != Kind::kNone; }
};

struct CsvChunk {
  std::size_t rows() const { return rowEnds.size(); }
  // Cells [RowBegin(r), rowEnds[r]) make row r.
  std::size_t RowBegin(std::size_t r) const { return r == 0 ? 0 : rowEnds[r - 1]; }
  CsvCell Cell(std::size_t i) const {
    const CellRef cell = cells[i];
    const uint32_t size = cell.size & kSizeMask;
    const char* base = (cell.size & kInExtra) != 0 ? extra.data() : text.data();
    return {std::string_view(base + cell.offset, size), (cell.size & kQuoted) != 0};
  }
  void Clear();

  static constexpr uint32_t kQuoted = 1u << 31;
  static constexpr uint32_t kInExtra = 1u << 30;
  static constexpr uint32_t kSizeMask = kInExtra - 1;

  struct CellRef {
    uint32_t offset;
    uint32_t size;  // with the flags above
  };

  ChunkBuffer text;   // the chunk's bytes, as read
  std::string extra;  // cells whose doubled quotes were made single
  std::vector<CellRef, HugePageAllocator<CellRef>> cells;
  std::vector<uint32_t> rowEnds;
  std::vector<int64_t> lines;    // the line each row starts on
  uint64_t bytesRead = 0;        // of the input, up to the end of this chunk's read
  ChunkFailure failure;          // set on the chunk at which reading failed
  bool last = false;             // no chunk follows
  std::size_t file = 0;          // of several files read as one, the one the rows come from
};

// What hands out the chunks of an input in order: one file's reader, or
// several files read as one (CsvFileSequence).
class ChunkSource {
 public:
  virtual ~ChunkSource() = default;
  // Fills `chunk` with the next rows; a chunk marked last ends the input.
  virtual void Next(CsvChunk* chunk) = 0;
};

class CsvChunkReader : public ChunkSource {
 public:
  // Small enough that a chunk and its cell table are still in the cache
  // when the cells are converted after the split.
  static constexpr std::size_t kDefaultChunk = 1 << 18;

  // `in` (opened in binary mode) must outlive the reader.
  CsvChunkReader(std::istream& in, char delimiter, std::size_t chunk = kDefaultChunk);

  // Fills `chunk` with the next rows. A chunk marked last ends the input
  // (it may hold no rows); one with an error ends it too, after the rows
  // before the malformed one.
  void Next(CsvChunk* chunk) override;

 private:
  bool Read(ChunkBuffer* buffer, std::size_t bytes);
  // Splits the complete plain rows from `pos` on into `chunk`; the offset of
  // the first row it leaves to the row parser.
  std::size_t SplitPlainRows(CsvChunk* chunk, std::size_t pos);

  std::istream& in_;
  std::size_t chunk_;
  CsvRowParser parser_;
  unsigned char delimiter_;
  CsvBlockScanner scanner_;  // for the plain rows
  std::string carry_;  // the start of a row the previous chunk could not finish
  bool final_ = false;
  bool started_ = false;
  bool failed_ = false;
  uint64_t bytesRead_ = 0;
  std::size_t expectedCells_ = 0;  // a chunk's cells, from the chunks so far
  std::size_t expectedRows_ = 0;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVCHUNK_H_
