#include "io/CellParser.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "apply/Calendar.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads exactly `n` digits at `pos`.
bool Digits(std::string_view text, std::size_t pos, std::size_t n, int* value) {
  if (pos + n > text.size()) return false;
  int v = 0;
  for (std::size_t i = pos; i < pos + n; ++i) {
    if (!IsDigit(text[i])) return false;
    v = v * 10 + (text[i] - '0');
  }
  *value = v;
  return true;
}

bool IsLeapYear(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int64_t year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The decimal-number grammar, checked before conversion because the
// converter also accepts words such as "inf" and "nan".
bool IsDecimalForm(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t mantissaDigits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++mantissaDigits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == t.size();
}

}  // namespace

const char* StorageNoun(int storage) {
  using namespace TorCommon_1_3;
  switch (storage) {
    case kStorageInteger:
      return "a whole number that fits 64 bits";
    case kStorageReal:
      return "a number";
    case kStorageDate:
      return "a date (YYYY-MM-DD) or a timestamp";
    case kStorageTime:
      return "a time (HH:MM:SS) or a timestamp";
    case kStorageTimestamp:
      return "a timestamp (YYYY-MM-DD HH:MM:SS)";
    default:
      return "a value";
  }
}

std::string QuoteCell(std::string_view text) {
  constexpr std::size_t kShown = 40;
  if (text.size() <= kShown) return "'" + std::string(text) + "'";
  return "'" + std::string(text.substr(0, kShown)) + "...'";
}

bool ParseIntegerChecked(std::string_view text, int64_t* value) {
  // from_chars reads a '-' but no '+': a '+' is taken here, and a second sign
  // after it ("+-5", "++5") leaves the cell a text.
  if (!text.empty() && text[0] == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) return false;
  }
  const char* end = text.data() + text.size();
  auto result = std::from_chars(text.data(), end, *value);
  return result.ec == std::errc() && result.ptr == end;
}

