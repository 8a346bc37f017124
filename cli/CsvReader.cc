#include "CsvReader.h"

#include <algorithm>
#include <cstdio>

namespace zelcli {

std::size_t FindUnwritable(std::string_view text, std::string* what) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  char code[16];
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
        std::snprintf(code, sizeof code, "U+%04X", c);
        *what = std::string("control character ") + code + ", which XML cannot carry";
        return i;
      }
      ++i;
      continue;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;   // overlong
      if (c == 0xED) high = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;   // overlong
      if (c == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
      *what = "invalid UTF-8";
      return i;
    }
    bool valid = i + length <= n && s[i + 1] >= low && s[i + 1] <= high;
    for (std::size_t k = 2; valid && k < length; ++k) valid = s[i + k] >= 0x80 && s[i + k] <= 0xBF;
    if (!valid) {
      *what = "invalid UTF-8";
      return i;
    }
    // EF BF BE and EF BF BF are U+FFFE and U+FFFF.
    if (c == 0xEF && s[i + 1] == 0xBF && s[i + 2] >= 0xBE) {
      *what = std::string("noncharacter ") + (s[i + 2] == 0xBE ? "U+FFFE" : "U+FFFF") +
              ", which XML cannot carry";
      return i;
    }
    i += length;
  }
  return std::string_view::npos;
}

CsvReader::CsvReader(std::string_view data, char delimiter)
    : data_(data), delimiter_(delimiter), start_(0) {
  if (data_.substr(0, 3) == "\xEF\xBB\xBF") start_ = 3;
  pos_ = start_;
}

void CsvReader::Rewind() {
  pos_ = start_;
  line_ = 1;
  rowLine_ = 0;
  error_.clear();
}

bool CsvReader::Fail(int64_t line, std::size_t column, const std::string& what) {
  error_ = "line " + std::to_string(line);
  if (column > 0) error_ += ", column " + std::to_string(column);
  error_ += ": " + what;
  pos_ = data_.size();
  return false;
}

bool CsvReader::OnlyLineBreaksLeft() const {
  for (std::size_t i = pos_; i < data_.size(); ++i) {
    if (data_[i] != '\r' && data_[i] != '\n') return false;
  }
  return true;
}

bool CsvReader::ReadQuoted(std::size_t column, Span* span) {
  const int64_t openLine = line_;
  const std::size_t begin = ++pos_;
  bool doubled = false;
  for (;;) {
    if (pos_ >= data_.size()) return Fail(openLine, column, "unterminated quoted cell");
    const char c = data_[pos_];
    if (c == '"') {
      if (pos_ + 1 < data_.size() && data_[pos_ + 1] == '"') {
        doubled = true;
        pos_ += 2;
        continue;
      }
      break;
    }
    if (c == '\n') ++line_;
    ++pos_;
  }
  const std::size_t end = pos_++;
  *span = {begin, end - begin, false, true};
  if (doubled) {
    span->offset = scratch_.size();
    span->inScratch = true;
    for (std::size_t i = begin; i < end; ++i) {
      scratch_.push_back(data_[i]);
      if (data_[i] == '"') ++i;
    }
    span->size = scratch_.size() - span->offset;
  }
  if (pos_ < data_.size() && data_[pos_] != delimiter_ && data_[pos_] != '\r' &&
      data_[pos_] != '\n') {
    return Fail(line_, column, "unexpected text after a closing quote");
  }
  return true;
}

bool CsvReader::NextRow(std::vector<CsvCell>* cells) {
  cells->clear();
  spans_.clear();
  scratch_.clear();
  if (!error_.empty() || pos_ >= data_.size() || OnlyLineBreaksLeft()) return false;
  rowLine_ = line_;
  for (;;) {
    const std::size_t column = spans_.size() + 1;
    Span span;
    if (pos_ < data_.size() && data_[pos_] == '"') {
      if (!ReadQuoted(column, &span)) return false;
    } else {
      const std::size_t begin = pos_;
      while (pos_ < data_.size() && data_[pos_] != delimiter_ && data_[pos_] != '\r' &&
             data_[pos_] != '\n') {
        ++pos_;
      }
      span = {begin, pos_ - begin, false, false};
    }
    const std::string_view text = span.inScratch
                                      ? std::string_view(scratch_).substr(span.offset, span.size)
                                      : data_.substr(span.offset, span.size);
    std::string what;
    const std::size_t bad = FindUnwritable(text, &what);
    if (bad != std::string_view::npos) {
      // The line of the character itself: a quoted cell may span lines.
      const auto breaks = std::count(text.begin(), text.begin() + bad, '\n');
      return Fail(rowLine_ + breaks, column, what);
    }
    spans_.push_back(span);
    if (pos_ >= data_.size()) break;
    const char c = data_[pos_++];
    if (c == delimiter_) continue;
    if (c == '\r' && pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
    ++line_;
    break;
  }
  // Views are made only now: the scratch buffer may have moved while growing.
  for (const Span& span : spans_) {
    const std::string_view text = span.inScratch
                                      ? std::string_view(scratch_).substr(span.offset, span.size)
                                      : data_.substr(span.offset, span.size);
    cells->push_back({text, span.quoted});
  }
  return true;
}

}  // namespace zelcli
