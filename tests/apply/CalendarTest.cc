// The calendar on both sides of the document: the component's (which the
// build uses for reference dates and date parts) and the document side's
// (which replays the date functions and reads and writes dates in files)
// must give the same answers, or a replay would disagree with its build.
// Every case runs against both. Expected day numbers were computed with an
// independent proleptic Gregorian date library.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "apply/Calendar.h"
#include "settings/ZelCalendar.h"

namespace {

int Packed(int64_t year, int month, int day) {
  return static_cast<int>(year * 10000 + month * 100 + day);
}

TEST(Calendar, DayNumbersBothSidesOfTheEpochAndLeapDays) {
  const struct {
    int64_t days;
    int year, month, day;
  } cases[] = {{0, 1970, 1, 1},          {-1, 1969, 12, 31},      {-672, 1968, 2, 29},
               {-25509, 1900, 2, 28},    {-25508, 1900, 3, 1},    {-135081, 1600, 2, 29},
               {-719162, 1, 1, 1},       {-719163, 0, 12, 31},    {11016, 2000, 2, 29},
               {11017, 2000, 3, 1},      {157113, 2400, 2, 29},   {157114, 2400, 3, 1},
               {157419, 2400, 12, 31},   {2932896, 9999, 12, 31}};
  for (const auto& c : cases) {
    int y = 0, m = 0, d = 0;
    ZelCalendar::CivilFromDays(c.days, y, m, d);
    EXPECT_EQ(Packed(y, m, d), Packed(c.year, c.month, c.day)) << c.days;
    const zelapply::CivilDate date = zelapply::CivilFromDays(c.days);
    EXPECT_EQ(Packed(date.year, date.month, date.day), Packed(c.year, c.month, c.day)) << c.days;
    EXPECT_EQ(ZelCalendar::DaysFromCivil(c.year, c.month, c.day), c.days);
    EXPECT_EQ(zelapply::DaysFromCivil(c.year, c.month, c.day), c.days);
  }
}

TEST(Calendar, FractionalDayNumbersFallInTheirDay) {
  const struct {
    double days;
    int date;  // 0: refused
  } cases[] = {{-0.25, 19691231}, {-1.0, 19691231},  {-1.5, 19691230}, {0.999, 19700101},
               {11016.9, 20000229}, {-672.5, 19680228}, {std::nan(""), 0}, {1e300, 0},
               {std::numeric_limits<double>::infinity(), 0}, {-1e10, 0}};
  for (const auto& c : cases) {
    int y = -7, m = 0, d = 0;
    const bool component = ZelCalendar::CivilFromDayNumber(c.days, y, m, d);
    zelapply::CivilDate date{-7, 0, 0};
    const bool document = zelapply::CivilFromDayNumber(c.days, &date);
    EXPECT_EQ(component, c.date != 0) << c.days;
    EXPECT_EQ(document, c.date != 0) << c.days;
    if (c.date == 0) {
      EXPECT_EQ(y, -7);
      EXPECT_EQ(date.year, -7);
      continue;
    }
    EXPECT_EQ(Packed(y, m, d), c.date) << c.days;
    EXPECT_EQ(Packed(date.year, date.month, date.day), c.date) << c.days;
  }
}

TEST(Calendar, TimeOfDayTruncatesAndWraps) {
  const struct {
    double seconds;
    int h, m, s;
  } cases[] = {{0.0, 0, 0, 0},        {86399.9, 23, 59, 59}, {86400.0, 0, 0, 0},
               {90061.7, 1, 1, 1},    {-1.0, 23, 59, 59},    {-0.5, 0, 0, 0},
               {-86401.0, 23, 59, 59}, {45296.0, 12, 34, 56}};
  for (const auto& c : cases) {
    int h = -1, m = -1, s = -1;
    ASSERT_TRUE(ZelCalendar::SplitTimeOfDay(c.seconds, h, m, s)) << c.seconds;
    EXPECT_EQ(h * 10000 + m * 100 + s, c.h * 10000 + c.m * 100 + c.s) << c.seconds;
    h = m = s = -1;
    ASSERT_TRUE(zelapply::SplitTimeOfDay(c.seconds, &h, &m, &s)) << c.seconds;
    EXPECT_EQ(h * 10000 + m * 100 + s, c.h * 10000 + c.m * 100 + c.s) << c.seconds;
  }
  int h = -1, m = -1, s = -1;
  for (double refused : {std::nan(""), 1e19, -1e19}) {
    EXPECT_FALSE(ZelCalendar::SplitTimeOfDay(refused, h, m, s));
    EXPECT_FALSE(zelapply::SplitTimeOfDay(refused, &h, &m, &s));
  }
  EXPECT_EQ(h, -1);
}

}  // namespace