bool ParseReal(std::string_view text, double* value) {
  if (!IsDecimalForm(text)) return false;
  if (text[0] == '+') text.remove_prefix(1);
  const char* end = text.data() + text.size();
  auto result = fast_float::from_chars(text.data(), end, *value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(*value);
}

bool ParseWholeDecimal(std::string_view text, int64_t* value) {
  if (!IsDecimalForm(text)) return false;
  std::size_t i = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') ++i;
  const std::size_t integerBegin = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const auto integerDigits = static_cast<int64_t>(i - integerBegin);
  std::size_t fractionBegin = i;
  if (i < text.size() && text[i] == '.') fractionBegin = ++i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const auto digits = integerDigits + static_cast<int64_t>(i - fractionBegin);
  // An exponent this far moves every digit past any 64-bit number.
  constexpr int64_t kFar = int64_t{1} << 50;
  int64_t exponent = 0;
  if (i < text.size()) {
    const bool down = text[++i] == '-';
    if (text[i] == '-' || text[i] == '+') ++i;
    for (; i < text.size(); ++i) exponent = std::min(exponent * 10 + (text[i] - '0'), kFar);
    if (down) exponent = -exponent;
  }
  // Digit k of the mantissa, the point left out; `point` digits stand before it.
  auto digit = [&](int64_t k) {
    const std::size_t at = k < integerDigits
                               ? integerBegin + static_cast<std::size_t>(k)
                               : fractionBegin + static_cast<std::size_t>(k - integerDigits);
    return static_cast<uint64_t>(text[at] - '0');
  };
  const int64_t point = integerDigits + exponent;
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t magnitude = 0;
  for (int64_t k = 0; k < digits; ++k) {
    const uint64_t d = digit(k);
    if (k >= point) {
      if (d != 0) return false;
    } else {
      if (magnitude > (limit - d) / 10) return false;
      magnitude = magnitude * 10 + d;
    }
  }
  // The zeros an exponent adds after the last digit.
  for (int64_t k = digits; k < point && magnitude != 0; ++k) {
    if (magnitude > limit / 10) return false;
    magnitude *= 10;
  }
  *value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

bool ParseShortDecimalChecked(std::string_view text, int64_t* mantissa, int* decimals) {
  constexpr uint64_t kLimit = uint64_t{1} << 53;
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  uint64_t m = 0;
  const std::size_t integerStart = i;
  while (i < text.size() && IsDigit(text[i])) {
    m = m * 10 + static_cast<uint64_t>(text[i] - '0');
    if (m >= kLimit) return false;
    ++i;
  }
  if (i == integerStart) return false;
  int places = 0;
  if (i < text.size() && text[i] == '.') {
    ++i;
    const std::size_t fractionStart = i;
    while (i < text.size() && IsDigit(text[i])) {
      m = m * 10 + static_cast<uint64_t>(text[i] - '0');
      if (m >= kLimit) return false;
      ++i;
    }
    places = static_cast<int>(i - fractionStart);
    if (places == 0 || places > 22) return false;
  }
  if (i != text.size() || (negative && m == 0)) return false;
  *mantissa = negative ? -static_cast<int64_t>(m) : static_cast<int64_t>(m);
  *decimals = places;
  return true;
}

bool ParseDate(std::string_view text, double* days) {
  int year, month, day;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  if (!Digits(text, 0, 4, &year) || !Digits(text, 5, 2, &month) || !Digits(text, 8, 2, &day)) {
    return false;
  }
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  *days = static_cast<double>(zelapply::DaysFromCivil(year, month, day));
  return true;
}

bool ParseTime(std::string_view text, double* seconds) {
  int hour, minute, second;
  if (text.size() < 8 || text[2] != ':' || text[5] != ':') return false;
  if (!Digits(text, 0, 2, &hour) || !Digits(text, 3, 2, &minute) || !Digits(text, 6, 2, &second)) {
    return false;
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  double fraction = 0.0;
  if (text.size() > 8) {
    // The fraction is read as the decimal ".ddd" so that it rounds correctly.
    if (text[8] != '.' || text.size() == 9) return false;
    for (std::size_t i = 9; i < text.size(); ++i) {
      if (!IsDigit(text[i])) return false;
    }
    std::string_view digits = text.substr(8);
    const char* end = digits.data() + digits.size();
    auto result = fast_float::from_chars(digits.data(), end, fraction);
    if (result.ec != std::errc() || result.ptr != end) return false;
  }
  *seconds = hour * 3600.0 + minute * 60.0 + second + fraction;
  return true;
}

bool ParseTimestampParts(std::string_view text, double* days, double* seconds) {
  if (text.size() < 19 || (text[10] != ' ' && text[10] != 'T')) return false;
  return ParseDate(text.substr(0, 10), days) && ParseTime(text.substr(11), seconds);
}

bool ParseDayCell(std::string_view text, double* days) {
  double seconds;
  return ParseDate(text, days) || ParseTimestampParts(text, days, &seconds);
}

bool ParseTimeOfDayCell(std::string_view text, double* seconds) {
  double days;
  return ParseTime(text, seconds) || ParseTimestampParts(text, &days, seconds);
}

void SplitTimestamp(double seconds, double* days, double* timeOfDay) {
  double day = std::floor(seconds / 86400.0);
  double rest = seconds - day * 86400.0;
  // The quotient may round across a midnight: the rest says which side.
  if (rest < 0.0) {
    day -= 1.0;
    rest += 86400.0;
  } else if (rest >= 86400.0) {
    day += 1.0;
    rest -= 86400.0;
  }
  *days = day;
  *timeOfDay = rest;
}

bool ParseTimestamp(std::string_view text, double* seconds) {
  double days, time;
  if (!ParseTimestampParts(text, &days, &time)) return false;
  *seconds = days * 86400.0 + time;
  return true;
}

}  // namespace zelio
