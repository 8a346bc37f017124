// Text trimming and date/time derivation, through builds over the public
// surface and, for the trim rule, on single working records.
#include <gtest/gtest.h>

#include "statistics/ZelUnivarNumeric.h"
#include "statistics/ZelUnivarStringCat.h"
#include "transformation/TransformTestUtil.h"
#include "transformation/ZelTrimEndFunctionRule.h"

namespace {

using namespace testhost;
using namespace transformtest;
using TorCommon_1_3::kStorageDate;
using TorCommon_1_3::kStorageTime;

const ZelStatistic::ContSummary* Summary(const ZelVariableHandleInfo* field) {
  const auto* stat =
      field ? dynamic_cast<const ZelStatistic::ZelUnivarNumeric*>(field->GetUnivariate()) : nullptr;
  return stat ? &stat->GetSummary() : nullptr;
}

std::vector<double> Values(const ZelVariableHandleInfo* field) {
  return Summary(field) ? Summary(field)->GetValues() : std::vector<double>();
}

TEST(TrimEndFunctionRuleTest, DropsOnlyTrailingBlanksAndTabs) {
  ZelTransformation::ZelTrimEndFunctionRule rule;
  rule.AddInput("s", 0);
  auto apply = [&rule](const char* text) {
    RawRecord record(1);
    if (text == nullptr) record[0].SetMissingValue(TorCommon_1_3::kStorageString);
    if (text != nullptr) record[0].SetString(text);
    return rule.Apply(record);
  };
  EXPECT_EQ(apply(" a b").GetString(), " a b");
  EXPECT_FALSE(rule.IsChanged());
  EXPECT_EQ(apply(" a b \t \t").GetString(), " a b");
  EXPECT_TRUE(rule.IsChanged());
  EXPECT_FALSE(apply(" \t ").IsMissing());
  EXPECT_EQ(apply(" \t ").GetString(), "");
  EXPECT_TRUE(apply(nullptr).IsMissing());
}

TEST(TextBuildTest, KeepsTheTrimmedCopyOnlyWhenSomeValueChanged) {
  TorCommon_1_3::TorVarList vars;
  vars.AddVariable(NominalField("s1", true));
  vars.AddVariable(NominalField("s2", true));
  const char* s1[] = {"a", " b", "c d", "e", "f"};
  const char* s2[] = {" a ", "b\t", "   ", "c", " a"};
  Rows rows;
  for (int i = 0; i < 5; ++i) rows.push_back({Str(s1[i]), Str(s2[i])});
  Build build;
  const ZelVariableHandleList& fields = RunEarly(build, vars, rows, EarlyStepsOnly());
  ASSERT_EQ(fields.Count(), 5);
  EXPECT_FALSE(fields.GetHandle(0)->IsExcluded());
  EXPECT_TRUE(ExcludedBy(FindField(fields, "s1_TrimString"), 1, 2));
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(1), 1, 1));
  const ZelVariableHandleInfo* copy = FindField(fields, "s2_transformed");
  ASSERT_TRUE(copy && !copy->IsExcluded());
  const auto* stat = dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(copy->GetUnivariate());
  ASSERT_NE(stat, nullptr);
  EXPECT_EQ(stat->GetCategories(), (std::vector<std::string>{"", " a", "b", "c"}));
  EXPECT_EQ(stat->GetFrequency(" a"), 2);
}

// Per source exactly one duration survives the selection: the largest unit
// that the largest elapsed value reaches.
TEST(DateTimeBuildTest, SelectsTheDurationUnitFromTheLargestValue) {
  struct Case {
    int storage;
    std::vector<double> values;  // empty: all missing
    const char* survivor;
  };
  const Case cases[] = {
      {kStorageDate, {0, 100, 200, 300, 400}, "d_years"},     // 1.095 y, 13.1 m
      {kStorageDate, {0, 100, 200, 300, 365.25}, "d_years"},  // 1 y, 12 m
      {kStorageDate, {0, 100, 200, 300, 365}, "d_months"},    // 11.99 m
      {kStorageDate, {0, 10, 20, 25, 30.4375}, "d_months"},   // 1 m
      {kStorageDate, {0, 10, 20, 25, 30.4}, "d_days"},
      {kStorageDate, {-400, -300, -200, -100, -50}, "d_days"},
      // The maximum stays the lowest double; screening drops the days later.
      {kStorageDate, {}, "d_DurationDays"},
      {kStorageTime, {0, 3600, 7200, 90000, 360000}, "d_hours"},  // 100 h, 6000 min
      {kStorageTime, {0, 600, 1200, 1800, 3599}, "d_minutes"},
      {kStorageTime, {0, 10, 20, 30, 59}, "d_seconds"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.survivor);
    TorCommon_1_3::TorVarList vars;
    vars.AddVariable(ContField("d", c.storage));
    Rows rows;
    for (std::size_t i = 0; i < 5; ++i) {
      const double v = c.values.empty() ? 0 : c.values[i];
      rows.push_back({c.values.empty()            ? Missing()
                      : c.storage == kStorageDate ? Date(v)
                                                  : Time(v)});
    }
    Build build;
    const ZelVariableHandleList& fields = RunEarly(build, vars, rows, EarlyStepsOnly());
    ASSERT_EQ(fields.Count(), 5);
    EXPECT_TRUE(ExcludedBy(fields.GetHandle(0), 2, 15));
    const uint32_t select = c.storage == kStorageDate ? 16 : 17;
    for (int i = 2; i < 5; ++i) {
      const ZelVariableHandleInfo* duration = fields.GetHandle(i);
      EXPECT_EQ(ExcludedBy(duration, 2, select), duration->GetName() != c.survivor)
          << duration->GetName();
    }
  }
}

