// Text forms of numbers shared by the statistics and the document writers:
// integer counts as plain decimal text, doubles in the locale-independent
// "%.15g" form of the host library.
#ifndef ZELCRAFT_STATISTICS_ZELFORMAT_H_
#define ZELCRAFT_STATISTICS_ZELFORMAT_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZelStatistic {

std::string FormatInteger(int64_t value);
// The decimal text left-padded with `fill` to at least `width` characters.
std::string FormatPaddedInteger(int64_t value, std::size_t width, char fill);
std::string FormatDouble(double value);
// FormatDouble's text when it reads back as `value`, else 17 significant
// digits: a key that must match the value it was made from (0.3 and
// 0.30000000000000004 stay two keys).
std::string FormatDoubleExactly(double value);
// The number FormatDouble's text reads back as: `value` rounded to 15
// significant digits, as a document consumer sees it.
double RoundAsFormatted(double value);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELFORMAT_H_
