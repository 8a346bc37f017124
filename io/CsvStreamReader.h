// CsvStreamReader: reads the rows of a CSV stream through a fixed-size
// buffer, so memory does not grow with the size of the input. A row that
// crosses the end of the buffered chunk is carried over to the front of the
// buffer and completed from the next chunk; the buffer grows only for a row
// longer than itself, and only while that row holds no byte the row rules
// refuse (a NUL or other control character), so an input such as a device
// of zero bytes ends in an error at its first byte rather than filling
// memory. Rows follow the rules of CsvRowParser, and a leading
// UTF-8 byte-order mark is skipped, exactly as CsvReader does.
#ifndef ZELCRAFT_IO_CSVSTREAMREADER_H_
#define ZELCRAFT_IO_CSVSTREAMREADER_H_

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "io/CsvRowParser.h"

namespace zelio {

class CsvStreamReader {
 public:
  static constexpr std::size_t kDefaultChunk = 1 << 20;

  // `in` (opened in binary mode) must outlive the reader.
  CsvStreamReader(std::istream& in, char delimiter, std::size_t chunk = kDefaultChunk);

  // Reads the next row into `cells`; the texts stay valid until the next
  // call. False at the end of the input, when the row is malformed or when
  // reading fails; error() is empty only in the first case.
  bool NextRow(std::vector<CsvCell>* cells);
  const std::string& error() const { return error_.empty() ? parser_.error() : error_; }
  // The line on which the row last read started (1-based).
  int64_t rowLine() const { return parser_.rowLine(); }

 private:
  // Moves the unread bytes to the front and appends the next chunk.
  bool Refill();

  std::istream& in_;
  std::size_t chunk_;
  std::string buffer_;  // its size is the number of valid bytes
  std::size_t pos_ = 0;
  bool final_ = false;  // the buffer holds the rest of the input
  bool started_ = false;
  std::string error_;
  CsvRowParser parser_;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVSTREAMREADER_H_
