#include "io/ColumnStore.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZEL_COLUMN_X86 1
#endif

#include "frame/ZelVectorSetting.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {

const double Column::kPowersOfTen[Column::kMaxDecimals + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

const int64_t Column::kIntegerPowers[Column::kMaxShift + 1] = {
    1,          10,          100,          1000,          10000,          100000,
    1000000,    10000000,    100000000,    1000000000,    10000000000,    100000000000,
    1000000000000, 10000000000000, 100000000000000, 1000000000000000};

const int64_t Column::kShiftLimits[Column::kMaxShift + 1] = {
    (kMaxMantissa - 1) / 1,
    (kMaxMantissa - 1) / 10,
    (kMaxMantissa - 1) / 100,
    (kMaxMantissa - 1) / 1000,
    (kMaxMantissa - 1) / 10000,
    (kMaxMantissa - 1) / 100000,
    (kMaxMantissa - 1) / 1000000,
    (kMaxMantissa - 1) / 10000000,
    (kMaxMantissa - 1) / 100000000,
    (kMaxMantissa - 1) / 1000000000,
    (kMaxMantissa - 1) / 10000000000,
    (kMaxMantissa - 1) / 100000000000,
    (kMaxMantissa - 1) / 1000000000000,
    (kMaxMantissa - 1) / 10000000000000,
    (kMaxMantissa - 1) / 100000000000000,
    (kMaxMantissa - 1) / 1000000000000000};

namespace {

bool IsReal(int storage) {
  return storage != TorCommon_1_3::kStorageInteger && storage != TorCommon_1_3::kStorageString;
}

}  // namespace

void Column::AppendMissing() {
  if (missing_.empty()) missing_.assign(size_ / 64 + 1, 0);
  if ((size_ & 63) == 0 && missing_.size() <= size_ / 64) missing_.push_back(0);
  missing_[size_ >> 6] |= uint64_t{1} << (size_ & 63);
  ++size_;
  if (IsReal(storage_) && !decimal_) {
    doubles_.push_back(0.0);
  } else {
    values_.Append(0);
  }
}

void Column::AppendDouble(double value) {
  if (decimal_) {
    // A whole number (a day number, say) is a mantissa at the column's scale.
    const double scaled = value * kPowersOfTen[scale_];
    const bool whole = value == std::trunc(value) && !(value == 0.0 && std::signbit(value));
    if (whole && std::fabs(scaled) < static_cast<double>(kMaxMantissa)) {
      MarkPresent();
      values_.Append(static_cast<int64_t>(scaled));
      return;
    }
    LeaveDecimals();
  }
  MarkPresent();
  doubles_.push_back(value);
}

void Column::AppendOtherDecimal(int64_t mantissa, int decimals) {
  if (decimal_ && decimals > scale_) {
    // More decimals than the column had: every mantissa takes the new scale,
    // unless one of them would outgrow the exact range or the factor itself
    // is no whole number of 64 bits.
    const double factor = kPowersOfTen[decimals - scale_];
    bool fits = decimals - scale_ <= 18;
    for (std::size_t i = 0; i < values_.size() && fits; ++i) {
      fits = std::fabs(static_cast<double>(values_.Get(i)) * factor) <
             static_cast<double>(kMaxMantissa);
    }
    if (fits) {
      PackedInts rescaled(values_.width());
      rescaled.Reserve(values_.capacityBytes() / static_cast<std::size_t>(values_.width()));
      const auto multiplier = static_cast<int64_t>(factor);
      for (std::size_t i = 0; i < values_.size(); ++i) rescaled.Append(values_.Get(i) * multiplier);
      values_ = std::move(rescaled);
      scale_ = decimals;
      decoded_.clear();
    }
  }
  if (decimal_ && decimals <= scale_) {
    const double scaled = static_cast<double>(mantissa) * kPowersOfTen[scale_ - decimals];
    if (std::fabs(scaled) < static_cast<double>(kMaxMantissa)) {
      MarkPresent();
      values_.Append(static_cast<int64_t>(scaled));
      return;
    }
  }
  // One division of exact operands: the correctly rounded value of the text.
  AppendDouble(static_cast<double>(mantissa) / kPowersOfTen[decimals]);
}

namespace {

#ifdef ZEL_COLUMN_X86

// Mantissas of 1, 2 or 4 bytes as doubles divided by `power`, 8 or 4 in a
// vector: the conversions are exact and each lane divides as the scalar
// division does (which is also how a column's table of doubles is made).
template <int kWidth>
__attribute__((target("avx512f"))) std::size_t DivideAvx512(const unsigned char* p,
                                                            std::size_t count, double power,
                                                            double* out) {
  const __m512d divisor = _mm512_set1_pd(power);
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const unsigned char* at = p + i * kWidth;
    __m256i whole;
    if (kWidth == 1) {
      whole = _mm256_cvtepi8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)));
    } else if (kWidth == 2) {
      whole = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
    } else {
      whole = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    }
    // The masked conversion (all lanes) spares a compiler warning about the
    // unmasked one's unset source.
    _mm512_storeu_pd(out + i, _mm512_div_pd(_mm512_maskz_cvtepi32_pd(0xff, whole), divisor));
  }
  return i;
}