TEST(DateTimeBuildTest, DatePartsAndAFixedUnit) {
  TorCommon_1_3::TorVarList vars;
  vars.AddVariable(ContField("d", kStorageDate));
  Rows rows;
  // 1969-12-31 (truncated toward zero), 1970-01-01, 1970-03-01, 2000-02-29, 2022-01-08.
  for (double day : {-1.5, 0.0, 59.0, 11016.0, 19000.0}) rows.push_back({Date(day)});
  TorCommon_1_3::TorSettings settings = EarlyStepsOnly();
  settings.SetBool("extractYearFromDate", true);
  settings.SetBool("extractMonthFromDate", true);
  settings.SetBool("extractDayFromDate", true);
  settings.SetString("autoChooseDateFieldUnit", "fixed");
  settings.SetString("dateUnit", "month");
  settings.SetDouble("referenceDateForDurations", 10.0);
  Build build;
  const ZelVariableHandleList& fields = RunEarly(build, vars, rows, settings);
  ASSERT_EQ(fields.Count(), 6);  // d, x, three parts and the months only
  EXPECT_TRUE(FindField(fields, "d_year")->IsOrdinal());
  EXPECT_EQ(Values(FindField(fields, "d_year")), (std::vector<double>{1969, 1970, 2000, 2022}));
  EXPECT_EQ(Values(FindField(fields, "d_month")), (std::vector<double>{1, 2, 3, 12}));
  EXPECT_EQ(Values(FindField(fields, "d_day")), (std::vector<double>{1, 8, 29, 31}));
  // 624 months would lose the automatic choice; a fixed unit is kept.
  const ZelVariableHandleInfo* months = FindField(fields, "d_months");
  ASSERT_TRUE(months && !months->IsExcluded());
  EXPECT_DOUBLE_EQ(Summary(months)->GetMaximum(), (19000 - 10) / 30.4375);
}

TEST(DateTimeBuildTest, TimePartsWrapAroundMidnightAndTimestampsDeriveNothing) {
  TorCommon_1_3::TorVarList vars;
  vars.AddVariable(ContField("t", kStorageTime));
  TorCommon_1_3::ITorVariable* stamp = ContField("ts", TorCommon_1_3::kStorageTimestamp);
  stamp->SetMeasureLevel(TorCommon_1_3::kLevelNone);
  vars.AddVariable(stamp);
  Rows rows;
  // 23:59:59, 01:01:01, 12:34:56, 01:01:01 the next day, 04:00:00 after 100 h.
  for (double t : {-1, 3661, 45296, 90061, 360000}) rows.push_back({Time(t), Timestamp(1e9 + t)});
  TorCommon_1_3::TorSettings settings = EarlyStepsOnly();
  for (const char* key : {"extractHourFromTime", "extractMinuteFromTime", "extractSecondFromTime",
                          "extractYearFromDate"}) {
    settings.SetBool(key, true);
  }
  Build build;
  const ZelVariableHandleList& fields = RunEarly(build, vars, rows, settings);
  ASSERT_EQ(fields.Count(), 9);  // t, ts, x and six fields from t
  EXPECT_EQ(Values(FindField(fields, "t_hour")), (std::vector<double>{1, 4, 12, 23}));
  EXPECT_EQ(Values(FindField(fields, "t_minute")), (std::vector<double>{0, 1, 34, 59}));
  EXPECT_EQ(Values(FindField(fields, "t_second")), (std::vector<double>{0, 1, 56, 59}));
  EXPECT_DOUBLE_EQ(Summary(FindField(fields, "t_hours"))->GetMaximum(), 100.0);
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(1), 2, 15));
}

}  // namespace
