// ColumnStore: the data set held in memory as typed columns, so the data
// passes replay it without parsing it again. Columns are compact: whole
// numbers and the dictionary codes of texts take the narrowest of 1, 2, 4
// or 8 bytes that fits every value; decimal numbers with few digits
// ("0.23", "61.5") are kept as whole-number mantissas over a power of ten
// shared by the column, and read back by one division, which gives exactly
// the double the decimal text parses to; other numbers are doubles. Missing
// values take one bit each, and only in columns that have any. Mantissas of
// up to 4 bytes are divided 8 (AVX-512) or 4 (AVX2) at a time where the
// processor can; ZEL_VECTOR_LEVEL=plain (or avx2) in the environment picks a
// narrower loop.
#ifndef ZELCRAFT_IO_COLUMNSTORE_H_
#define ZELCRAFT_IO_COLUMNSTORE_H_

#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/HugePageAllocator.h"
#include "io/PackedInts.h"

namespace zelio {

class Column {
 public:
  // `storage` is a TorStorage code; it decides which Append and getter apply.
  explicit Column(int storage) : storage_(storage) {}
  Column(const Column&) = delete;
  Column& operator=(const Column&) = delete;
  Column(Column&&) = default;
  Column& operator=(Column&&) = default;

  int storage() const { return storage_; }
  std::size_t size() const { return size_; }

  bool IsMissing(std::size_t row) const {
    return !missing_.empty() && ((missing_[row >> 6] >> (row & 63)) & 1) != 0;
  }
  int64_t Integer(std::size_t row) const { return values_.Get(row); }
  double Double(std::size_t row) const {
    if (!decimal_) return doubles_[row];
    return Decode(values_.Get(row));
  }
  const std::string& Text(std::size_t row) const { return *texts_[TextCode(row)]; }
  const std::string& TextOfCode(std::size_t code) const { return *texts_[code]; }
  bool HasMissing() const { return !missing_.empty(); }
  std::size_t TextCode(std::size_t row) const { return static_cast<std::size_t>(values_.Get(row)); }
  std::size_t DistinctTexts() const { return dictionary_.size(); }
  // Rows [first, first + count) at once, which costs less than row by row:
  // whole numbers or text codes, and reals (missing rows hold 0).
  void IntegersAt(std::size_t first, std::size_t count, int64_t* out) const {
    values_.GetRange(first, count, out);
  }
  // The texts of rows [first, first + count), null where a row is missing
  // (its code means nothing), each code looked up as it is unpacked.
  void TextsAt(std::size_t first, std::size_t count, const std::string** out) const {
    const std::string* const* byCode = texts_.data();
    const auto distinct = static_cast<uint64_t>(texts_.size());
    values_.ForRange(first, count, [=](std::size_t i, int64_t code) {
      out[i] = static_cast<uint64_t>(code) < distinct ? byCode[code] : nullptr;
    });
  }
  void DoublesAt(std::size_t first, std::size_t count, int64_t* scratch, double* out) const;
  // The reals of rows [first, first + count): straight from the column when
  // it keeps doubles, else unpacked into `out` as DoublesAt does.
  const double* DoublesSpan(std::size_t first, std::size_t count, int64_t* scratch,
                            double* out) const {
    if (!decimal_) return doubles_.data() + first;
    DoublesAt(first, count, scratch, out);
    return out;
  }
  // 1 for each missing row of [first, first + count), else 0.
  void MissingAt(std::size_t first, std::size_t count, uint8_t* out) const {
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t row = first + i;
      out[i] = static_cast<uint8_t>((missing_[row >> 6] >> (row & 63)) & 1);
    }
  }

  void AppendMissing();
  void AppendInteger(int64_t value) {
    MarkPresent();
    values_.Append(value);
  }
  void AppendDouble(double value);
  // The decimal number mantissa / 10^decimals, as its text was written
  // (|mantissa| below 2^53, at most 22 decimals).
  void AppendDecimal(int64_t mantissa, int decimals) {
    int64_t scaled;
    if (MantissaAtScale(mantissa, decimals, &scaled)) {
      MarkPresent();
      values_.Append(scaled);
    } else {
      AppendOtherDecimal(mantissa, decimals);
    }
  }
  // The mantissa at the column's scale of a decimal with `decimals`
  // places, when it joins as it is or by an exact multiplication that stays
  // below 2^53 (the product the rounded one would give); false when the
  // column must change its scale or leave mantissas.
  bool MantissaAtScale(int64_t mantissa, int decimals, int64_t* scaled) const {
    if (!decimal_ || decimals > scale_) return false;
    const int shift = scale_ - decimals;
    if (shift == 0) {
      *scaled = mantissa;
      return true;
    }
    if (shift > kMaxShift) return false;
    const int64_t magnitude = mantissa < 0 ? -mantissa : mantissa;
    if (magnitude > kShiftLimits[shift]) return false;
    *scaled = mantissa * kIntegerPowers[shift];
    return true;
  }
  void AppendText(std::string_view text) {
    uint32_t code;
    if (!KnownShortText(text, &code)) code = Code(text);
    MarkPresent();
    values_.Append(code);
  }
  // Adds the text to the dictionary only: a streamed column counts its
  // categories without holding a value per row.
  void CountText(std::string_view text) { Code(text); }
  // Lets go of the values, keeping the dictionary.
  void DropValues();

