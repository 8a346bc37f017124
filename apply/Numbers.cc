#include "Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zelapply {

namespace {

std::string_view Trimmed(std::string_view text) {
  const char* blanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return std::string_view();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

bool ParseNumber(std::string_view text, double* value) {
  text = Trimmed(text);
  // from_chars reads a '-' but no '+': a '+' is taken here, and a second sign
  // after it ("+-5") is not a number.
  if (!text.empty() && text[0] == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) return false;
  }
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, *value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(*value);
}

double AsWritten(double x) {
  if (!std::isfinite(x)) return x;
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, x, std::chars_format::general, 15);
  double value = x;
  std::from_chars(text, written.ptr, value);
  return value;
}

bool MayBeWrittenAlike(double x, double y) {
  return std::fabs(x - y) <= 1e-14 * std::max(std::fabs(x), std::fabs(y));
}

bool ConvertText(std::string_view text, ValueType type, Value* value) {
  if (type == ValueType::kString || type == ValueType::kUndefined) {
    value->SetText(text);
    return true;
  }
  if (type == ValueType::kInteger) {
    // Whole numbers beyond 2^53 are read exactly.
    const std::string_view digits = Trimmed(text);
    int64_t whole;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), whole);
    if (!digits.empty() && result.ec == std::errc() &&
        result.ptr == digits.data() + digits.size()) {
      value->SetInteger(whole);
      return true;
    }
  }
  double number;
  if (!ParseNumber(text, &number)) return false;
  if (type == ValueType::kInteger) {
    if (std::fabs(number) >= 9.2e18) return false;
    value->SetInteger(static_cast<int64_t>(number));
  } else {
    value->SetReal(number, type);
  }
  return true;
}

}  // namespace zelapply
