// TextDates: a host's columns of texts read as the command line reads a
// file's cells: a column the schema declares dates, times of day or
// timestamps holds them, and one it says nothing of holds them when every
// text is one (an ISO date "YYYY-MM-DD", a time "HH:MM:SS", a timestamp),
// as a frame read from a CSV file without parsing its dates has them. An
// empty text is missing there; a declared column's text that does not read
// is an error naming its first row, counted from 1, and the field.
#ifndef ZELCRAFT_IO_TEXTDATES_H_
#define ZELCRAFT_IO_TEXTDATES_H_

#include <string>

#include "io/ColumnStore.h"
#include "io/Schema.h"
#include "status/Status.h"

namespace zelio {

zelstatus::Status ReadTextDates(const Schema& schema, ColumnStore* store);

}  // namespace zelio

#endif  // ZELCRAFT_IO_TEXTDATES_H_
