// ColumnData: one column of a host's frame (a pandas or an R data frame) as
// the bindings hand it over, with pointers into the host's own arrays (which
// must outlive every use) and the distinct texts of a text column copied out
// beforehand, so that filling a column store or replaying a document touches
// no interpreter object and runs without an interpreter's lock.
#ifndef ZELCRAFT_HOST_COLUMNDATA_H_
#define ZELCRAFT_HOST_COLUMNDATA_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/ColumnStore.h"

namespace zelhost {

struct ColumnData {
  // kInteger: `integers`, with `missing` (1 = missing) when not null.
  // kReal, kDate (days since 1970-01-01), kTime (seconds since midnight),
  // kTimestamp (seconds since 1970-01-01): `reals`, NaN is missing.
  // kText: `codes` into `texts`, a negative code is missing.
  enum class Kind { kInteger, kReal, kText, kDate, kTime, kTimestamp };
  Kind kind = Kind::kReal;
  std::size_t rows = 0;
  const int64_t* integers = nullptr;
  const uint8_t* missing = nullptr;
  const double* reals = nullptr;
  const int64_t* codes = nullptr;
  std::vector<std::string> texts;

  // The TorStorage code a column of this kind holds.
  int Storage() const;
};

// Appends every value of `data` to `column`, whose storage is data.Storage().
void FillColumn(const ColumnData& data, zelio::Column* column);

// The texts of a column the schema declares as dates, times or timestamps
// (`kind`), read as the loader reads the cells of such a column (a timestamp
// is its day in a date column, its time of day in a time column): each
// text's days or seconds in `values`, NaN for an empty text. False at the
// first text that does not read, with its index in `unreadable` and what it
// is not in `error` ("'12:00:60' is not a time (HH:MM:SS) or a timestamp").
bool ReadDeclaredTexts(const std::vector<std::string>& texts, ColumnData::Kind kind,
                       std::vector<double>* values, std::size_t* unreadable, std::string* error);

}  // namespace zelhost

#endif  // ZELCRAFT_HOST_COLUMNDATA_H_
