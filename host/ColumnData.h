// ColumnData: one column of a host's frame (a pandas or an R data frame) as
// the bindings hand it over, with pointers into the host's own arrays (which
// must outlive every use) and the distinct texts of a text column copied out
// beforehand, so that filling a column store or replaying a document touches
// no interpreter object and runs without an interpreter's lock.
#ifndef ZELCRAFT_HOST_COLUMNDATA_H_
#define ZELCRAFT_HOST_COLUMNDATA_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "io/ColumnStore.h"

namespace zelhost {

struct ColumnData {
  // kInteger: `integers`, with `missing` (1 = missing) when not null.
  // kReal, kDate (days since 1970-01-01), kTime (seconds since midnight),
  // kTimestamp (seconds since 1970-01-01): `reals`, NaN is missing.
  // kText: `codes` into `texts`, a negative code is missing.
  // kObjects: a column of texts as one view per row into the host's own
  // text objects (null where missing), or into `owned` for the few texts
  // UTF-8 cannot view in place.
  enum class Kind { kInteger, kReal, kText, kDate, kTime, kTimestamp, kObjects };
  Kind kind = Kind::kReal;
  std::size_t rows = 0;
  const int64_t* integers = nullptr;
  const uint8_t* missing = nullptr;
  const double* reals = nullptr;
  const int64_t* codes = nullptr;
  std::vector<std::string> texts;
  std::vector<std::string_view> views;
  std::deque<std::string> owned;

  // The TorStorage code a column of this kind holds.
  int Storage() const;
};

// Appends every value of `data` to `column`, whose storage is data.Storage().
void FillColumn(const ColumnData& data, zelio::Column* column);

}  // namespace zelhost

#endif  // ZELCRAFT_HOST_COLUMNDATA_H_
