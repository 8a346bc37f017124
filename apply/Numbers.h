// Numbers: reading the numbers written in a document (constants, table
// entries, margins), independent of the process locale.
#ifndef ZELCRAFT_APPLY_NUMBERS_H_
#define ZELCRAFT_APPLY_NUMBERS_H_

#include <string_view>

#include "Value.h"

namespace zelapply {

// A finite decimal number, surrounding blanks allowed; false otherwise.
bool ParseNumber(std::string_view text, double* value);

// A text read as a value of `type`: whole numbers are truncated toward zero
// ("2.7" is 2), dates and times are their day or second counts, texts are
// taken as they are. False when the text is not a number of that kind.
bool ConvertText(std::string_view text, ValueType type, Value* value);

// `x` as the document writes numbers, to 15 significant digits, and read
// back. A category, user-missing value or bound the document gives in that
// form equals AsWritten of the value it was written from, though not the
// value itself when that needs more digits (1/3).
double AsWritten(double x);

// True when `x` and `y` may agree once written, so that comparing AsWritten
// of both is worth its cost: they differ by at most a rounding at 15 digits.
bool MayBeWrittenAlike(double x, double y);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_NUMBERS_H_
