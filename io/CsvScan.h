// CsvScan: what the row splitter needs to know of each byte, worked out 64
// bytes at a time: the bytes that end an unquoted cell (the delimiter, CR,
// LF), quotes, line feeds, and the bytes whose cell must be checked as text
// a document can carry (control characters other than tab, CR and LF, and
// the bytes of multi-byte UTF-8). A block is classified 16 (SSE2) or 32
// (AVX2) bytes at a time, or byte by byte on other processors; the level is
// chosen once per process from what the processor supports and the vector
// level setting (frame/ZelVectorSetting.h: `ZEL_VECTOR_LEVEL=plain` scans
// 16 bytes at a time), and SetCsvScanLevel picks one (never one the
// processor lacks). Every level gives the same
// masks, so the splitter finds each cell end with one bit search.
#ifndef ZELCRAFT_IO_CSVSCAN_H_
#define ZELCRAFT_IO_CSVSCAN_H_

#include <cstddef>
#include <cstdint>

namespace zelio {

enum class CsvScanLevel { kScalar = 0, kSse2 = 1, kAvx2 = 2 };

// The widest level the processor runs.
CsvScanLevel BestCsvScanLevel();
// The level new splitters use: the environment's choice or the best.
CsvScanLevel CsvScanLevelInUse();
// Sets the level new splitters use, within what the processor runs; the
// level in use afterwards.
CsvScanLevel SetCsvScanLevel(CsvScanLevel level);

// Bit i of each mask stands for byte i of a block.
struct CsvBlockMasks {
  uint64_t ends = 0;
  uint64_t quotes = 0;
  uint64_t lineFeeds = 0;
  uint64_t checked = 0;
};

// The masks of a window's 64-byte blocks, one block at a time, for one
// delimiter; the block in hand is kept until the window or the block changes.
class CsvBlockScanner {
 public:
  explicit CsvBlockScanner(char delimiter, CsvScanLevel level = CsvScanLevelInUse());

  // The block in hand is taken as unchanged while the window's address and
  // size stay; after bytes were rewritten in place it must be forgotten.
  void Forget() { data_ = nullptr; }

  // The first of s[p, size) that is the delimiter, CR or LF, or size; sets
  // *check when a byte before it must be checked.
  std::size_t CellEnd(const unsigned char* s, std::size_t p, std::size_t size, bool* check) {
    for (;;) {
      const std::size_t base = p & ~static_cast<std::size_t>(63);
      const CsvBlockMasks& m = Block(s, base, size);
      const uint64_t from = ~uint64_t{0} << (p - base);
      const uint64_t ends = m.ends & from;
      if (ends != 0) {
        const int i = __builtin_ctzll(ends);
        if ((m.checked & from & ((uint64_t{1} << i) - 1)) != 0) *check = true;
        return base + static_cast<std::size_t>(i);
      }
      if ((m.checked & from) != 0) *check = true;
      p = base + 64;
      if (p >= size) return size;
    }
  }
  // The first quote of s[p, size), or size; adds the line feeds before it to
  // *lines and sets *check when a byte before it must be checked.
  std::size_t Quote(const unsigned char* s, std::size_t p, std::size_t size, int64_t* lines,
                    bool* check) {
    for (;;) {
      const std::size_t base = p & ~static_cast<std::size_t>(63);
      const CsvBlockMasks& m = Block(s, base, size);
      const uint64_t from = ~uint64_t{0} << (p - base);
      const uint64_t quotes = m.quotes & from;
      if (quotes != 0) {
        const int i = __builtin_ctzll(quotes);
        const uint64_t before = from & ((uint64_t{1} << i) - 1);
        if ((m.checked & before) != 0) *check = true;
        if ((m.lineFeeds & before) != 0) *lines += LineFeeds(m.lineFeeds & before);
        return base + static_cast<std::size_t>(i);
      }
      if ((m.checked & from) != 0) *check = true;
      if ((m.lineFeeds & from) != 0) *lines += LineFeeds(m.lineFeeds & from);
      p = base + 64;
      if (p >= size) return size;
    }
  }

 private:
  // Line breaks inside quotes are rare: counted bit by bit, which needs no
  // population-count instruction.
  static int64_t LineFeeds(uint64_t mask) {
    int64_t n = 0;
    for (; mask != 0; mask &= mask - 1) ++n;
    return n;
  }
  const CsvBlockMasks& Block(const unsigned char* s, std::size_t base, std::size_t size) {
    if (s != data_ || base != base_ || size != size_) Classify(s, base, size);
    return masks_;
  }
  void Classify(const unsigned char* s, std::size_t base, std::size_t size);

  unsigned char delimiter_;
  bool delimiterChecked_;  // inside quotes the delimiter is a byte to check
  CsvScanLevel level_;
  const unsigned char* data_ = nullptr;
  std::size_t base_ = 0;
  std::size_t size_ = 0;
  CsvBlockMasks masks_;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVSCAN_H_
