// CsvWriter: writes rows of CSV cells to a byte sink through a buffer.
// Texts are quoted when they hold the delimiter, a quote or a line break,
// and an empty text is written as "" so that it reads back as the empty
// text while an empty cell reads back as missing. Numbers are written in
// the shortest form that reads back to the same double; dates and times in
// the forms the readers accept.
#ifndef ZELCRAFT_IO_CSVWRITER_H_
#define ZELCRAFT_IO_CSVWRITER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "io/ByteSink.h"
#include "apply/Value.h"

namespace zelio {

class CsvWriter {
 public:
  CsvWriter(ByteSink& sink, char delimiter);

  void Text(std::string_view text);
  void Missing();
  void Value(const zelapply::Value& value);
  void EndRow();
  // Hands the buffered rows to the sink; false once any write failed.
  bool Flush();

 private:
  void Separate();
  void Number(double value);
  void Integer(int64_t value);
  void Date(double days);
  void TimeOfDay(double seconds);

  ByteSink& sink_;
  char delimiter_;
  std::string buffer_;
  bool rowStarted_ = false;
  bool failed_ = false;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVWRITER_H_
