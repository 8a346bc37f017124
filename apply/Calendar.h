// Calendar: the date and time arithmetic of the preparation's own
// functions. Dates are day numbers with day 0 = 1970-01-01 in the proleptic
// Gregorian calendar; times of day are seconds.
#ifndef ZELCRAFT_APPLY_CALENDAR_H_
#define ZELCRAFT_APPLY_CALENDAR_H_

#include <cstdint>

namespace zelapply {

struct CivilDate {
  int64_t year;
  int month;  // 1..12
  int day;    // 1..31
};

// The date of a day number truncated toward zero (so -1.5 is 1969-12-31).
// False for values that are not finite or lie beyond a billion days.
bool CivilFromDayNumber(double dayNumber, CivilDate* date);

// The time of day of `seconds` truncated toward zero and taken modulo 86400
// into 0..86399, so -1 is 23:59:59. False for values that are not finite or
// do not fit 64 bits.
bool SplitTimeOfDay(double seconds, int* hour, int* minute, int* second);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_CALENDAR_H_
