// CsvRowParser: the cell splitting shared by the CSV readers. It parses one
// row (RFC 4180: quoted cells may hold delimiters, doubled quotes and line
// breaks; lines end with LF, CRLF or CR) from a window of the input and
// checks that every cell is text an XML document can carry: valid UTF-8
// without NUL or other control characters except tab and line breaks, and
// without U+FFFE or U+FFFF, since every name and category may end up in a
// document. A window that ends inside a row is
// reported as incomplete, so a streaming reader can fetch more and retry;
// a window marked final holds the rest of the input. The scans for cell ends
// and quotes classify many bytes at a time (CsvScan).
#ifndef ZELCRAFT_IO_CSVROWPARSER_H_
#define ZELCRAFT_IO_CSVROWPARSER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/CsvScan.h"

namespace zelio {

struct CsvCell {
  std::string_view text;  // without the quotes, doubled quotes made single
  bool quoted = false;
};

class CsvRowParser {
 public:
  enum class Result { kRow, kEnd, kError, kIncomplete };

  // Where a cell's text is: `size` bytes at `offset` of the window, or of
  // scratch() when its doubled quotes were made single.
  struct Span {
    std::size_t offset;
    std::size_t size;
    bool inScratch;
    bool quoted;
  };

  explicit CsvRowParser(char delimiter);

  // Parses the row at `*pos` of `window` into spans() (valid until the next
  // call) and advances `*pos` past it. kIncomplete consumes nothing; after
  // kError, error() tells the line and column and every later call fails.
  Result NextSpans(std::string_view window, std::size_t* pos, bool final);
  const std::vector<Span>& spans() const { return spans_; }
  const std::string& scratch() const { return scratch_; }

  const std::string& error() const { return error_; }
  // The line on which the row last read started (1-based).
  int64_t rowLine() const { return rowLine_; }
  // The line the next row starts on, and the same after a reader split rows
  // of its own: those rows end on line `line` - 1.
  int64_t line() const { return line_; }
  void ContinueAt(int64_t line) {
    line_ = line;
    rowLine_ = line - 1;
  }
  // For a reader about to grow its window for the unfinished row `rest`
  // (which starts where the last call left off): false, with error() set at
  // its line and column, when the row has reached a mebibyte and already
  // holds a byte no row may hold (NUL or another control character), so that
  // input such as a device of zero bytes ends at its first byte instead of
  // filling memory. Shorter rows wait for their end, so that a row of both a
  // control character and a later fault in the same cell is reported as the
  // whole text would report it, however the input is cut.
  bool CheckUnfinishedRow(std::string_view rest);
  // The bytes of a window are taken as unchanged while its address and size
  // stay the same: a reader that rewrites its buffer in place says so here.
  void WindowChanged() { scanner_.Forget(); }

 private:
  enum class Step { kDone, kError, kIncomplete };

  // Sets `*check` when the cell holds a byte to check.
  Step ReadQuoted(std::string_view window, std::size_t* pos, bool final, std::size_t column,
                  Span* span, bool* check);
  Step Fail(int64_t line, std::size_t column, const std::string& what);

  char delimiter_;
  // The byte classes, at the level in use when the parser was made.
  CsvBlockScanner scanner_;
  int64_t line_ = 1;
  int64_t rowLine_ = 0;
  std::string error_;
  std::vector<Span> spans_;
  std::string scratch_;
};

// The offset of the first byte of `text` that a document cannot carry, with
// `what` saying why, or npos: text must be well-formed UTF-8 (no overlong
// forms, surrogates or code points above U+10FFFF) without control
// characters other than tab, LF and CR, and without U+FFFE and U+FFFF.
std::size_t FindUnwritable(std::string_view text, std::string* what);

}  // namespace zelio

#endif  // ZELCRAFT_IO_CSVROWPARSER_H_
