// ByteRange: the rows of a CSV file that start in a range of its bytes,
// read as a text of their own behind the file's header, so that a worker
// reads its share of a file with the loader and nothing else.
//
// A row belongs to the range it starts in. A range that does not start
// where the rows do (right after the header) skips the partial row it
// starts in: its rows begin after the first line feed at or after the byte
// before it. It reads past its end to finish its last row: up to and with
// the first line feed at or after its last byte, or to the end of the file.
// Ranges cut this way at the same bytes meet exactly, so each row is read
// once. The cut is blind to quotes: a line feed inside a quoted cell taken
// for the end of a row leaves the range before it ending inside that cell,
// which its read then refuses ("unterminated quoted cell"); the caller
// reads such a file whole (see python/zelcraft/_ranges.py).
//
// The file must still have the size and modification time it had when it
// was cut, or the read fails naming it.
#ifndef ZELCRAFT_IO_BYTERANGE_H_
#define ZELCRAFT_IO_BYTERANGE_H_

#include <cstdint>
#include <string>

#include "status/Status.h"

namespace zelio {

struct ByteRange {
  std::string path;
  int64_t headerEnd = 0;  // the header row is bytes [0, headerEnd)
  int64_t begin = 0;      // the range's rows start in [begin, end)
  int64_t end = 0;
  int64_t size = 0;        // the file's when it was cut
  int64_t modifiedNs = 0;
};

struct RangeText {
  std::string text;   // the header, then the rows
  int64_t first = 0;  // the last range's rows are bytes [first, last) of its file
  int64_t last = 0;

  bool empty() const { return first == last; }
};

// Reads the range: `out` takes its bytes, behind the header row when
// `header`, appended to what it holds (a text of the rows of several
// ranges, of one file or of several with the same header, in order; a
// line feed is put between two when the first does not end a line).
zelstatus::Status ReadByteRange(const ByteRange& range, bool header, RangeText* out);

// The end of the header row of a file (a row of the CSV rules, which may
// hold quoted line breaks); the file's size when it has no complete row or
// a malformed one, which the loader then reports.
zelstatus::Status FindHeaderEnd(const std::string& path, char delimiter, int64_t* end);

}  // namespace zelio

#endif  // ZELCRAFT_IO_BYTERANGE_H_
