// Calendar: the date and time arithmetic of the document's side: the
// preparation's date and time functions when a document is replayed, and
// the reading and writing of dates in data files. Dates are day numbers
// with day 0 = 1970-01-01 in the proleptic Gregorian calendar; times of day
// are seconds. The component keeps its own copy (ZelCalendar), which a
// document consumer must not depend on; one test holds the two to the same
// answers.
#ifndef ZELCRAFT_APPLY_CALENDAR_H_
#define ZELCRAFT_APPLY_CALENDAR_H_

#include <cstdint>

namespace zelapply {

struct CivilDate {
  int64_t year;
  int month;  // 1..12
  int day;    // 1..31
};

// The date of a whole day number (within a billion days of 1970).
CivilDate CivilFromDays(int64_t days);
// The day number of a date (month 1..12, day 1..31).
int64_t DaysFromCivil(int64_t year, int month, int day);

// The date a day number falls in: a fraction belongs to the day it is part
// of, so -0.25 is 1969-12-31. False for values that are not finite or lie
// beyond a billion days.
bool CivilFromDayNumber(double dayNumber, CivilDate* date);

// The time of day of `seconds` truncated toward zero and taken modulo 86400
// into 0..86399, so -1 is 23:59:59. False for values that are not finite or
// do not fit 64 bits.
bool SplitTimeOfDay(double seconds, int* hour, int* minute, int* second);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_CALENDAR_H_
