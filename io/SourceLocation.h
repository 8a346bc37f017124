// SourceLocation: where in the data a message points, as a value its host
// words: a file has lines (the header is line 1, and a quoted cell may span
// several), a host's frame has rows (its first record is row 1). The
// column, when the message names one, counts from 1.
#ifndef ZELCRAFT_IO_SOURCELOCATION_H_
#define ZELCRAFT_IO_SOURCELOCATION_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelio {

struct SourceLocation {
  enum class Unit { kLine, kRow };
  Unit unit = Unit::kLine;
  int64_t number = 0;
  std::size_t column = 0;  // 0: no column

  static SourceLocation Line(int64_t line) { return {Unit::kLine, line, 0}; }
  static SourceLocation Row(int64_t row) { return {Unit::kRow, row, 0}; }
  SourceLocation WithColumn(std::size_t c) const { return {unit, number, c}; }

  // "line 12", "row 12, column 3".
  std::string Words() const {
    std::string words = (unit == Unit::kLine ? "line " : "row ") + std::to_string(number);
    if (column > 0) words += ", column " + std::to_string(column);
    return words;
  }
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_SOURCELOCATION_H_
