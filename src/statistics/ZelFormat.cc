#include "statistics/ZelFormat.h"

#include "torcommon13r/TorXML.h"

namespace ZelStatistic {

std::string FormatInteger(int64_t value) { return std::to_string(value); }

std::string FormatPaddedInteger(int64_t value, std::size_t width, char fill) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), fill);
  return text;
}

std::string FormatDouble(double value) { return TorXML_1_3::ReplaceSep(value, "%.15g"); }

}  // namespace ZelStatistic
