// OwnedColumn: a column a binding computed from its frame's values rather
// than pointing into them, holding the numbers its ColumnData points to: a
// host's date-times read as days, times of day or timestamps, and a text
// column read as the storage a schema declares for it, each text parsed as
// the cell of a file would be, or an ordinal text column as its codes.
// Moving one keeps its pointers valid.
#ifndef ZELCRAFT_HOST_OWNEDCOLUMN_H_
#define ZELCRAFT_HOST_OWNEDCOLUMN_H_

#include <cstdint>
#include <string>
#include <vector>

#include "host/ColumnData.h"
#include "status/Status.h"

namespace zelhost {

struct OwnedColumn {
  ColumnData data;
  std::vector<double> reals;
  std::vector<int64_t> integers;
  std::vector<uint8_t> missing;
};

// Wall-clock seconds since 1970-01-01 (NaN missing) as `storage`: "date"
// takes each value's day, "time" its time of day, "timestamp" the value;
// an empty storage reads dates when every value is a midnight and
// timestamps otherwise. False for any other storage.
bool DateTimeColumn(const double* seconds, std::size_t rows, const std::string& storage,
                    OwnedColumn* out);

// Whether texts are read as `storage`: "integer", "real", "date", "time" or
// "timestamp" ("string", an empty or an unknown storage leave them texts).
bool ReadsTextAs(const std::string& storage);

// A text column read as `storage` (one ReadsTextAs takes), each distinct
// text read by the loader's CellReader (a whole-number column also reads
// 181.0, a date or time column timestamps as their day or time of day). A
// text that does not read is invalid input naming its row (from 1).
zelstatus::Status TextColumnAs(const ColumnData& texts, const std::string& storage,
                               OwnedColumn* out);

// A text column of an ordinal field as its codes 1..k, in the order of
// `categories`; a text among `missingStrings` is missing. A text that is
// neither is invalid input naming its row (from 1).
zelstatus::Status OrdinalColumn(const ColumnData& texts, const std::vector<std::string>& categories,
                                const std::vector<std::string>& missingStrings, OwnedColumn* out);

}  // namespace zelhost

#endif  // ZELCRAFT_HOST_OWNEDCOLUMN_H_
