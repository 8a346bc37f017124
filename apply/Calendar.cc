#include "Calendar.h"

#include <cmath>

namespace zelapply {

// Counted in 400-year eras that start on 0000-03-01, so the leap day ends
// its year and every era has the same 146097 days.
CivilDate CivilFromDays(int64_t days) {
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t marchMonth = (5 * dayOfYear + 2) / 153;  // 0 = March .. 11 = February
  CivilDate date;
  date.day = static_cast<int>(dayOfYear - (153 * marchMonth + 2) / 5 + 1);
  date.month = static_cast<int>(marchMonth < 10 ? marchMonth + 3 : marchMonth - 9);
  date.year = yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0);
  return date;
}

int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

bool CivilFromDayNumber(double dayNumber, CivilDate* date) {
  constexpr double kMaxAbsDays = 1e9;
  if (!std::isfinite(dayNumber)) return false;
  const double whole = std::floor(dayNumber);
  if (std::fabs(whole) > kMaxAbsDays) return false;
  *date = CivilFromDays(static_cast<int64_t>(whole));
  return true;
}

bool SplitTimeOfDay(double seconds, int* hour, int* minute, int* second) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63, exact as a double
  if (!std::isfinite(seconds) || seconds >= kLimit || seconds <= -kLimit) return false;
  int64_t s = static_cast<int64_t>(seconds) % 86400;
  if (s < 0) s += 86400;
  *hour = static_cast<int>(s / 3600);
  *minute = static_cast<int>(s % 3600 / 60);
  *second = static_cast<int>(s % 60);
  return true;
}

}  // namespace zelapply
