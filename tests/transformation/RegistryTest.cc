// The table of steps and actions as the component reads it: every (step,
// action) pair, inside the table and past both its ends, gets a handler and
// a rule only where its step or its own action names one, made for that
// pair (which handler and rule a pair gets, the builds of each step show);
// the names and keys the table gives outside its rows; and the statistics a
// pass creates for the steps of the next.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "statistics/ZelCreateStatistics.h"
#include "support/TestHost.h"
#include "transformation/ZelOperationHandler.h"
#include "transformation/ZelRegistry.h"
#include "transformation/ZelTransformRule.h"

namespace {

using namespace ZelTransformation;
using TorCommon_1_3::TorStatus;

// Past the last step and action, so that the lookups' ends are crossed.
constexpr uint32_t kStepsTried = 14;
constexpr uint32_t kActionsTried = 58;

TEST(RegistryTest, EveryPairGetsAHandlerAndRuleOnlyWhereItsStepOrActionOwnsOne) {
  // A target and inputs of every kind, so that no constructor meets an
  // empty list.
  ZelSettings settings;
  ZelVariableHandleList fields(&settings);
  std::vector<std::unique_ptr<TorCommon_1_3::ITorVariable>> variables;
  for (TorCommon_1_3::ITorVariable* variable :
       {testhost::NominalField("t", true, TorCommon_1_3::kRoleTarget),
        testhost::ContField("x"), testhost::NominalField("c", false)}) {
    variables.emplace_back(variable);
    ASSERT_GE(fields.AddField(*variable), 0);
  }
  std::vector<TorStatus> warnings;
  int handlers = 0, rules = 0;
  for (uint32_t step = 0; step < kStepsTried; ++step) {
    for (uint32_t action = 0; action < kActionsTried; ++action) {
      SCOPED_TRACE(testing::Message() << "step " << step << ", action " << action);
      std::unique_ptr<ZelOperationHandler> handler(
          CreateHandler({step, action}, &fields, &warnings));
      if (handler != nullptr) {
        // The handler runs the pair it was made for, but the missing-value
        // step always runs as one replacement.
        const ZelOperationPair ran = handler->GetPair();
        EXPECT_EQ(ran.step, step);
        EXPECT_EQ(ran.action, step == 7 ? Action::kReplaceMissing : action);
        EXPECT_TRUE(handler->Check().IsOK());
        ++handlers;
      }

      TorStatus status(1, false);
      std::unique_ptr<ZelTransformRule> rule(CreateTransformRule({step, action}, &status));
      EXPECT_TRUE(status.IsOK());
      if (rule == nullptr) continue;
      // Trimming and the target's Box-Cox transformation derive for one
      // pair only, whatever they were asked for.
      const ZelOperationPair made = rule->GetPair();
      if (step == 1) {
        EXPECT_EQ(made, (ZelOperationPair{1, 1}));
      } else if (step == 8 && action == 34) {
        EXPECT_EQ(made, (ZelOperationPair{8, 34}));
      } else {
        EXPECT_EQ(made, (ZelOperationPair{step, action}));
      }
      ++rules;
    }
  }
  // Nine steps run every action tried; the other three, 15 actions.
  EXPECT_EQ(handlers, 9 * static_cast<int>(kActionsTried) + 15);
  // Seven steps derive for every action; the other three, for 10.
  EXPECT_EQ(rules, 7 * static_cast<int>(kActionsTried) + 10);
}

TEST(RegistryTest, NamesAndKeysEndWithTheTable) {
  EXPECT_EQ(GetStepName(0), "UnKnown_Step");
  EXPECT_EQ(GetStepName(7), "HandleMissingvalue");
  EXPECT_EQ(GetStepName(10), "HandleContinuousFeatures");
  EXPECT_EQ(GetStepName(11), "FlagMissingValues");
  EXPECT_EQ(GetStepName(12), "EncodeByTarget");
  EXPECT_EQ(GetStepName(13), "unrecognized");
  EXPECT_EQ(GetActionName(0), "UnKnown_Action");
  EXPECT_EQ(GetActionName(23), "TpyeOrdinalToScale");
  EXPECT_EQ(GetActionName(50), "ExcludeAfterConstruct");
  EXPECT_EQ(GetActionName(51), "SkewTransformContFeature");
  EXPECT_EQ(GetActionName(52), "DateElementWeekday");
  EXPECT_EQ(GetActionName(55), "FlagMissing");
  EXPECT_EQ(GetActionName(56), "TargetMeanCatFeature");
  // Two actions in the middle of the table have no name.
  for (uint32_t unnamed : {15u, 47u, 57u, 58u, 0xffffffffu}) {
    EXPECT_EQ(GetActionName(unnamed), "unrecognized") << unnamed;
  }
  EXPECT_EQ(GetOperationText({7, 25}), "Step=HandleMissingvalue; Action=ReplaceMissing");
  EXPECT_EQ(GetOperationText({11, 55}), "Step=FlagMissingValues; Action=FlagMissing");
  EXPECT_EQ(GetOperationText({12, 56}), "Step=EncodeByTarget; Action=TargetMeanCatFeature");
  EXPECT_EQ(GetOperationText({13, 57}), "Step=unrecognized; Action=unrecognized");

  EXPECT_EQ(FindStep(Step::kCount), nullptr);
  EXPECT_EQ(FindAction(Action::kCount), nullptr);
  EXPECT_STREQ(FindStep(4)->key, "");
  EXPECT_STREQ(FindStep(10)->key, "ContinuousFeatures");
  EXPECT_STREQ(FindAction(2)->reasonKey, "0000000000000");
  EXPECT_STREQ(FindAction(44)->reasonKey, "ExcludeCoverdFeature");
  // The unnamed exclusion still has a key; the unnamed source mark has none.
  EXPECT_STREQ(FindAction(47)->reasonKey, "ExcludeConstantAfterOutlier");
  EXPECT_STREQ(FindAction(15)->reasonKey, "");
}

TEST(RegistryTest, APassCreatesWhatTheStepsOfTheNextOneRead) {
  namespace Request = ZelStatistic::StatisticRequest;
  using Pairs = std::vector<ZelOperationPair>;
  EXPECT_EQ(StatisticsNeeded({}), std::vector<int>());
  // Both outlier treatments read the robust band, the target's Box-Cox
  // transformation its own statistic.
  EXPECT_EQ(StatisticsNeeded(Pairs{{6, 45}}), std::vector<int>{Request::kOutlier});
  EXPECT_EQ(StatisticsNeeded(Pairs{{6, 46}}), std::vector<int>{Request::kOutlier});
  EXPECT_EQ(StatisticsNeeded(Pairs{{8, 34}}), std::vector<int>{Request::kBoxCox});
  // The skewness step reads the Box-Cox sums of each skewed input.
  EXPECT_EQ(StatisticsNeeded(Pairs{{10, 51}}), std::vector<int>{Request::kSkew});
  // Target encoding reads each encoded input's statistic against the target.
  EXPECT_EQ(StatisticsNeeded(Pairs{{12, 56}}), std::vector<int>{Request::kTargetEncoding});
  // Missing values, reordering and rescaling read the univariate summary.
  EXPECT_EQ(StatisticsNeeded(Pairs{{7, 0}, {8, 33}, {10, 39}, {10, 40}}), std::vector<int>());
  // A step named without an action stands for all of its actions: the
  // bivariate pass may select, merge, bin or construct.
  EXPECT_EQ(StatisticsNeeded(Pairs{{9, 0}, {10, 41}, {10, 42}, {10, 43}}),
            std::vector<int>{Request::kTarget});
  EXPECT_EQ(StatisticsNeeded(Pairs{{9, 35}, {9, 48}, {10, 49}, {10, 50}}), std::vector<int>());
  // Each request once, in order, whatever order the steps come in.
  EXPECT_EQ(StatisticsNeeded(Pairs{{10, 43}, {8, 34}, {6, 45}, {9, 36}, {6, 46}}),
            (std::vector<int>{Request::kOutlier, Request::kBoxCox, Request::kTarget}));
  // An action under another step than its own, or past the table, needs
  // nothing.
  EXPECT_EQ(StatisticsNeeded(Pairs{{8, 45}, {10, 34}, {9, 51}, {10, 56}, {11, 0}, {13, 0}}),
            std::vector<int>());
}

}  // namespace
