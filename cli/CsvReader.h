// CsvReader: splits CSV text (RFC 4180) into rows of cells. Quoted cells may
// hold delimiters, doubled quotes and line breaks; lines end with LF or CRLF;
// a leading UTF-8 byte-order mark is skipped, and every cell must be UTF-8
// that an XML document can carry (no NUL or other control characters
// except tab and line breaks, no U+FFFE or U+FFFF). Rows are read into
// caller-owned storage that is reused, so reading allocates nothing once the
// buffers have grown to the widest row.
#ifndef ZELCRAFT_CLI_CSVREADER_H_
#define ZELCRAFT_CLI_CSVREADER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelcli {

struct CsvCell {
  std::string_view text;  // without the quotes, doubled quotes made single
  bool quoted = false;
};

class CsvReader {
 public:
  // `data` must outlive the reader.
  CsvReader(std::string_view data, char delimiter);

  // Reads the next row into `cells`; the texts stay valid until the next
  // call. False at the end of the data or when the row is malformed, which
  // error() then describes with its line and column.
  bool NextRow(std::vector<CsvCell>* cells);
  const std::string& error() const { return error_; }
  // The line on which the row last read started (1-based).
  int64_t rowLine() const { return rowLine_; }
  // Back to the first row.
  void Rewind();

 private:
  struct Span {
    std::size_t offset;
    std::size_t size;
    bool inScratch;  // unescaped copy in scratch_ rather than a view of data_
    bool quoted;
  };

  bool ReadQuoted(std::size_t column, Span* span);
  bool Fail(int64_t line, std::size_t column, const std::string& what);
  bool OnlyLineBreaksLeft() const;

  std::string_view data_;
  char delimiter_;
  std::size_t start_;  // after the byte-order mark
  std::size_t pos_;
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

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_CSVREADER_H_
