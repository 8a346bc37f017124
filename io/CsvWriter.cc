#include "io/CsvWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "apply/Calendar.h"

namespace zelio {

namespace {

constexpr std::size_t kFlushAt = 1 << 16;

}  // namespace

CsvWriter::CsvWriter(ByteSink& sink, char delimiter) : sink_(sink), delimiter_(delimiter) {
  buffer_.reserve(2 * kFlushAt);
}

void CsvWriter::Separate() {
  if (rowStarted_) buffer_.push_back(delimiter_);
  rowStarted_ = true;
}

void CsvWriter::Text(std::string_view text) {
  Separate();
  const bool quote = text.empty() || text.find(delimiter_) != std::string_view::npos ||
                     text.find_first_of("\"\r\n") != std::string_view::npos;
  if (!quote) {
    buffer_.append(text);
    return;
  }
  buffer_.push_back('"');
  for (char c : text) {
    if (c == '"') buffer_.push_back('"');
    buffer_.push_back(c);
  }
  buffer_.push_back('"');
}

void CsvWriter::Missing() { Separate(); }

void CsvWriter::Number(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  buffer_.append(text, result.ptr);
}

void CsvWriter::Integer(int64_t value) {
  char text[24];
  const auto result = std::to_chars(text, text + sizeof text, value);
  buffer_.append(text, result.ptr);
}

void CsvWriter::Date(double days) {
  zelapply::CivilDate date;
  if (days != std::trunc(days) || !zelapply::CivilFromDayNumber(days, &date) || date.year < 0 ||
      date.year > 9999) {
    Number(days);
    return;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(date.year), date.month,
                date.day);
  buffer_.append(text);
}

void CsvWriter::TimeOfDay(double seconds) {
  const double whole = std::floor(seconds);
  const auto s = static_cast<int64_t>(whole);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(s / 3600),
                static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
  buffer_.append(text);
  if (seconds > whole) {
    // The fraction's digits after "0".
    char fraction[32];
    const auto result = std::to_chars(fraction, fraction + sizeof fraction, seconds - whole);
    buffer_.append(fraction + 1, result.ptr);
  }
}

void CsvWriter::Value(const zelapply::Value& value) {
  using zelapply::ValueType;
  if (value.missing || value.type == ValueType::kUndefined) {
    Missing();
    return;
  }
  if (value.type == ValueType::kString) {
    Text(value.text);
    return;
  }
  Separate();
  switch (value.type) {
    case ValueType::kInteger:
      Integer(value.integer);
      return;
    case ValueType::kDate:
      Date(value.real);
      return;
    case ValueType::kTime:
      if (value.real >= 0.0 && value.real < 86400.0) {
        TimeOfDay(value.real);
      } else {
        Number(value.real);
      }
      return;
    case ValueType::kTimestamp: {
      const double days = std::floor(value.real / 86400.0);
      if (std::fabs(days) < 1e9) {
        Date(days);
        buffer_.push_back(' ');
        TimeOfDay(value.real - days * 86400.0);
      } else {
        Number(value.real);
      }
      return;
    }
    default:
      Number(value.real);
      return;
  }
}

void CsvWriter::EndRow() {
  buffer_.push_back('\n');
  rowStarted_ = false;
  if (buffer_.size() >= kFlushAt) Flush();
}

bool CsvWriter::Flush() {
  if (!failed_ && !buffer_.empty() && !sink_.Write(buffer_)) failed_ = true;
  buffer_.clear();
  return !failed_;
}

}  // namespace zelio
