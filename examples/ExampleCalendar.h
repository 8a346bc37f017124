// ExampleCalendar: the calendar date of a day number (days since 1970-01-01,
// before it too) as the data generators write it, YYYY-MM-DD.
#ifndef ZELCRAFT_EXAMPLES_EXAMPLECALENDAR_H_
#define ZELCRAFT_EXAMPLES_EXAMPLECALENDAR_H_

#include <cstdint>
#include <cstdio>
#include <string>

inline std::string DateText(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[64];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(year),
                static_cast<long long>(month), static_cast<long long>(day));
  return text;
}

#endif  // ZELCRAFT_EXAMPLES_EXAMPLECALENDAR_H_
