#include "io/CsvScan.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#define ZEL_CSV_X86 1
#endif

namespace zelio {

namespace {

// A byte whose cell must be checked: below 0x20 other than tab, CR and LF,
// or 0x80 and above.
inline bool Checked(unsigned char c, const CsvScanBytes& bytes) {
  if (c >= 0x80) return true;
  if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') return true;
  return bytes.delimiterChecked && c == bytes.delimiter;
}

std::size_t ScalarCellEnd(const unsigned char* s, std::size_t p, std::size_t size,
                          const CsvScanBytes& bytes, bool* check) {
  for (; p < size; ++p) {
    const unsigned char c = s[p];
    if (c == bytes.delimiter || c == '\r' || c == '\n') break;
    if (Checked(c, bytes)) *check = true;
  }
  return p;
}

std::size_t ScalarQuote(const unsigned char* s, std::size_t p, std::size_t size,
                        const CsvScanBytes& bytes, int64_t* lines, bool* check) {
  for (; p < size; ++p) {
    const unsigned char c = s[p];
    if (c == '"') break;
    if (c == '\n') ++*lines;
    if (Checked(c, bytes)) *check = true;
  }
  return p;
}

#ifdef ZEL_CSV_X86

// Bit i of each mask stands for byte i of a 16-byte block.
struct Masks16 {
  uint32_t ends;
  uint32_t quotes;
  uint32_t lineFeeds;
  uint32_t checked;
};

inline Masks16 Classify16(const unsigned char* at, const CsvScanBytes& bytes) {
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  const __m128i cr = _mm_cmpeq_epi8(b, _mm_set1_epi8('\r'));
  const __m128i lf = _mm_cmpeq_epi8(b, _mm_set1_epi8('\n'));
  const __m128i delimiter = _mm_cmpeq_epi8(b, _mm_set1_epi8(static_cast<char>(bytes.delimiter)));
  // As signed bytes, 0x80 and above are negative, so one comparison finds
  // them together with the control characters.
  __m128i checked = _mm_cmplt_epi8(b, _mm_set1_epi8(0x20));
  const __m128i allowed = _mm_or_si128(_mm_or_si128(cr, lf), _mm_cmpeq_epi8(b, _mm_set1_epi8('\t')));
  checked = _mm_andnot_si128(allowed, checked);
  if (bytes.delimiterChecked) checked = _mm_or_si128(checked, delimiter);
  Masks16 m;
  m.ends = static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(cr, lf), delimiter)));
  m.quotes = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, _mm_set1_epi8('"'))));
  m.lineFeeds = static_cast<uint32_t>(_mm_movemask_epi8(lf));
  m.checked = static_cast<uint32_t>(_mm_movemask_epi8(checked));
  return m;
}

// The bits below bit i.
inline uint32_t Below(uint32_t i) { return i >= 32 ? ~0u : (1u << i) - 1; }

std::size_t Sse2CellEnd(const unsigned char* s, std::size_t p, std::size_t size,
                        const CsvScanBytes& bytes, bool* check) {
  while (p + 16 <= size) {
    const Masks16 m = Classify16(s + p, bytes);
    if (m.ends != 0) {
      const auto i = static_cast<uint32_t>(__builtin_ctz(m.ends));
      if ((m.checked & Below(i)) != 0) *check = true;
      return p + i;
    }
    if (m.checked != 0) *check = true;
    p += 16;
  }
  return ScalarCellEnd(s, p, size, bytes, check);
}

std::size_t Sse2Quote(const unsigned char* s, std::size_t p, std::size_t size,
                      const CsvScanBytes& bytes, int64_t* lines, bool* check) {
  while (p + 16 <= size) {
    const Masks16 m = Classify16(s + p, bytes);
    if (m.quotes != 0) {
      const auto i = static_cast<uint32_t>(__builtin_ctz(m.quotes));
      if ((m.checked & Below(i)) != 0) *check = true;
      *lines += __builtin_popcount(m.lineFeeds & Below(i));
      return p + i;
    }
    if (m.checked != 0) *check = true;
    *lines += __builtin_popcount(m.lineFeeds);
    p += 16;
  }
  return ScalarQuote(s, p, size, bytes, lines, check);
}

struct Masks32 {
  uint32_t ends;
  uint32_t quotes;
  uint32_t lineFeeds;
  uint32_t checked;
};

