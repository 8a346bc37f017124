#include "io/CsvScan.h"

#include <atomic>

#include "frame/ZelVectorSetting.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define ZEL_CSV_X86 1
#endif

namespace zelio {

namespace {

// Bytes [0, count) of a block, one at a time: the last block of a window,
// and every block at the scalar level.
void ClassifyBytes(const unsigned char* s, std::size_t count, unsigned char delimiter,
                   bool delimiterChecked, CsvBlockMasks* m) {
  *m = CsvBlockMasks();
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char c = s[i];
    const uint64_t bit = uint64_t{1} << i;
    if (c == delimiter || c == '\r' || c == '\n') m->ends |= bit;
    if (c == '"') m->quotes |= bit;
    if (c == '\n') m->lineFeeds |= bit;
    const bool control = c < 0x20 && c != '\t' && c != '\r' && c != '\n';
    if (control || c >= 0x80 || (delimiterChecked && c == delimiter)) m->checked |= bit;
  }
}

#ifdef ZEL_CSV_X86

void ClassifySse2(const unsigned char* s, unsigned char delimiter, bool delimiterChecked,
                  CsvBlockMasks* m) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i space = _mm_set1_epi8(0x20);
  const __m128i d = _mm_set1_epi8(static_cast<char>(delimiter));
  *m = CsvBlockMasks();
  for (int part = 0; part < 4; ++part) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * part));
    const __m128i isCr = _mm_cmpeq_epi8(b, cr);
    const __m128i isLf = _mm_cmpeq_epi8(b, lf);
    const __m128i isDelimiter = _mm_cmpeq_epi8(b, d);
    // As signed bytes, 0x80 and above are negative: one comparison finds
    // them together with the control characters.
    __m128i checked = _mm_andnot_si128(_mm_or_si128(_mm_or_si128(isCr, isLf), _mm_cmpeq_epi8(b, tab)),
                                       _mm_cmplt_epi8(b, space));
    if (delimiterChecked) checked = _mm_or_si128(checked, isDelimiter);
    const int shift = 16 * part;
    auto bits = [shift](__m128i v) {
      return static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(v))) << shift;
    };
    m->ends |= bits(_mm_or_si128(_mm_or_si128(isCr, isLf), isDelimiter));
    m->quotes |= bits(_mm_cmpeq_epi8(b, quote));
    m->lineFeeds |= bits(isLf);
    m->checked |= bits(checked);
  }
}

__attribute__((target("avx2"))) void ClassifyAvx2(const unsigned char* s, unsigned char delimiter,
                                                  bool delimiterChecked, CsvBlockMasks* m) {
  const __m256i cr = _mm256_set1_epi8('\r');
  const __m256i lf = _mm256_set1_epi8('\n');
  const __m256i tab = _mm256_set1_epi8('\t');
  const __m256i quote = _mm256_set1_epi8('"');
  const __m256i space = _mm256_set1_epi8(0x20);
  const __m256i d = _mm256_set1_epi8(static_cast<char>(delimiter));
  *m = CsvBlockMasks();
  for (int part = 0; part < 2; ++part) {
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32 * part));
    const __m256i isCr = _mm256_cmpeq_epi8(b, cr);
    const __m256i isLf = _mm256_cmpeq_epi8(b, lf);
    const __m256i isDelimiter = _mm256_cmpeq_epi8(b, d);
    __m256i checked =
        _mm256_andnot_si256(_mm256_or_si256(_mm256_or_si256(isCr, isLf), _mm256_cmpeq_epi8(b, tab)),
                            _mm256_cmpgt_epi8(space, b));
    if (delimiterChecked) checked = _mm256_or_si256(checked, isDelimiter);
    const int shift = 32 * part;
    const __m256i ends = _mm256_or_si256(_mm256_or_si256(isCr, isLf), isDelimiter);
    const __m256i quotes = _mm256_cmpeq_epi8(b, quote);
    m->ends |= uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(ends))} << shift;
    m->quotes |= uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(quotes))} << shift;
    m->lineFeeds |= uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(isLf))} << shift;
    m->checked |= uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(checked))} << shift;
  }
}

#endif  // ZEL_CSV_X86

CsvScanLevel Clamp(CsvScanLevel level) {
  const CsvScanLevel best = BestCsvScanLevel();
  return static_cast<int>(level) > static_cast<int>(best) ? best : level;
}

// The vector level the passes use picks the scanner's too: 16 bytes to an
// instruction at the plain level, 32 at the wider ones.
CsvScanLevel FromEnvironment() {
  if (ZelFrame::ZelVectorLevelSetting() == ZelFrame::ZelVectorLevel::kPlain) {
    return Clamp(CsvScanLevel::kSse2);
  }
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

CsvBlockScanner::CsvBlockScanner(char delimiter, CsvScanLevel level)
    : delimiter_(static_cast<unsigned char>(delimiter)),
      delimiterChecked_((delimiter_ < 0x20 && delimiter_ != '\t' && delimiter_ != '\r' &&
                         delimiter_ != '\n') ||
                        delimiter_ >= 0x80),
      level_(Clamp(level)) {}

void CsvBlockScanner::Classify(const unsigned char* s, std::size_t base, std::size_t size) {
  data_ = s;
  base_ = base;
  size_ = size;
  const std::size_t count = size - base < 64 ? size - base : 64;
#ifdef ZEL_CSV_X86
  if (count == 64 && level_ == CsvScanLevel::kAvx2) {
    return ClassifyAvx2(s + base, delimiter_, delimiterChecked_, &masks_);
  }
  if (count == 64 && level_ == CsvScanLevel::kSse2) {
    return ClassifySse2(s + base, delimiter_, delimiterChecked_, &masks_);
  }
#endif
  ClassifyBytes(s + base, count, delimiter_, delimiterChecked_, &masks_);
}

}  // namespace zelio
