// Day numbers and seconds to calendar parts. Expected day numbers were
// computed with an independent proleptic Gregorian date library.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "settings/ZelCalendar.h"

namespace {

struct CivilCase {
  int64_t days;
  int year, month, day;
};

TEST(Calendar, DayNumbersBothSidesOfTheEpoch) {
  const CivilCase cases[] = {
      {0, 1970, 1, 1},          {-1, 1969, 12, 31},      {-672, 1968, 2, 29},
      {-25509, 1900, 2, 28},    {-25508, 1900, 3, 1},    {-135081, 1600, 2, 29},
      {-719162, 1, 1, 1},       {-719163, 0, 12, 31},    {11016, 2000, 2, 29},
      {11017, 2000, 3, 1},      {157113, 2400, 2, 29},   {157114, 2400, 3, 1},
      {157419, 2400, 12, 31},   {2932896, 9999, 12, 31}};
  for (const CivilCase& c : cases) {
    int y = 0, m = 0, d = 0;
    ZelCalendar::CivilFromDays(c.days, y, m, d);
    EXPECT_EQ(y, c.year) << c.days;
    EXPECT_EQ(m, c.month) << c.days;
    EXPECT_EQ(d, c.day) << c.days;
    EXPECT_EQ(ZelCalendar::DaysFromCivil(c.year, c.month, c.day), c.days);
  }
}

TEST(Calendar, DoubleDayNumbers) {
  int y = 0, m = 0, d = 0;
  // A fraction belongs to the day it falls in, also before the epoch.
  ASSERT_TRUE(ZelCalendar::CivilFromDayNumber(-0.25, y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 19691231);
  ASSERT_TRUE(ZelCalendar::CivilFromDayNumber(11016.9, y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20000229);
  y = -7;
  EXPECT_FALSE(ZelCalendar::CivilFromDayNumber(std::nan(""), y, m, d));
  EXPECT_FALSE(ZelCalendar::CivilFromDayNumber(1e300, y, m, d));
  EXPECT_FALSE(
      ZelCalendar::CivilFromDayNumber(std::numeric_limits<double>::infinity(), y, m, d));
  EXPECT_EQ(y, -7);
}

TEST(Calendar, TimeOfDayTruncatesAndWraps) {
  struct Case {
    double seconds;
    int h, m, s;
  } cases[] = {{0.0, 0, 0, 0},        {86399.9, 23, 59, 59}, {86400.0, 0, 0, 0},
               {90061.7, 1, 1, 1},    {-1.0, 23, 59, 59},    {-0.5, 0, 0, 0},
               {-86401.0, 23, 59, 59}, {45296.0, 12, 34, 56}};
  for (const Case& c : cases) {
    int h = -1, m = -1, s = -1;
    ASSERT_TRUE(ZelCalendar::SplitTimeOfDay(c.seconds, h, m, s)) << c.seconds;
    EXPECT_EQ(h * 10000 + m * 100 + s, c.h * 10000 + c.m * 100 + c.s) << c.seconds;
  }
  int h = -1, m = -1, s = -1;
  EXPECT_FALSE(ZelCalendar::SplitTimeOfDay(std::nan(""), h, m, s));
  EXPECT_FALSE(ZelCalendar::SplitTimeOfDay(1e19, h, m, s));
  EXPECT_EQ(h, -1);
}

}  // namespace
