// CsvReader: splits CSV text held in memory into rows of cells, with the
// rules of CsvRowParser; a leading UTF-8 byte-order mark is skipped. Rows are
// read into caller-owned storage that is reused, so reading allocates
// nothing once the buffers have grown to the widest row.
#ifndef ZELCRAFT_IO_CSVREADER_H_
#define ZELCRAFT_IO_CSVREADER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/CsvRowParser.h"

namespace zelio {

class CsvReader {
 public:
  // `data` must outlive the reader.
  CsvReader(std::string_view data, char delimiter);

  // Reads the next row into `cells`; the texts stay valid until the next
  // call. False at the end of the data or when the row is malformed, which
  // error() then describes with its line and column.
  bool NextRow(std::vector<CsvCell>* cells);
  const std::string& error() const { return parser_.error(); }
  // The line on which the row last read started (1-based).
  int64_t rowLine() const { return parser_.rowLine(); }
  // Back to the first row.
  void Rewind();

 private:
  std::string_view data_;
  std::size_t start_;  // after the byte-order mark
  std::size_t pos_;
  CsvRowParser parser_;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVREADER_H_
