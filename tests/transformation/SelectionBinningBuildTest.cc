// End-to-end builds for the steps that measure inputs against the target:
// categorical and continuous feature selection, and supervised binning with
// its cut points, which are worked out by hand from the data.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "frame/ZelStatusCodes.h"
#include "transformation/TransformTestUtil.h"
#include "transformation/ZelCatFeatureSelectionHandler.h"
#include "transformation/ZelSupervisedBinningDiscretizationRule.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace transformtest;
using ZelTransformation::ZelSupervisedBinningDiscretizationRule;

// Only the steps against the target run, on the fields as given.
TorSettings TargetStepsOnly(bool selection, bool binning) {
  TorSettings settings = FieldsAsGiven();
  settings.SetBool("featureSelection", selection);
  settings.SetBool("supervisedBinning", binning);
  return settings;
}

// Against a nominal target of 30 zeros and 30 ones, 2 × 2 tables
// [[19, 11], [11, 19]] (chi-square 64/15, p 0.039), [[18, 12], [12, 18]]
// (2.4, p 0.121) and [[15, 15], [15, 15]] (p 1); "lonely" takes its second
// category only where the target is missing.
TEST(CatFeatureSelectionBuildTest, FixedThresholdDecidesWhateverTheSetting) {
  Rows rows;
  for (int t = 0; t < 2; ++t) {
    for (int k = 0; k < 30; ++k) {
      const int a = k < (t == 0 ? 19 : 11) ? 0 : 1;
      const int b = k < (t == 0 ? 18 : 12) ? 0 : 1;
      rows.push_back({Int(t), Int(a), Int(b), Int(k % 2), Int(1)});
    }
  }
  rows.push_back({Missing(), Int(0), Int(0), Int(0), Int(2)});
  rows.push_back({Missing(), Int(1), Int(1), Int(1), Int(2)});
  for (double settingThreshold : {0.01, 0.5}) {
    SCOPED_TRACE(settingThreshold);
    TorVarList vars;
    vars.AddVariable(NominalField("t", false, kRoleTarget));
    for (const char* name : {"a", "b", "c", "lonely"}) vars.AddVariable(NominalField(name, false));
    TorSettings settings = TargetStepsOnly(true, true);
    settings.SetDouble("featureSelectionPValue", settingThreshold);
    Build build;
    const ZelVariableHandleList& fields = RunRows(build, vars, rows, settings);
    EXPECT_FALSE(fields.GetHandle(1)->IsExcluded());
    for (int i = 2; i <= 4; ++i) EXPECT_TRUE(ExcludedBy(fields.GetHandle(i), 9, 36)) << i;
    // Binning is on, but there is nothing continuous to bin.
    EXPECT_TRUE(HasWarning(build.warnings, ZelStatusCode::kBinningWithoutContinuousInput));
  }
}

TEST(CatFeatureSelectionBuildTest, PValueAtTheThresholdStays) {
  ZelSettings settings;
  settings.featureSelectionPvalue = 0.01;
  ZelVariableHandleList list(&settings);
  std::vector<std::unique_ptr<ITorVariable>> vars;
  for (ITorVariable* v :
       {NominalField("t", false, kRoleTarget), NominalField("a", true), NominalField("b", true)}) {
    vars.emplace_back(v);
    ASSERT_GE(list.AddField(*v), 0);
  }
  std::vector<TorStatus> warnings;
  std::unique_ptr<ZelTransformation::ZelOperationHandler> handler(
      ZelTransformation::CreateHandler({9, 36}, &list, &warnings));
  auto* selection = dynamic_cast<ZelTransformation::ZelCatFeatureSelectionHandler*>(handler.get());
  ASSERT_NE(selection, nullptr);
  EXPECT_TRUE(selection->TestPValue(0.05, list.GetHandle(1)));
  EXPECT_FALSE(list.GetHandle(1)->IsExcluded());
  EXPECT_TRUE(selection->TestPValue(std::nextafter(0.05, 1.0), list.GetHandle(1)));
  EXPECT_TRUE(ExcludedBy(list.GetHandle(1), 9, 36));
  // The failure mark decides nothing.
  EXPECT_FALSE(selection->TestPValue(-1.0, list.GetHandle(2)));
  EXPECT_FALSE(list.GetHandle(2)->IsExcluded());
}

