// CsvReader: CSV text held whole in memory split into rows of cells by the
// row parser alone, with a leading byte-order mark skipped: the reference
// that the chunked readers, which cut the text into windows and split most
// rows themselves, must agree with; and a quick way for tests to read what
// a command wrote.
#ifndef ZELCRAFT_TESTS_SUPPORT_CSVREADER_H_
#define ZELCRAFT_TESTS_SUPPORT_CSVREADER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/CsvRowParser.h"

namespace testhost {

class CsvReader {
 public:
  // `data` must outlive the reader.
  CsvReader(std::string_view data, char delimiter) : data_(data), parser_(delimiter) {
    if (data_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
  }

  // Reads the next row into `cells`; the texts stay valid until the next
  // call. False at the end of the data or when the row is malformed, which
  // error() then describes with its line and column.
  bool NextRow(std::vector<zelio::CsvCell>* cells) {
    cells->clear();
    if (parser_.NextSpans(data_, &pos_, true) != zelio::CsvRowParser::Result::kRow) return false;
    for (const zelio::CsvRowParser::Span& span : parser_.spans()) {
      const std::string_view base = span.inScratch ? std::string_view(parser_.scratch()) : data_;
      cells->push_back({base.substr(span.offset, span.size), span.quoted});
    }
    return true;
  }
  const std::string& error() const { return parser_.error(); }
  // The line on which the row last read started (1-based).
  int64_t rowLine() const { return parser_.rowLine(); }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
  zelio::CsvRowParser parser_;
};

}  // namespace testhost

#endif  // ZELCRAFT_TESTS_SUPPORT_CSVREADER_H_
