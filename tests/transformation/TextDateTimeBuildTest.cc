// Text trimming on single working records, and date/time derivation through
// builds over the public surface.
#include <gtest/gtest.h>

#include "transformation/TransformTestUtil.h"
#include "transformation/ZelTrimEndFunctionRule.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace transformtest;

TEST(TrimEndFunctionRuleTest, DropsOnlyTrailingBlanksAndTabs) {
  ZelTransformation::ZelTrimEndFunctionRule rule;
  rule.AddInput("s", 0);
  auto apply = [&rule](const Cell& cell) { return rule.Apply(MakeRecord({cell})); };
  EXPECT_EQ(apply(Str(" a b")).GetString(), " a b");
  EXPECT_FALSE(rule.IsChanged());
  EXPECT_EQ(apply(Str(" a b \t \t")).GetString(), " a b");
  EXPECT_TRUE(rule.IsChanged());
  EXPECT_FALSE(apply(Str(" \t ")).IsMissing());
  EXPECT_EQ(apply(Str(" \t ")).GetString(), "");
  EXPECT_TRUE(apply(Missing()).IsMissing());
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
    TorVarList vars;
    vars.AddVariable(ContField("d", c.storage));
    Rows rows;
    for (std::size_t i = 0; i < 5; ++i) {
      const double v = c.values.empty() ? 0 : c.values[i];
      rows.push_back({c.values.empty()            ? Missing()
                      : c.storage == kStorageDate ? Date(v)
                                                  : Time(v)});
    }
    Build build;
    const ZelVariableHandleList& fields = RunEarly(build, vars, rows);
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
  TorVarList vars;
  vars.AddVariable(ContField("d", kStorageDate));
  Rows rows;
  // 1969-12-31 (truncated toward zero), 1970-01-01, 1970-03-01, 2000-02-29, 2022-01-08.
  for (double day : {-1.5, 0.0, 59.0, 11016.0, 19000.0}) rows.push_back({Date(day)});
  TorSettings settings = EarlyStepsOnly();
  for (const char* key : {"extractYearFromDate", "extractMonthFromDate", "extractDayFromDate"}) {
    settings.SetBool(key, true);
  }
  settings.SetString("autoChooseDateFieldUnit", "fixed");
  settings.SetString("dateUnit", "month");
  settings.SetDouble("referenceDateForDurations", 10.0);
  Build build;
  const ZelVariableHandleList& fields = RunEarly(build, vars, rows, settings);
  ASSERT_EQ(fields.Count(), 6);  // d, x, three parts and the months only
  EXPECT_TRUE(FindField(fields, "d_year")->IsOrdinal());
  using Values = std::vector<double>;
  EXPECT_EQ(SummaryOf(FindField(fields, "d_year")).GetValues(), (Values{1969, 1970, 2000, 2022}));
  EXPECT_EQ(SummaryOf(FindField(fields, "d_month")).GetValues(), (Values{1, 2, 3, 12}));
  EXPECT_EQ(SummaryOf(FindField(fields, "d_day")).GetValues(), (Values{1, 8, 29, 31}));
  // 624 months would lose the automatic choice; a fixed unit is kept.
  const ZelVariableHandleInfo* months = FindField(fields, "d_months");
  ASSERT_TRUE(months && !months->IsExcluded());
  EXPECT_DOUBLE_EQ(SummaryOf(months).GetMaximum(), (19000 - 10) / 30.4375);
}

}  // namespace
