// Functions: what the document's functions compute on one row. The
// arithmetic follows PMML: a missing or non-numeric argument, and a result
// that is not a finite number (a logarithm of zero, a division by zero),
// give a missing result. The preparation's own functions compute exactly
// what its transform rules computed during the build.
#ifndef ZELCRAFT_APPLY_FUNCTIONS_H_
#define ZELCRAFT_APPLY_FUNCTIONS_H_

#include "Instruction.h"
#include "Value.h"

namespace zelapply {

// kAdd, kSubtract, kMultiply, kDivide, kPow, kMax, kThreshold; `b` is
// ignored by kLn, kExp and kAbs.
void Arithmetic(Op op, const Value& a, const Value& b, Value* out);

// Trailing blanks and tabs removed; other values pass unchanged.
void TrimEnd(const Value& in, Value* out);
// (date - reference) / divisor for a date; missing for anything else.
void DateDifference(const Value& in, const Value& reference, double divisor, Value* out);
// Year, month (1..12) or day of the month of a date.
void DatePart(const Value& in, int part, Value* out);
// (time - reference) / divisor for a time of day; missing for anything else.
void TimeDifference(const Value& in, const Value& reference, double divisor, Value* out);
// Hour, minute or second of a time of day.
void TimePart(const Value& in, int part, Value* out);

// The outlier treatment of a value x given the robust mean, robust standard
// deviation, cutoff and analysis weight a: the band is the mean plus or
// minus sd * cutoff / sqrt(a); values strictly outside it are pulled back to
// its edge (method 0) or made missing (method 1), others pass unchanged.
// A missing or non-positive weight gives a missing result.
void OutlierHandle(const Value& x, const Value& mean, const Value& sd, const Value& cutoff,
                   const Value& weight, int method, Value* out);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_FUNCTIONS_H_