__attribute__((target("avx2"))) inline Masks32 Classify32(const unsigned char* at,
                                                          const CsvScanBytes& bytes) {
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  const __m256i cr = _mm256_cmpeq_epi8(b, _mm256_set1_epi8('\r'));
  const __m256i lf = _mm256_cmpeq_epi8(b, _mm256_set1_epi8('\n'));
  const __m256i delimiter =
      _mm256_cmpeq_epi8(b, _mm256_set1_epi8(static_cast<char>(bytes.delimiter)));
  __m256i checked = _mm256_cmpgt_epi8(_mm256_set1_epi8(0x20), b);
  const __m256i allowed =
      _mm256_or_si256(_mm256_or_si256(cr, lf), _mm256_cmpeq_epi8(b, _mm256_set1_epi8('\t')));
  checked = _mm256_andnot_si256(allowed, checked);
  if (bytes.delimiterChecked) checked = _mm256_or_si256(checked, delimiter);
  Masks32 m;
  m.ends = static_cast<uint32_t>(
      _mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(cr, lf), delimiter)));
  m.quotes = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, _mm256_set1_epi8('"'))));
  m.lineFeeds = static_cast<uint32_t>(_mm256_movemask_epi8(lf));
  m.checked = static_cast<uint32_t>(_mm256_movemask_epi8(checked));
  return m;
}

__attribute__((target("avx2"))) std::size_t Avx2CellEnd(const unsigned char* s, std::size_t p,
                                                        std::size_t size,
                                                        const CsvScanBytes& bytes, bool* check) {
  while (p + 32 <= size) {
    const Masks32 m = Classify32(s + p, bytes);
    if (m.ends != 0) {
      const auto i = static_cast<uint32_t>(__builtin_ctz(m.ends));
      if ((m.checked & Below(i)) != 0) *check = true;
      return p + i;
    }
    if (m.checked != 0) *check = true;
    p += 32;
  }
  return Sse2CellEnd(s, p, size, bytes, check);
}

__attribute__((target("avx2"))) std::size_t Avx2Quote(const unsigned char* s, std::size_t p,
                                                      std::size_t size, const CsvScanBytes& bytes,
                                                      int64_t* lines, bool* check) {
  while (p + 32 <= size) {
    const Masks32 m = Classify32(s + p, bytes);
    if (m.quotes != 0) {
      const auto i = static_cast<uint32_t>(__builtin_ctz(m.quotes));
      if ((m.checked & Below(i)) != 0) *check = true;
      *lines += __builtin_popcount(m.lineFeeds & Below(i));
      return p + i;
    }
    if (m.checked != 0) *check = true;
    *lines += __builtin_popcount(m.lineFeeds);
    p += 32;
  }
  return Sse2Quote(s, p, size, bytes, lines, check);
}

#endif  // ZEL_CSV_X86

const CsvScanner kScanners[] = {
    {ScalarCellEnd, ScalarQuote},
#ifdef ZEL_CSV_X86
    {Sse2CellEnd, Sse2Quote},
    {Avx2CellEnd, Avx2Quote},
#endif
};

CsvScanLevel Clamp(CsvScanLevel level) {
  const CsvScanLevel best = BestCsvScanLevel();
  return static_cast<int>(level) > static_cast<int>(best) ? best : level;
}

CsvScanLevel FromEnvironment() {
  const char* chosen = std::getenv("ZEL_CSV_SCAN");
  if (chosen == nullptr) return BestCsvScanLevel();
  if (std::strcmp(chosen, "scalar") == 0) return CsvScanLevel::kScalar;
  if (std::strcmp(chosen, "sse2") == 0) return Clamp(CsvScanLevel::kSse2);
  return BestCsvScanLevel();
}

std::atomic<int>& LevelInUse() {
  static std::atomic<int> level{static_cast<int>(FromEnvironment())};
  return level;
}

}  // namespace

CsvScanLevel BestCsvScanLevel() {
#ifdef ZEL_CSV_X86
  static const CsvScanLevel best =
      __builtin_cpu_supports("avx2") ? CsvScanLevel::kAvx2 : CsvScanLevel::kSse2;
  return best;
#else
  return CsvScanLevel::kScalar;
#endif
}

CsvScanLevel CsvScanLevelInUse() { return static_cast<CsvScanLevel>(LevelInUse().load()); }

CsvScanLevel SetCsvScanLevel(CsvScanLevel level) {
  LevelInUse().store(static_cast<int>(Clamp(level)));
  return CsvScanLevelInUse();
}

const CsvScanner& GetCsvScanner(CsvScanLevel level) {
  return kScanners[static_cast<int>(Clamp(level))];
}

}  // namespace zelio
