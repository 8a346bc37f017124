#include "settings/ZelCalendar.h"

#include <cmath>

namespace ZelCalendar {

// The day arithmetic works in 400-year eras starting on March 1, so the leap
// day is the last day of its year and every era has the same 146097 days.
void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  const int64_t z = days + 719468;  // days since 0000-03-01
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;                                 // 0..146096
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // 0..399
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March .. 11 = February
  day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

int64_t DaysFromCivil(int year, int month, int day) {
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

bool CivilFromDayNumber(double dayNumber, int& year, int& month, int& day) {
  if (!std::isfinite(dayNumber)) return false;
  const double whole = std::floor(dayNumber);
  if (std::fabs(whole) > static_cast<double>(kMaxAbsDays)) return false;
  CivilFromDays(static_cast<int64_t>(whole), year, month, day);
  return true;
}

bool SplitTimeOfDay(double seconds, int& hour, int& minute, int& second) {
  // 2^63 is exact as a double; anything at or beyond it cannot be truncated
  // into an int64_t.
  constexpr double kLimit = 9223372036854775808.0;
  if (!std::isfinite(seconds) || seconds >= kLimit || seconds <= -kLimit) return false;
  int64_t s = static_cast<int64_t>(seconds) % 86400;
  if (s < 0) s += 86400;
  hour = static_cast<int>(s / 3600);
  minute = static_cast<int>(s % 3600 / 60);
  second = static_cast<int>(s % 60);
  return true;
}

}  // namespace ZelCalendar
