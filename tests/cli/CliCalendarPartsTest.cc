// The calendar parts derived as categories, through the command line: the
// weekday and month of dates from 1600 to 2400 and the hour of times of day,
// against a calendar this test keeps itself; the document computes them with
// PMML's own arithmetic, validates, and replays to the prepared data.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "support/CliHarness.h"
#include "support/SchemaCheck.h"

namespace clitest {
namespace {

struct Day {
  int year, month, day;
};

bool Leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && Leap(y) ? 29 : kDays[m - 1];
}

// ISO weekday, 1 Monday to 7 Sunday, by Sakamoto's congruence.
int Weekday(Day d) {
  static const int kShift[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int y = d.month < 3 ? d.year - 1 : d.year;
  const int sunday0 = (y + y / 4 - y / 100 + y / 400 + kShift[d.month - 1] + d.day) % 7;
  return sunday0 == 0 ? 7 : sunday0;
}

std::string Text(Day d) {
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
  return text;
}

// Every 37th day from 1600-01-01 on, leap days and month ends among them;
// every 50th row without a date, and times of day across all hours.
std::string Table(std::vector<Day>* days) {
  std::string csv = "day,clock,y\n";
  Day d{1600, 1, 1};
  int row = 0;
  while (d.year < 2400) {
    const bool blank = row % 50 == 7;
    days->push_back(blank ? Day{0, 0, 0} : d);
    const int seconds = (row * 7919) % 86400;
    char clock[48];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    csv += (blank ? std::string() : Text(d)) + "," + clock + "," + std::to_string(row % 5) + "\n";
    for (int step = 0; step < 37; ++step) {
      if (++d.day > DaysIn(d.year, d.month)) {
        d.day = 1;
        if (++d.month > 12) {
          d.month = 1;
          ++d.year;
        }
      }
    }
    ++row;
  }
  return csv;
}

const char kSchema[] =
    R"({"fields": {"day": {"storage": "date"}, "clock": {"storage": "time"}}})";

const std::vector<std::string> kParts = {
    "--set", "extractWeekdayFromDate=true", "--set", "extractMonthCategoryFromDate=true",
    "--set", "extractHourCategoryFromTime=true", "--set", "computeDateDuration=false",
    "--set", "computeTimeDuration=false", "--set", "supervisedMerging=false",
    "--set", "featureSelection=false"};

TEST(CliCalendarParts, WeekdayMonthAndHourFollowTheCalendarAndReplay) {
  ScratchDir dir;
  std::vector<Day> days;
  WriteFile(dir / "d.csv", Table(&days));
  WriteFile(dir / "s.json", kSchema);
  std::vector<std::string> args = {"prepare", "d.csv", "--target", "y", "--target-level",
                                   "nominal", "--schema", "s.json", "-o", "doc.pmml",
                                   "--data-out", "p.csv", "-q"};
  args.insert(args.end(), kParts.begin(), kParts.end());
  const RunResult run = RunCli(dir.path(), args);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string pmml = ReadFile(dir / "doc.pmml");
  EXPECT_TRUE(schemacheck::IsSchemaValid(pmml));
  const Document doc(pmml);
  // Nominal fields, in PMML's own functions only: no definition of ours.
  for (const char* name : {"day_weekday", "day_month_category", "clock_hour_category"}) {
    const std::string field = "//p:DerivedField[@name='" + std::string(name) + "']";
    EXPECT_EQ(doc.Eval("string(" + field + "/@optype)"), "categorical") << name;
    EXPECT_EQ(doc.Eval("count(" + field + "//p:Apply[@function!='floor' and @function!='+' and "
                       "@function!='-' and @function!='*' and @function!='/'])"),
              "0")
        << name;
  }
  EXPECT_EQ(doc.Eval("count(//p:DefineFunction)"), "0");

  const RunResult applied = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "-o", "a.csv"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  EXPECT_TRUE(ReadFile(dir / "a.csv") == ReadFile(dir / "p.csv"));
  const RunResult report = RunCli(dir.path(), {"report", "doc.pmml", "-o", "r.html"});
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_TRUE(
      Contains(ReadFile(dir / "r.html"), "<dt>calendar parts as categories</dt><dd>3</dd>"));

  const auto input = ReadCsv(ReadFile(dir / "d.csv"));
  const auto prepared = ReadCsv(ReadFile(dir / "p.csv"));
  ASSERT_EQ(prepared.size(), days.size() + 1);
  const std::size_t weekday = Column(prepared[0], "day_weekday");
  const std::size_t month = Column(prepared[0], "day_month_category");
  const std::size_t hour = Column(prepared[0], "clock_hour_category");
  std::set<std::string> weekdays, months, hours;
  int wrong = 0;
  for (std::size_t r = 1; r < prepared.size(); ++r) {
    const Day d = days[r - 1];
    const std::string clock = input[r][1];
    hours.insert(prepared[r][hour]);
    if (prepared[r][hour] != std::to_string(std::stoi(clock.substr(0, 2)))) ++wrong;
    // A row without a date takes the most frequent category.
    if (d.year == 0) continue;
    weekdays.insert(prepared[r][weekday]);
    months.insert(prepared[r][month]);
    if (prepared[r][weekday] != std::to_string(Weekday(d))) ++wrong;
    if (prepared[r][month] != std::to_string(d.month)) ++wrong;
    if (wrong > 0 && wrong < 4) ADD_FAILURE() << "row " << r << ": " << Text(d) << " " << clock;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(weekdays.size(), 7u);
  EXPECT_EQ(months.size(), 12u);
  EXPECT_EQ(hours.size(), 24u);
}

TEST(CliCalendarParts, OneThreadOrTwoOverMoreThanABlockGiveOneDocument) {
  ScratchDir dir;
  std::string csv = "day,clock,y\n";
  for (int i = 0; i < 70000; ++i) {
    char row[96];
    std::snprintf(row, sizeof row, "%04d-%02d-%02d,%02d:%02d:00,%d\n", 1990 + i % 30, 1 + i % 12,
                  1 + i % 28, i % 24, i % 60, (i / 7) % 3);
    csv += row;
  }
  WriteFile(dir / "d.csv", csv);
  WriteFile(dir / "s.json", kSchema);
  std::string documents[2];
  for (int threads = 1; threads <= 2; ++threads) {
    std::vector<std::string> args = {"prepare", "d.csv", "--target", "y", "--schema", "s.json",
                                     "-o", "doc.pmml", "-q", "--threads",
                                     std::to_string(threads)};
    // Without durations, which would measure from the clock of each run.
    args.insert(args.end(), kParts.begin(), kParts.begin() + 10);
    const RunResult run = RunCli(dir.path(), args);
    ASSERT_EQ(run.status, 0) << run.err;
    documents[threads - 1] = WithoutTimes(ReadFile(dir / "doc.pmml"));
  }
  EXPECT_TRUE(documents[0] == documents[1]);
  const Document doc(documents[0]);
  for (const char* key : {"DeriveWeekday", "DeriveMonthCategory", "DeriveHourCategory"}) {
    EXPECT_EQ(doc.Eval(std::string("string(//*[@stepKey='DateAndTimeFeatures']/p:Action[") +
                       "@reasonKey='" + key + "']/@numOfFields)"),
              "1")
        << key;
  }
}

TEST(CliCalendarParts, DefaultsDeriveNoCategoryPart) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", "day,clock,y\n2020-01-01,10:00:00,1\n2021-05-03,11:30:00,2\n"
                           "2022-07-04,09:15:00,3\n2019-02-28,23:00:00,4\n");
  WriteFile(dir / "s.json", kSchema);
  const RunResult run = RunCli(dir.path(), {"prepare", "d.csv", "--target", "y", "--schema",
                                            "s.json", "-o", "doc.pmml", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string pmml = ReadFile(dir / "doc.pmml");
  for (const char* part : {"Weekday", "MonthCategory", "HourCategory", "floor"}) {
    EXPECT_EQ(pmml.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace clitest
