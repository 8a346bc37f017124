// End-to-end builds for the steps after the first pass: screening of poor
// fields, the check point that stops a build with nothing left to model, and
// the recasting of measurement levels.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "statistics/ZelUnivarNumeric.h"
#include "transformation/TransformTestUtil.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace transformtest;

// One row per value: `n` copies of `cell`, then `rest`.
Rows Column(const Cell& cell, int n, const Rows& rest = {}) {
  Rows rows(n, {cell});
  rows.insert(rows.end(), rest.begin(), rest.end());
  return rows;
}

// Rows with the values first, first + 1, ... (or the texts c0, c1, ...).
Rows Distinct(int n, bool text = false, int first = 1, const Rows& rest = {}) {
  Rows rows;
  for (int i = 0; i < n; ++i) {
    rows.push_back({text ? Str("c" + std::to_string(i)) : Int(first + i)});
  }
  rows.insert(rows.end(), rest.begin(), rest.end());
  return rows;
}

TEST(FeatureScreenBuildTest, ExclusionReasonsAndBoundaries) {
  struct Case {
    const char* what;
    std::function<ITorVariable*()> field;
    Rows rows;
    bool almostConstantOn, missingRuleOn;
    uint32_t step, action;  // 0, 0: kept
  };
  auto cont = [] { return ContField("f"); };
  auto nominal = [] { return NominalField("f", false); };
  auto text = [] { return NominalField("f", true); };
  const Case cases[] = {
      {"60 % missing", cont, Distinct(4, false, 1, Column(Missing(), 6)), false, true, 3, 18},
      {"50 % missing", cont, Distinct(5, false, 1, Column(Missing(), 5)), false, true, 0, 0},
      {"62 %, rule off", cont, Distinct(5, false, 1, Column(Missing(), 8)), false, false, 0, 0},
      {"nothing valid, rule off", cont, Column(Missing(), 6), false, false, 3, 18},
      {"constant", cont, Column(Real(7), 10), false, true, 3, 19},
      {"constant, 60 % missing", cont, Column(Real(7), 4, Column(Missing(), 6)), false, true, 3,
       18},
      {"one category", nominal, Column(Int(2), 10), false, true, 3, 19},
      {"100 categories", nominal, Distinct(100), false, true, 0, 0},
      {"101 categories", nominal, Distinct(101), false, true, 3, 21},
      {"101, 60 % missing", nominal, Distinct(101, false, 1, Column(Missing(), 152)), false, true,
       3, 21},
      {"101 texts", text, Distinct(101, true), false, true, 3, 21},
      // Never excluded for its categories; recast to continuous instead.
      {"101 ordinal", [] { return OrdinalField("f"); }, Distinct(101), false, true, 5, 23},
      {"mode 96 %", nominal, Column(Int(1), 96, Distinct(4, false, 2)), true, true, 3, 20},
      {"mode 95 %", nominal, Column(Int(1), 95, Distinct(5, false, 2)), true, true, 0, 0},
      // 95 of all 100 records, though 95 of the 96 valid ones.
      {"mode 95 %, 4 missing", nominal,
       Column(Int(1), 95, Distinct(1, false, 2, Column(Missing(), 4))), true, true, 0, 0},
      {"text mode 96 %", text, Column(Str("a"), 96, Column(Missing(), 4)), true, true, 3, 20},
      {"mode 96 %, rule off", nominal, Column(Int(1), 96, Distinct(4, false, 2)), false, true, 0,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TorSettings settings = EarlyStepsOnly();
    settings.SetBool("excludeAlmostConstantCatFeature", c.almostConstantOn);
    settings.SetBool("excludeFeatureIfHasHigherPercentageOfMissingValue", c.missingRuleOn);
    settings.SetBool("trimBlanks", false);
    TorVarList vars;
    vars.AddVariable(c.field());
    Build build;
    const ZelVariableHandleInfo* f = RunEarly(build, vars, c.rows, settings).GetHandle(0);
    EXPECT_TRUE(c.step == 0 ? !f->IsExcluded() : ExcludedBy(f, c.step, c.action))
        << f->GetExcludedReasonText();
  }
}

TEST(FeatureScreenBuildTest, MissingShareCountsFrequencyWeights) {
  TorVarList vars;
  vars.AddVariable(ContField("w"));
  vars.AddVariable(ContField("f"));
  vars.SetFrequencyWeightIndex(0);
  // 8 of 13 weighted records are missing, though only 2 of 7 records.
  Rows rows = {{Real(4), Missing()}, {Real(4), Missing()}};
  for (int i = 0; i < 5; ++i) rows.push_back({Real(1), Real(i)});
  Build build;
  const ZelVariableHandleList& fields = RunEarly(build, vars, rows);
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(1), 3, 18));
}