// Target y = 1 … 8. perfect = 2y + 1 (r = 1); flat has covariance 0 with y;
// moderate has r = 5/7, t = 2.5 on 6 degrees of freedom (one-sided p
// between 0.01 and 0.05 by the t table); halves splits y into {1…4} and
// {5…8}; alternate into odd and even y (means 4 and 5: F = 0.3).
TEST(ContFeatureSelectionBuildTest, CorrelationAndAnalysisOfVarianceAgainstAContinuousTarget) {
  const double flat[] = {1, -1, -1, 1, 1, -1, -1, 1};
  const double moderate[] = {4, 1, 3, 2, 6, 8, 5, 7};
  Rows rows;
  for (int i = 0; i < 8; ++i) {
    const double y = i + 1;
    rows.push_back({Real(y), Real(2 * y + 1), Real(flat[i]), Real(moderate[i]), Int(i / 4),
                    Int(i % 2)});
  }
  for (double threshold : {0.05, 0.01}) {
    SCOPED_TRACE(threshold);
    TorVarList vars;
    vars.AddVariable(ContField("y", kStorageReal, kRoleTarget));
    for (const char* name : {"perfect", "flat", "moderate"}) vars.AddVariable(ContField(name));
    vars.AddVariable(NominalField("halves", false));
    vars.AddVariable(NominalField("alternate", false));
    TorSettings settings = TargetStepsOnly(true, true);
    settings.SetDouble("featureSelectionPValue", threshold);
    Build build;
    const ZelVariableHandleList& fields = RunRows(build, vars, rows, settings);
    EXPECT_FALSE(fields.GetHandle(1)->IsExcluded());
    EXPECT_TRUE(ExcludedBy(fields.GetHandle(2), 10, 42));
    if (threshold == 0.05) {
      EXPECT_FALSE(fields.GetHandle(3)->IsExcluded());
    } else {
      EXPECT_TRUE(ExcludedBy(fields.GetHandle(3), 10, 42));
    }
    EXPECT_FALSE(fields.GetHandle(4)->IsExcluded());
    EXPECT_TRUE(ExcludedBy(fields.GetHandle(5), 9, 36));
    EXPECT_TRUE(HasWarning(build.warnings, ZelStatusCode::kBinningWithoutCategoricalTarget));
  }
}

struct BinGroup {
  double low, high;  // the two values of each target category
};

// Two records per target category; x holds the given pair for category k.
Rows BinningRows(const std::vector<std::vector<BinGroup>>& inputs) {
  Rows rows;
  for (std::size_t k = 0; k < inputs[0].size(); ++k) {
    for (int side = 0; side < 2; ++side) {
      std::vector<Cell> row{Int(static_cast<long long>(k))};
      for (const auto& groups : inputs) row.push_back(Real(side ? groups[k].high : groups[k].low));
      rows.push_back(row);
    }
  }
  return rows;
}

const ZelSupervisedBinningDiscretizationRule* BinningRuleOf(const ZelVariableHandleList& fields,
                                                            int source) {
  for (int i = 0; i < fields.Count(); ++i) {
    const auto* rule =
        dynamic_cast<const ZelSupervisedBinningDiscretizationRule*>(fields.GetHandle(i)->GetRule());
    if (rule != nullptr && rule->GetSourceIndex() == source) return rule;
  }
  return nullptr;
}

TEST(SupervisedBinningBuildTest, SubsetsAndCutPoints) {
  // Category means 1.0, 1.1 and 5.0, spread 0.25 within each: Scheffé's
  // difference sqrt(9.55 · 4) · sqrt(0.375 · 1.5 / 9) (9.55 the critical F
  // for 2 and 3 degrees of freedom) is about 1.5, so {1.0, 1.1} and {5.0}.
  // (Well separated means and a single subset are checked in the document.)
  TorVarList vars;
  vars.AddVariable(NominalField("t", false, kRoleTarget));
  vars.AddVariable(ContField("near"));
  Build build;
  const ZelVariableHandleList& fields =
      RunRows(build, vars, BinningRows({{{0.75, 1.25}, {0.85, 1.35}, {4.75, 5.25}}}),
              TargetStepsOnly(false, true));
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(1), 10, 41));

  // Pooled mean 1.05 and deviation sqrt((2·0.05² · 2 + 0.125 · 2) / 3) for
  // {1.0, 1.1}; mean 5.0 and deviation sqrt(0.125) for {5.0}.
  const double s0 = std::sqrt((4 * 0.05 * 0.05 + 0.25) / 3);
  const double s1 = std::sqrt(0.125);
  const double cut = 1.05 + 3.95 * (s0 + 1e-11) / (s0 + s1 + 2e-11);
  const auto* near = BinningRuleOf(fields, 1);
  ASSERT_NE(near, nullptr);
  ASSERT_EQ(near->GetCutPoints().size(), 1u);
  EXPECT_NEAR(near->GetCutPoints()[0], cut, 1e-12);
  EXPECT_EQ(near->GetMinimum(), 0.75);
  EXPECT_EQ(near->GetMaximum(), 5.25);
  EXPECT_EQ(near->GetDiscretizationKind(), 1);

  // The binned field is ordinal; a value on a cut point takes the lower bin.
  EXPECT_TRUE(fields.GetHandle(fields.Count() - 1)->IsOrdinal());
  EXPECT_EQ(fields.GetHandle(fields.Count() - 1)->GetRule(), near);
  ZelSupervisedBinningDiscretizationRule rule({10, 41});
  rule.AddInput("far", 0);
  rule.SetCutPoints({5.5, 15.0});
  struct Case {
    Cell value;
    double bin;
  };
  const Case cases[] = {{Real(-100), 0},   {Real(5.5), 0},  {Real(std::nextafter(5.5, 6.0)), 1},
                        {Int(15), 1},      {Real(15.5), 2}, {Str("x"), 0}};
  for (const Case& c : cases) {
    const RawData& out = rule.Apply(MakeRecord({c.value}));
    EXPECT_FALSE(out.IsMissing());
    EXPECT_EQ(out.GetReal(), c.bin);
  }
  EXPECT_TRUE(rule.Apply(MakeRecord({Missing()})).IsMissing());
}

}  // namespace
