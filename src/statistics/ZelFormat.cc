#include "statistics/ZelFormat.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "torcommon13r/TorXML.h"

namespace ZelStatistic {

std::string FormatInteger(int64_t value) { return std::to_string(value); }

std::string FormatPaddedInteger(int64_t value, std::size_t width, char fill) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), fill);
  return text;
}

std::string FormatDouble(double value) { return TorXML_1_3::ReplaceSep(value, "%.15g"); }

std::string FormatDoubleExactly(double value) {
  std::string text = FormatDouble(value);
  if (!std::isfinite(value)) return text;
  double read = 0.0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), read);
  if (parsed.ec == std::errc() && read == value) return text;
  char exact[32];
  const auto written =
      std::to_chars(exact, exact + sizeof exact, value, std::chars_format::general, 17);
  return std::string(exact, written.ptr);
}

double RoundAsFormatted(double value) {
  if (!std::isfinite(value)) return value;
  // The same correctly rounded digits as "%.15g", without a locale or an
  // allocation.
  char text[32];
  const auto written =
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
  double rounded = value;
  std::from_chars(text, written.ptr, rounded);
  return rounded;
}

}  // namespace ZelStatistic