template <int kWidth>
__attribute__((target("avx2"))) std::size_t DivideAvx2(const unsigned char* p, std::size_t count,
                                                       double power, double* out) {
  const __m256d divisor = _mm256_set1_pd(power);
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const unsigned char* at = p + i * kWidth;
    __m128i whole;
    if (kWidth == 1) {
      int32_t four;
      std::memcpy(&four, at, 4);
      whole = _mm_cvtepi8_epi32(_mm_cvtsi32_si128(four));
    } else if (kWidth == 2) {
      whole = _mm_cvtepi16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)));
    } else {
      whole = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    }
    _mm256_storeu_pd(out + i, _mm256_div_pd(_mm256_cvtepi32_pd(whole), divisor));
  }
  return i;
}

enum class DivideLevel { kPlain, kAvx2, kAvx512 };

DivideLevel ChooseDivideLevel() {
  // The passes' setting narrows this loop too.
  switch (ZelFrame::ZelVectorLevelSetting()) {
    case ZelFrame::ZelVectorLevel::kAvx512:
      return DivideLevel::kAvx512;
    case ZelFrame::ZelVectorLevel::kAvx2:
      return DivideLevel::kAvx2;
    default:
      return DivideLevel::kPlain;
  }
}

// The rows [0, count) a vector loop divided: all but a few at the end.
std::size_t DivideVectors(const unsigned char* p, int width, std::size_t count, double power,
                          double* out) {
  static const DivideLevel level = ChooseDivideLevel();
  if (level == DivideLevel::kAvx512) {
    if (width == 1) return DivideAvx512<1>(p, count, power, out);
    if (width == 2) return DivideAvx512<2>(p, count, power, out);
    if (width == 4) return DivideAvx512<4>(p, count, power, out);
  } else if (level == DivideLevel::kAvx2) {
    if (width == 1) return DivideAvx2<1>(p, count, power, out);
    if (width == 2) return DivideAvx2<2>(p, count, power, out);
    if (width == 4) return DivideAvx2<4>(p, count, power, out);
  }
  return 0;
}

#else

std::size_t DivideVectors(const unsigned char*, int, std::size_t, double, double*) { return 0; }

#endif  // ZEL_COLUMN_X86

}  // namespace

void Column::DoublesAt(std::size_t first, std::size_t count, int64_t* scratch,
                       double* out) const {
  if (!decimal_) {
    std::copy(doubles_.begin() + static_cast<std::ptrdiff_t>(first),
              doubles_.begin() + static_cast<std::ptrdiff_t>(first + count), out);
    return;
  }
  const double power = kPowersOfTen[scale_];
  // Where the processor divides several at once that is quicker than the
  // table; the few rows past the last vector go on below.
  const int width = values_.width();
  const std::size_t done =
      DivideVectors(values_.Data() + first * static_cast<std::size_t>(width), width, count,
                    power, out);
  if (done > 0) {
    for (std::size_t i = done; i < count; ++i) out[i] = Decode(values_.Get(first + i));
    return;
  }
  if (!decoded_.empty()) {
    // Each mantissa looked up as it is unpacked.
    const double* table = decoded_.data();
    const uint64_t size = decoded_.size();
    const int64_t from = decodedFrom_;
    values_.ForRange(first, count, [=](std::size_t i, int64_t mantissa) {
      const auto at = static_cast<uint64_t>(mantissa - from);
      out[i] = at < size ? table[at] : static_cast<double>(mantissa) / power;
    });
    return;
  }
  values_.GetRange(first, count, scratch);
  std::size_t i = 0;
#ifdef __SSE2__
  // Two divisions at once: a vector division rounds each lane exactly as a
  // single one does, and dividing is what this loop waits on.
  const __m128d divisor = _mm_set1_pd(power);
  for (; i + 2 <= count; i += 2) {
    const __m128d pair = _mm_set_pd(static_cast<double>(scratch[i + 1]), static_cast<double>(scratch[i]));
    _mm_storeu_pd(out + i, _mm_div_pd(pair, divisor));
  }
#endif
  for (; i < count; ++i) out[i] = static_cast<double>(scratch[i]) / power;
}

