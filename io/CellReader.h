// CellReader: reads the cells of one CSV column as one storage, the single
// place that turns cell text into values, so the columns in memory and the
// records of a streamed file get exactly the same values. An empty cell is
// missing, except that a quoted empty cell is the empty text in a text
// column; ordinal text is read as the codes 1..k of its categories, its
// missing strings as missing. A column declared as whole numbers also reads
// a whole number written as a decimal (181.0, 1.81e2), as pandas writes a
// whole-number column with a missing value; one declared as dates or times
// also reads timestamps as their day or time of day. While a storage is
// only inferred, cells must have its exact form. A field that is one part of
// a timestamp column handed over as two (Part) reads each timestamp's part
// by SplitTimestamp, and a plain date or time of day as itself.
#ifndef ZELCRAFT_IO_CELLREADER_H_
#define ZELCRAFT_IO_CELLREADER_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "io/CsvRowParser.h"
#include "io/Schema.h"

namespace zelio {

struct CellValue {
  enum Kind { kMissing, kInteger, kDecimal, kReal, kText, kBad };
  Kind kind = kMissing;
  int64_t integer = 0;  // kInteger, or the mantissa of kDecimal
  int decimals = 0;     // kDecimal: the value is integer / 10^decimals
  double real = 0.0;    // kReal
  std::string_view text;  // kText

  // A kDecimal or kReal value as its double. Both operands of the division
  // are exact, so its one rounding gives the double nearest to the decimal,
  // as parsing its text does. Inline, as every decimal cell comes here.
  double Real() const {
    return kind == kDecimal ? static_cast<double>(integer) / kPowersOfTen[decimals] : real;
  }

  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
};

using CategoryCodes = std::map<std::string, int64_t, std::less<>>;

class CellReader {
 public:
  // Which part of a timestamp a date or time field takes, when its column
  // holds timestamps handed over as two fields.
  enum class Part { kWhole, kDate, kTime };

  // `codes` (ordinal text) and `spec` may be null; both must outlive the reader.
  CellReader(int storage, const CategoryCodes* codes, const FieldSpec* spec, bool exact = false,
             Part part = Part::kWhole)
      : storage_(storage), codes_(codes != nullptr && !codes->empty() ? codes : nullptr),
        spec_(spec != nullptr && !spec->missingStrings.empty() ? spec : nullptr),
        exact_(exact), part_(part) {}

  int storage() const { return storage_; }
  // kBad when the text is not a value of the storage (or not a category).
  CellValue::Kind Read(const CsvCell& cell, CellValue* value) const;

 private:
  int storage_;
  const CategoryCodes* codes_;
  const FieldSpec* spec_;  // null unless it names missing strings
  bool exact_;             // whole numbers, dates and times only in their own form
  Part part_;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CELLREADER_H_
