#include "io/CsvRowParser.h"

#include <algorithm>
#include <cstdio>

namespace zelio {

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

CsvRowParser::CsvRowParser(char delimiter) : delimiter_(delimiter), scanner_(delimiter) {}

CsvRowParser::Step CsvRowParser::Fail(int64_t line, std::size_t column, const std::string& what) {
  error_ = "line " + std::to_string(line);
  if (column > 0) error_ += ", column " + std::to_string(column);
  error_ += ": " + what;
  return Step::kError;
}

CsvRowParser::Step CsvRowParser::ReadQuoted(std::string_view window, std::size_t* pos, bool final,
                                            std::size_t column, Span* span,
                                            bool* check) {
  const int64_t openLine = line_;
  std::size_t p = *pos + 1;
  const std::size_t begin = p;
  bool doubled = false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(window.data());
  for (;;) {
    p = scanner_.Quote(bytes, p, window.size(), &line_, check);
    if (p >= window.size()) {
      if (!final) return Step::kIncomplete;
      return Fail(openLine, column, "unterminated quoted cell");
    }
    if (p + 1 < window.size() && window[p + 1] == '"') {
      doubled = true;
      p += 2;
      continue;
    }
    // A quote at the end of the window may be the first of a pair.
    if (p + 1 >= window.size() && !final) return Step::kIncomplete;
    break;
  }
  const std::size_t end = p++;
  span->offset = begin;
  span->size = end - begin;
  span->inScratch = false;
  span->quoted = true;
  if (doubled) {
    span->offset = scratch_.size();
    span->inScratch = true;
    for (std::size_t i = begin; i < end; ++i) {
      scratch_.push_back(window[i]);
      if (window[i] == '"') ++i;
    }
    span->size = scratch_.size() - span->offset;
  }
  *pos = p;
  if (p < window.size() && window[p] != delimiter_ && window[p] != '\r' && window[p] != '\n') {
    return Fail(line_, column, "unexpected text after a closing quote");
  }
  return Step::kDone;
}

CsvRowParser::Result CsvRowParser::NextSpans(std::string_view window, std::size_t* pos,
                                             bool final) {
  spans_.clear();
  scratch_.clear();
  if (!error_.empty()) return Result::kError;
  std::size_t p = *pos;
  // Line breaks that end the input are not a row.
  std::size_t rest = p;
  while (rest < window.size() && (window[rest] == '\r' || window[rest] == '\n')) ++rest;
  if (rest == window.size()) return final ? Result::kEnd : Result::kIncomplete;

  const int64_t startLine = line_;
  auto incomplete = [this, startLine] {
    line_ = startLine;
    return Result::kIncomplete;
  };
  rowLine_ = line_;
  for (;;) {
    const std::size_t column = spans_.size() + 1;
    // Filled in place, field by field: a span built aside and copied whole
    // stalls on reading back what was just written in parts.
    Span& span = spans_.emplace_back();
    bool check = false;
    if (p < window.size() && window[p] == '"') {
      // Its own flag: one whose address a call takes would live in memory.
      bool quotedCheck = false;
      const Step step = ReadQuoted(window, &p, final, column, &span, &quotedCheck);
      check = quotedCheck;
      if (step == Step::kIncomplete) return incomplete();
      if (step == Step::kError) return Result::kError;
    } else {
      const std::size_t begin = p;
      const auto* bytes = reinterpret_cast<const unsigned char*>(window.data());
      p = scanner_.CellEnd(bytes, p, window.size(), &check);
      if (p >= window.size() && !final) return incomplete();
      span.offset = begin;
      span.size = p - begin;
      span.inScratch = false;
      span.quoted = false;
    }
    if (check) {
      const std::string_view text = span.inScratch
                                        ? std::string_view(scratch_).substr(span.offset, span.size)
                                        : window.substr(span.offset, span.size);
      std::string what;
      const std::size_t bad = FindUnwritable(text, &what);
      if (bad != std::string_view::npos) {
        // The line of the character itself: a quoted cell may span lines.
        const auto breaks = std::count(text.begin(), text.begin() + bad, '\n');
        Fail(rowLine_ + breaks, column, what);
        return Result::kError;
      }
    }
    if (p >= window.size()) break;  // only in a final window: the input ends the row
    const char c = window[p++];
    if (c == delimiter_) continue;
    if (c == '\r') {
      if (p >= window.size() && !final) return incomplete();
      if (p < window.size() && window[p] == '\n') ++p;
    }
    ++line_;
    break;
  }
  *pos = p;
  return Result::kRow;
}

bool CsvRowParser::CheckUnfinishedRow(std::string_view rest) {
  constexpr std::size_t kLongRow = std::size_t{1} << 20;
  if (rest.size() < kLongRow) return true;
  std::size_t bad = 0;
  while (bad < rest.size()) {
    const auto c = static_cast<unsigned char>(rest[bad]);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
    ++bad;
  }
  if (bad == rest.size()) return true;
  // The row up to and with that byte, parsed as if the input ended there,
  // fails at it with its line and column; a closing quote after it ends a
  // quoted cell it may be in, so that the cell is checked.
  std::string probe(rest.substr(0, bad + 1));
  probe += '"';
  std::size_t pos = 0;
  const int64_t line = line_;
  scanner_.Forget();
  if (NextSpans(probe, &pos, true) == Result::kError) return false;
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned char>(rest[bad]));
  Fail(line + std::count(rest.begin(), rest.begin() + bad, '\n'), 0,
       std::string("control character ") + code + ", which XML cannot carry");
  return false;
}

}  // namespace zelio
