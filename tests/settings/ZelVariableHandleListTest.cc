#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelVariableHandleList.h"
#include "statistics/ZelUnivarNumeric.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using TorCommon_1_3::ITorVariable;
using ZelTransformation::ZelOperationPair;

// Host fields: 0 target, 1 continuous, 2 nominal, 3 ordinal, 4 frequency
// weight, 5 analysis weight, 6 no measurement level.
class VariableHandleListTest : public ::testing::Test {
 protected:
  VariableHandleListTest() {
    settings.frequencyWeightIndex = 4;
    settings.analysisWeightIndex = 5;
    Host(ContField("target", TorCommon_1_3::kStorageReal, TorCommon_1_3::kRoleTarget));
    Host(ContField("x"));
    Host(NominalField("n", true));
    Host(OrdinalField("o"));
    Host(ContField("f"));
    Host(ContField("a"));
    ITorVariable* none = ContField("z");
    none->SetMeasureLevel(TorCommon_1_3::kLevelNone);
    Host(none);
  }
  void Host(ITorVariable* variable) {
    variables.emplace_back(variable);
    const int index = list.AddField(*variable);
    EXPECT_EQ(index, list.Count() - 1);
  }

  ZelSettings settings;
  ZelVariableHandleList list{&settings};
  std::vector<std::unique_ptr<ITorVariable>> variables;
};

TEST_F(VariableHandleListTest, IndicesKindsAndInputs) {
  ASSERT_EQ(list.Count(), 7);
  EXPECT_EQ(list.GetHandle(7), nullptr);
  EXPECT_EQ(list.GetTargetIndex(), 0);
  const int expectedKinds[] = {FieldKind::kHostTarget,      FieldKind::kHostInput,
                               FieldKind::kHostInput,       FieldKind::kHostInput,
                               FieldKind::kFrequencyWeight, FieldKind::kAnalysisWeight,
                               FieldKind::kHostInput};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(list.GetFieldKind(i), expectedKinds[i]) << i;
    EXPECT_EQ(list.GetRootIndex(i), -1) << i;
  }
  EXPECT_EQ(list.GetContinuousInputs(), (std::vector<int>{1, 4, 5}));
  EXPECT_EQ(list.GetCategoricalInputs(), (std::vector<int>{2, 3}));
  EXPECT_EQ(list.GetValidCount(), 5);

  // A derived target takes over once the host target is excluded; a derived
  // field whose chain has no rule counts as transformed and has no root.
  const int derivedTarget = list.AddDerivedField("t2", "", MeasureKind::kContinuous, true,
                                                 TorCommon_1_3::kStorageReal, ZelOperationPair{});
  const int copy = list.AddDerivedCopy("x2", *variables[1], ZelOperationPair{});
  ASSERT_TRUE(derivedTarget == 7 && copy == 8);
  EXPECT_EQ(list.GetTargetIndex(), 0);
  list.GetHandle(0)->Exclude({5, 23});
  list.GetHandle(2)->Exclude({3, 21});
  EXPECT_EQ(list.GetTargetIndex(), derivedTarget);
  EXPECT_EQ(list.GetFieldKind(derivedTarget), FieldKind::kDerivedTarget);
  EXPECT_EQ(list.GetFieldKind(copy), FieldKind::kTransformed);
  EXPECT_EQ(list.GetRootIndex(copy), -1);
  EXPECT_EQ(list.GetContinuousInputs(), (std::vector<int>{1, 4, 5, copy}));
  EXPECT_EQ(list.GetCategoricalInputs(), (std::vector<int>{3}));
  EXPECT_EQ(list.GetValidCount(), 5);
}

TEST_F(VariableHandleListTest, PassesFeedThePendingFields) {
  list.GetHandle(3)->Exclude({3, 18});
  list.BeginPass();
  EXPECT_EQ(list.GetPending(), (std::vector<int>{0, 1, 2, 4, 5}));
  for (double v : {1.0, 3.0}) {
    ASSERT_TRUE(list.ProcessRecord(MakeRecord({Real(v), Real(v), Str("a"), Int(1), Int(2), Real(1),
                                               Missing()}))
                    .IsOK());
  }
  ASSERT_TRUE(list.EndPass().IsOK());
  const auto* x =
      dynamic_cast<const ZelStatistic::ZelUnivarNumeric*>(list.GetHandle(1)->GetUnivariate());
  EXPECT_EQ(x->GetSummary().GetValidCount(), 4);
  EXPECT_EQ(x->GetSummary().GetMean(), 2);
  list.BeginPass();
  EXPECT_TRUE(list.GetPending().empty());

  // The first error stops the record: later fields do not see it.
  ZelVariableHandleList fresh(&settings);
  for (const auto& v : variables) fresh.AddField(*v);
  fresh.BeginPass();
  EXPECT_EQ(fresh
                .ProcessRecord(
                    MakeRecord({Str("bad"), Real(1), Str("a"), Int(1), Int(1), Real(1), Missing()}))
                .GetCode(),
            ZelStatusCode::kBadValueType);
  EXPECT_EQ(fresh.GetHandle(0)->GetStatus().GetCode(), ZelStatusCode::kBadValueType);
  const auto* untouched =
      dynamic_cast<const ZelStatistic::ZelUnivarNumeric*>(fresh.GetHandle(1)->GetUnivariate());
  EXPECT_EQ(untouched->GetSummary().GetValidCount(), 0);
}

TEST_F(VariableHandleListTest, Display) {
  list.GetHandle(0)->Exclude({3, 18});
  list.GetHandle(0)->Exclude({5, 23});  // the first reason stays
  std::ostringstream out;
  list.Display(out);
  const std::string expectedStart =
      "Display ZelVariableHandleList begin,\nVar Count: 7\nValid Var Count: 4\nIndex: 0\n"
      "Name = [target] [Real][Target][Excluded - Step=FeatureScreening; "
      "Action=ScreenMissingFeature]\nDisplay ZelStatistics, Type = UnivariateCont; "
      "[Info Isnot Collected] [Need Not DoStatistics]\nIndex: 1\n";
  EXPECT_EQ(out.str().rfind(expectedStart, 0), 0u);
  EXPECT_NE(out.str().find("Name = [f] [Real][FrequencyWeight]\nDisplay"), std::string::npos);
  EXPECT_NE(out.str().find("End of display ZelVariableHandleList\n"), std::string::npos);
}

}  // namespace