  // Room for `rows` values, from an estimate of the row count.
  void Reserve(std::size_t rows);
  // Gives back what the estimate reserved beyond the values.
  void ShrinkToFit();
  // Once the column is complete: when its decimal mantissas are narrow,
  // the double of each is worked out once, by the same division, and looked
  // up from then on. A column read by several threads must be prepared
  // before they start.
  void PrepareReading();
  // Whole numbers become reals of the same values: a column inferred as
  // whole numbers met its first decimal.
  void IntegersToReals();
  // Bytes held, reserved room included.
  std::size_t MemoryBytes() const;

  // The column's decimal mantissas are exact while they stay below 2^53 and
  // the power of ten is exact as a double.
  static constexpr int kMaxDecimals = 22;
  static constexpr int64_t kMaxMantissa = int64_t{1} << 53;

 private:
  static const double kPowersOfTen[kMaxDecimals + 1];
  // Exact rescaling by whole powers of ten: 10^shift, and the largest
  // magnitude whose product stays below 2^53.
  static constexpr int kMaxShift = 15;
  static const int64_t kIntegerPowers[kMaxShift + 1];
  static const int64_t kShiftLimits[kMaxShift + 1];

  void MarkPresent() {
    if (!missing_.empty() && (size_ & 63) == 0) missing_.push_back(0);
    ++size_;
  }
  // A decimal at another scale than the column's.
  void AppendOtherDecimal(int64_t mantissa, int decimals);
  double Decode(int64_t mantissa) const {
    const auto at = static_cast<uint64_t>(mantissa - decodedFrom_);
    return at < decoded_.size() ? decoded_[at]
                                : static_cast<double>(mantissa) / kPowersOfTen[scale_];
  }
  // From then on every value is a double.
  void LeaveDecimals();
  // The text's dictionary code, added when new.
  uint32_t Code(std::string_view text);
  // A short text is its own key: its bytes, zero-padded, with its length in
  // the last byte, which the padding leaves free.
  static void ShortKey(std::string_view text, uint64_t* low, uint64_t* high) {
    const std::size_t n = text.size();
    *low = Pack(text.data(), n < 8 ? n : 8);
    *high = (n > 8 ? Pack(text.data() + 8, n - 8) : 0) | static_cast<uint64_t>(n) << 56;
  }
  // Up to eight bytes as one number, each byte in its own place: two loads
  // that may overlap, or three single bytes, rather than a copy of variable
  // length, which goes through memory.
  static uint64_t Pack(const char* p, std::size_t n) {
    if (n >= 4) return Load4(p) | static_cast<uint64_t>(Load4(p + n - 4)) << (8 * (n - 4));
    if (n == 0) return 0;
    const auto byte = [p](std::size_t i) {
      return static_cast<uint64_t>(static_cast<unsigned char>(p[i]));
    };
    return byte(0) | byte(n / 2) << (8 * (n / 2)) | byte(n - 1) << (8 * (n - 1));
  }
  static uint32_t Load4(const char* p) {
    uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
  }
  static uint64_t Mix(uint64_t low, uint64_t high) {
    uint64_t h = low ^ (high * 0x9E3779B97F4A7C15ull);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 29);
  }
  // The code of a short text found in the first slot it hashes to, the
  // common case once a column's categories are known; false otherwise, when
  // Code looks further.
  bool KnownShortText(std::string_view text, uint32_t* code) const {
    if (text.size() >= 16 || shortTexts_.empty()) return false;
    uint64_t low;
    uint64_t high;
    ShortKey(text, &low, &high);
    const ShortText& entry = shortTexts_[Mix(low, high) & (shortTexts_.size() - 1)];
    if (entry.codePlusOne == 0 || entry.low != low || entry.high != high) return false;
    *code = entry.codePlusOne - 1;
    return true;
  }
  // A new text at the end of the dictionary; its code.
  uint32_t Add(std::string_view text);
  void GrowShortTexts();

  int storage_;
  std::size_t size_ = 0;
  // One bit per row; empty while nothing is missing.
  std::vector<uint64_t, HugePageAllocator<uint64_t>> missing_;
  // Whole numbers, dictionary codes, or the mantissas of decimal numbers.
  PackedInts values_;
  bool decimal_ = true;  // reals: mantissas in values_ rather than doubles_
  int scale_ = 0;        // reals: the decimals of every mantissa
  std::vector<double, HugePageAllocator<double>> doubles_;
  // The doubles of mantissas decodedFrom_ onwards (PrepareReading).
  std::vector<double> decoded_;
  int64_t decodedFrom_ = 0;
  // A deque keeps its strings in place, so the index may view them.
  std::deque<std::string> dictionary_;
  std::vector<const std::string*> texts_;  // by code: a deque's lookup costs more
  // Texts under 16 bytes, most categories, are found in an open-addressing
  // table keyed by their bytes, without hashing or comparing strings;
  // longer ones in the index.
  struct ShortText {
    uint64_t low;
    uint64_t high;
    uint32_t codePlusOne;  // 0: a free slot
  };
  std::vector<ShortText> shortTexts_;
  static constexpr std::size_t kSparseSlots = 4096;
  std::size_t shortCount_ = 0;
  std::unordered_map<std::string_view, uint32_t> index_;
  std::size_t dictionaryBytes_ = 0;
};

struct ColumnStore {
  std::vector<std::string> names;
  std::vector<Column> columns;

  std::size_t rows() const { return columns.empty() ? 0 : columns.front().size(); }
  std::size_t MemoryBytes() const;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_COLUMNSTORE_H_
