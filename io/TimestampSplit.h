// TimestampSplit: every timestamp input of the data handed to the component
// as two fields in its place, its date and its time of day (named COLUMN_date
// and COLUMN_time, with a number added when a column has the name already).
// The component derives calendar parts and durations from dates and times
// but sets timestamps aside, which would drop what a timestamp says. Both
// parts come from the timestamp's seconds by SplitTimestamp, whether the
// values are held (split here) or streamed (each part's plan reads the
// file's column as that part). A timestamp target, a timestamp column the
// schema gives a level other than continuous or user-missing values, and one
// with role none stay as they are.
#ifndef ZELCRAFT_IO_TIMESTAMPSPLIT_H_
#define ZELCRAFT_IO_TIMESTAMPSPLIT_H_

#include <deque>
#include <string>
#include <vector>

#include "io/DataLoader.h"
#include "io/Schema.h"

namespace zelio {

struct SplitColumn {
  std::string column;
  std::string dateField;
  std::string timeField;
};

// Splits the timestamp columns of `data` (store and plans alike). The new
// plans' schema entries (the column's label only) are added to `specs`,
// which must outlive the plans; `splits` lists what was split, in order.
void SplitTimestamps(LoadedData* data, std::deque<FieldSpec>* specs,
                     std::vector<SplitColumn>* splits);

}  // namespace zelio

#endif  // ZELCRAFT_IO_TIMESTAMPSPLIT_H_