TEST(CheckPointBuildTest, StopsWhenNoTargetOrNoInputIsLeft) {
  struct Case {
    bool hasTarget, targetUsable, inputUsable;
    int code;
  };
  const Case cases[] = {{true, false, true, 210012},
                        {true, false, false, 210012},
                        {true, true, false, 210013},
                        {false, false, false, 210013},
                        {true, true, true, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    TorVarList vars;
    if (c.hasTarget) vars.AddVariable(ContField("y", 2, kRoleTarget));
    vars.AddVariable(ContField("x"));
    MemorySource source;
    for (int i = 0; i < 6; ++i) {
      std::vector<Cell> row;
      if (c.hasTarget) row.push_back(c.targetUsable ? Real(i) : Missing());
      row.push_back(c.inputUsable ? Real(i) : Missing());
      source.Add(row);
    }
    TorSettings settings = EarlyStepsOnly();
    Build build;
    build.Run(settings, vars, source);
    ASSERT_NE(build.algorithm, nullptr);
    EXPECT_EQ(build.algorithm->IsBuilt(), c.code == 0);
    EXPECT_EQ(build.executeStatus.IsError() ? build.executeStatus.GetCode() : 0, c.code);
    TorStatus written;
    build.Pmml(&written);
    EXPECT_EQ(written.IsError(), c.code != 0);
  }
}

// A recast field takes over the source's finished statistics instead of
// waiting for a pass of its own.
TEST(CheckTypeBuildTest, RecastsBothWaysAtTheThresholds) {
  Rows fewValues = Column(Missing(), 1);
  for (int i = 0; i < 8; ++i) fewValues.push_back({Real(1 + i % 4)});
  struct Case {
    std::function<ITorVariable*()> field;
    Rows rows;
    uint32_t action;  // 0: not recast
    double maximum;
  };
  auto cont = [] { return ContField("f"); };
  auto ordinal = [] { return OrdinalField("f"); };
  auto textOrdinal = [] {
    return new TorCatVar("f", "", 10, kLevelCategoricalString, kRoleInput, true);
  };
  const Case cases[] = {
      {cont, fewValues, 24, 4},
      {cont, Distinct(5), 0, 0},
      {ordinal, Distinct(11), 23, 11},
      {ordinal, Distinct(10), 0, 0},
      {textOrdinal, Distinct(11, true), 0, 0},
  };
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("trimBlanks", false);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.rows.size() << " rows, action " << c.action);
    TorVarList vars;
    vars.AddVariable(c.field());
    Build build;
    const ZelVariableHandleList& fields = RunEarly(build, vars, c.rows, settings);
    ASSERT_EQ(fields.Count(), c.action == 0 ? 2 : 3);
    if (c.action == 0) continue;
    EXPECT_TRUE(ExcludedBy(fields.GetHandle(0), 5, c.action));
    const auto& stat =
        dynamic_cast<const ZelStatistic::ZelUnivarNumeric&>(*fields.GetHandle(2)->GetUnivariate());
    EXPECT_TRUE(stat.IsInformationCollected());
    EXPECT_EQ(stat.GetSummary().GetValidCount(), c.action == 24 ? 8 : 11);
    EXPECT_EQ(stat.GetSummary().GetMaximum(), c.maximum);
  }
}

TEST(CheckTypeBuildTest, TargetAndInputChecksAreSwitchedSeparately) {
  for (bool checkTarget : {false, true}) {
    SCOPED_TRACE(checkTarget);
    TorVarList vars;
    vars.AddVariable(ContField("y", 2, kRoleTarget));
    vars.AddVariable(ContField("f"));
    Rows rows;
    for (int i = 0; i < 8; ++i) rows.push_back({Real(i % 4), Real(i % 4)});
    TorSettings settings = EarlyStepsOnly();
    settings.SetBool("checkTargetMeasureLevel", checkTarget);
    settings.SetBool("checkFeatureMeasureLevel", !checkTarget);
    Build build;
    const ZelVariableHandleList& fields = RunEarly(build, vars, rows, settings);
    ASSERT_EQ(fields.Count(), 4);
    EXPECT_EQ(fields.GetHandle(0)->IsExcluded(), checkTarget);
    EXPECT_EQ(fields.GetHandle(1)->IsExcluded(), !checkTarget);
    EXPECT_EQ(fields.GetHandle(3)->GetName(), checkTarget ? "y_transformed" : "f_transformed");
    EXPECT_EQ(fields.GetTargetIndex(), checkTarget ? 3 : 0);
  }
}

}  // namespace
