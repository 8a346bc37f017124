// ZelCalendar: day numbers and seconds to calendar parts. Dates are day
// numbers with day 0 = 1970-01-01 (negative before it) in the proleptic
// Gregorian calendar; times of day are seconds.
#ifndef ZELCRAFT_SETTINGS_ZELCALENDAR_H_
#define ZELCRAFT_SETTINGS_ZELCALENDAR_H_

#include <cstdint>

namespace ZelCalendar {

// Day numbers whose magnitude exceeds this (about 2.7 million years) are not
// converted, so every year fits an int.
constexpr int64_t kMaxAbsDays = 1000000000;

// The civil date of a day number; `days` must lie within +-kMaxAbsDays.
void CivilFromDays(int64_t days, int& year, int& month, int& day);

// The day number of a civil date (month 1..12, day 1..31).
int64_t DaysFromCivil(int year, int month, int day);

// A day number held in a double: a fractional value counts as the day it
// falls in (rounded down). False, with nothing written, when the value is not
// finite or out of range.
bool CivilFromDayNumber(double dayNumber, int& year, int& month, int& day);

// Truncates `seconds` to an integer, reduces it modulo 86400 into 0..86399
// (so negative values count back from midnight) and splits it. False, with
// nothing written, when the value is not finite or beyond 64-bit range.
bool SplitTimeOfDay(double seconds, int& hour, int& minute, int& second);

}  // namespace ZelCalendar

#endif  // ZELCRAFT_SETTINGS_ZELCALENDAR_H_
