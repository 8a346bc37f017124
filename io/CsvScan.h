// CsvScan: the byte scans of the row splitter, in versions that classify
// 16 (SSE2) or 32 (AVX2) bytes at a time and a byte-by-byte one that any
// processor runs. The version is chosen once per process from what the
// processor supports; ZEL_CSV_SCAN=scalar|sse2|avx2 in the environment, or
// SetCsvScanLevel, picks one (never one the processor lacks). Every version
// gives the same answers: the wide ones only skip ahead over bytes that
// cannot matter, and finish the last bytes of a window one at a time.
#ifndef ZELCRAFT_IO_CSVSCAN_H_
#define ZELCRAFT_IO_CSVSCAN_H_

#include <cstddef>
#include <cstdint>

namespace zelio {

enum class CsvScanLevel { kScalar = 0, kSse2 = 1, kAvx2 = 2 };

// What the splitter scans for besides the delimiter, CR and LF: bytes whose
// cell must be checked as text a document can carry (control characters
// other than tab, CR and LF, and the bytes of multi-byte UTF-8).
struct CsvScanBytes {
  unsigned char delimiter;
  bool delimiterChecked;  // the delimiter is itself such a byte (inside quotes)
};

struct CsvScanner {
  // The first of s[p, size) that is the delimiter, CR or LF, or size; sets
  // *check when a byte before it must be checked.
  std::size_t (*cellEnd)(const unsigned char* s, std::size_t p, std::size_t size,
                         const CsvScanBytes& bytes, bool* check);
  // The first quote of s[p, size), or size; adds the LFs before it to
  // *lines and sets *check when a byte before it must be checked.
  std::size_t (*quote)(const unsigned char* s, std::size_t p, std::size_t size,
                       const CsvScanBytes& bytes, int64_t* lines, bool* check);
};

// The widest level the processor runs.
CsvScanLevel BestCsvScanLevel();
// The level new splitters use: the environment's choice or the best.
CsvScanLevel CsvScanLevelInUse();
// Sets the level new splitters use, within what the processor runs; the
// level in use afterwards.
CsvScanLevel SetCsvScanLevel(CsvScanLevel level);
const CsvScanner& GetCsvScanner(CsvScanLevel level);

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVSCAN_H_