void Column::LeaveDecimals() {
  doubles_.reserve(values_.capacityBytes() / static_cast<std::size_t>(values_.width()));
  for (std::size_t i = 0; i < values_.size(); ++i) {
    doubles_.push_back(static_cast<double>(values_.Get(i)) / kPowersOfTen[scale_]);
  }
  values_ = PackedInts();
  decimal_ = false;
  decoded_.clear();
}

uint32_t Column::Code(std::string_view text) {
  if (text.size() >= 16) {
    const auto it = index_.find(text);
    if (it != index_.end()) return it->second;
    const uint32_t code = Add(text);
    index_.emplace(*texts_[code], code);
    return code;
  }
  uint64_t low;
  uint64_t high;
  ShortKey(text, &low, &high);
  if (shortTexts_.empty()) shortTexts_.resize(16);
  const std::size_t mask = shortTexts_.size() - 1;
  std::size_t slot = Mix(low, high) & mask;
  for (;; slot = (slot + 1) & mask) {
    const ShortText& entry = shortTexts_[slot];
    if (entry.codePlusOne == 0) break;
    if (entry.low == low && entry.high == high) return entry.codePlusOne - 1;
  }
  const uint32_t code = Add(text);
  shortTexts_[slot] = {low, high, code + 1};
  // A few categories keep the table at most an eighth full, so that nearly
  // every text sits in the slot it hashes to, where KnownShortText finds it;
  // many distinct texts fill it up to half, which keeps it small.
  const std::size_t fill = shortTexts_.size() <= kSparseSlots ? 8 : 2;
  if (++shortCount_ * fill > shortTexts_.size()) GrowShortTexts();
  return code;
}

// Twice the slots, every entry placed again.
void Column::GrowShortTexts() {
  std::vector<ShortText> old(shortTexts_.size() * 2);
  old.swap(shortTexts_);
  const std::size_t mask = shortTexts_.size() - 1;
  for (const ShortText& entry : old) {
    if (entry.codePlusOne == 0) continue;
    std::size_t to = Mix(entry.low, entry.high) & mask;
    while (shortTexts_[to].codePlusOne != 0) to = (to + 1) & mask;
    shortTexts_[to] = entry;
  }
}

uint32_t Column::Add(std::string_view text) {
  dictionary_.emplace_back(text);
  texts_.push_back(&dictionary_.back());
  // The string, its text and the lookup entry, roughly.
  dictionaryBytes_ += sizeof(std::string) + dictionary_.back().capacity() + 40;
  return static_cast<uint32_t>(texts_.size() - 1);
}

void Column::DropValues() {
  size_ = 0;
  missing_ = decltype(missing_)();
  values_ = PackedInts();
  doubles_ = decltype(doubles_)();
  decimal_ = true;
  scale_ = 0;
  decoded_.clear();
}

void Column::Reserve(std::size_t rows) {
  if (IsReal(storage_) && !decimal_) {
    doubles_.reserve(rows);
  } else {
    values_.Reserve(rows);
  }
}

void Column::ShrinkToFit() {
  values_.ShrinkToFit();
  doubles_.shrink_to_fit();
  missing_.shrink_to_fit();
}

void Column::PrepareReading() {
  decoded_.clear();
  if (!IsReal(storage_) || !decimal_) return;
  // Mantissas kept in one or two bytes take at most 256 or 65536 values: a
  // table of them all, when it is no larger than a double per eight rows,
  // needs no look at the values. Only the entries in use are ever read.
  const int width = values_.width();
  if (width > 2) return;
  const int64_t low = width == 1 ? INT8_MIN : INT16_MIN;
  const std::size_t span = width == 1 ? 256 : 65536;
  if (span > size_ / 8) return;
  decoded_.resize(span);
  for (std::size_t i = 0; i < span; ++i) {
    decoded_[i] = static_cast<double>(low + static_cast<int64_t>(i)) / kPowersOfTen[scale_];
  }
  decodedFrom_ = low;
}

void Column::IntegersToReals() {
  if (storage_ != TorCommon_1_3::kStorageInteger) return;
  storage_ = TorCommon_1_3::kStorageReal;
  decimal_ = true;
  scale_ = 0;
  decoded_.clear();
  // Mantissas at scale 0 are the whole numbers themselves, while exact.
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (std::llabs(values_.Get(i)) >= kMaxMantissa) {
      LeaveDecimals();
      return;
    }
  }
}

std::size_t Column::MemoryBytes() const {
  return values_.capacityBytes() + (doubles_.capacity() + decoded_.capacity()) * sizeof(double) +
         missing_.capacity() * sizeof(uint64_t) + dictionaryBytes_;
}

std::size_t ColumnStore::MemoryBytes() const {
  std::size_t bytes = 0;
  for (const Column& column : columns) bytes += column.MemoryBytes();
  return bytes;
}

}  // namespace zelio
