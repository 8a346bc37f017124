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

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_NUMBERS_H_
