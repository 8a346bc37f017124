// The table of steps and actions as the component reads it: every (step,
// action) pair, inside the table and past both its ends, against the
// handler and rule classes the pair calls for as the step framework
// describes them case by case; the names and keys the table gives outside
// its rows; and the statistics a pass creates for the steps of the next.
#include <gtest/gtest.h>

#include <memory>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "statistics/ZelCreateStatistics.h"
#include "support/TestHost.h"
#include "transformation/ZelBoxCoxFunctionRule.h"
#include "transformation/ZelCatFeatureSelectionHandler.h"
#include "transformation/ZelCheckPointHandler.h"
#include "transformation/ZelCheckTypeFunctionRule.h"
#include "transformation/ZelCheckTypeHandler.h"
#include "transformation/ZelConstructFeatureHandler.h"
#include "transformation/ZelConstructTransformRule.h"
#include "transformation/ZelContFeatureSelectionHandler.h"
#include "transformation/ZelDateTimeFeatureHandler.h"
#include "transformation/ZelDateTimeFunctionRule.h"
#include "transformation/ZelFeatureScreenHandler.h"
#include "transformation/ZelMissingIndicatorHandler.h"
#include "transformation/ZelMissingIndicatorRule.h"
#include "transformation/ZelMissingValueHandler.h"
#include "transformation/ZelMissingValueMappingRule.h"
#include "transformation/ZelOutlierFunctionRule.h"
#include "transformation/ZelOutlierHandler.h"
#include "transformation/ZelPostFeatureScreenHandler.h"
#include "transformation/ZelRegistry.h"
#include "transformation/ZelReorderFunctionRule.h"
#include "transformation/ZelReorderHandler.h"
#include "transformation/ZelRescaleContFeatureFunctionRule.h"
#include "transformation/ZelRescaleContFeatureHandler.h"
#include "transformation/ZelSkewTransformFunctionRule.h"
#include "transformation/ZelSkewTransformHandler.h"
#include "transformation/ZelStringFeatureHandler.h"
#include "transformation/ZelSupervisedBinningDiscretizationRule.h"
#include "transformation/ZelSupervisedBinningHandler.h"
#include "transformation/ZelSupervisedMergeHandler.h"
#include "transformation/ZelSupervisedMergeMappingRule.h"
#include "transformation/ZelTargetEncodingHandler.h"
#include "transformation/ZelTargetHandler.h"
#include "transformation/ZelTargetMeanRule.h"
#include "transformation/ZelTrimEndFunctionRule.h"
#include "transformation/ZelUnsupervisedMergeHandler.h"
#include "transformation/ZelUnsupervisedMergeMappingRule.h"

namespace {

using namespace ZelTransformation;
using TorCommon_1_3::TorStatus;

// Past the last step and action, so that the lookups' ends are crossed.
constexpr uint32_t kStepsTried = 14;
constexpr uint32_t kActionsTried = 58;

const std::type_index kNoClass = typeid(void);

// The handler the step framework names for a pair: the first seven steps
// and the missing-value indicators run every action with their own handler;
// the target, categorical and continuous steps have one per action, and none
// for the others.
std::type_index ExpectedHandler(uint32_t step, uint32_t action) {
  switch (step) {
    case 1: return typeid(ZelStringFeatureHandler);
    case 2: return typeid(ZelDateTimeFeatureHandler);
    case 3: return typeid(ZelFeatureScreenHandler);
    case 4: return typeid(ZelCheckPointHandler);
    case 5: return typeid(ZelCheckTypeHandler);
    case 6: return typeid(ZelOutlierHandler);
    case 7: return typeid(ZelMissingValueHandler);
    case 8:
      if (action == 33) return typeid(ZelReorderHandler);
      if (action == 34) return typeid(ZelTargetHandler);
      return kNoClass;
    case 9:
      if (action == 35) return typeid(ZelUnsupervisedMergeHandler);
      if (action == 36) return typeid(ZelCatFeatureSelectionHandler);
      if (action == 37) return typeid(ZelReorderHandler);
      if (action == 38) return typeid(ZelSupervisedMergeHandler);
      if (action == 48) return typeid(ZelPostFeatureScreenHandler);
      return kNoClass;
    case 10:
      if (action == 39 || action == 40) return typeid(ZelRescaleContFeatureHandler);
      if (action == 41) return typeid(ZelSupervisedBinningHandler);
      if (action == 42) return typeid(ZelContFeatureSelectionHandler);
      if (action == 43) return typeid(ZelConstructFeatureHandler);
      if (action == 49 || action == 50) return typeid(ZelPostFeatureScreenHandler);
      if (action == 51) return typeid(ZelSkewTransformHandler);
      return kNoClass;
    case 11: return typeid(ZelMissingIndicatorHandler);
    case 12: return typeid(ZelTargetEncodingHandler);
    default:
      return kNoClass;
  }
}

// The rule class and transform type of the field a pair derives.
struct ExpectedRule {
  std::type_index type;
  int ruleType;
};

ExpectedRule RuleFor(uint32_t step, uint32_t action) {
  switch (step) {
    case 1: return {typeid(ZelTrimEndFunctionRule), RuleType::kFunctions};
    case 2: return {typeid(ZelDateTimeFunctionRule), RuleType::kFunctions};
    case 5: return {typeid(ZelCheckTypeFunctionRule), RuleType::kFunctions};
    case 6: return {typeid(ZelOutlierFunctionRule), RuleType::kFunctions};
    case 7: return {typeid(ZelMissingValueMappingRule), RuleType::kValueMapping};
    case 11: return {typeid(ZelMissingIndicatorRule), RuleType::kValueMapping};
    case 12: return {typeid(ZelTargetMeanRule), RuleType::kValueMapping};
    case 8:
      if (action == 33) return {typeid(ZelReorderFunctionRule), RuleType::kFunctions};
      if (action == 34) return {typeid(ZelBoxCoxFunctionRule), RuleType::kFunctions};
      break;
    case 9:
      if (action == 35) return {typeid(ZelUnsupervisedMergeMappingRule), RuleType::kValueMapping};
      if (action == 37) return {typeid(ZelReorderFunctionRule), RuleType::kFunctions};
      if (action == 38) return {typeid(ZelSupervisedMergeMappingRule), RuleType::kValueMapping};
      break;
    case 10:
      if (action == 39 || action == 40) {
        return {typeid(ZelRescaleContFeatureFunctionRule), RuleType::kFunctions};
      }
      if (action == 41) {
        return {typeid(ZelSupervisedBinningDiscretizationRule), RuleType::kDiscretization};
      }
      if (action == 43) return {typeid(ZelConstructTransformRule), RuleType::kConstructFeature};
      if (action == 51) return {typeid(ZelSkewTransformFunctionRule), RuleType::kFunctions};
      break;
    default:
      break;
  }
  return {kNoClass, -1};
}

TEST(RegistryTest, EveryPairGetsTheHandlerAndRuleItsStepOrActionOwns) {
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
      const std::type_index expected = ExpectedHandler(step, action);
      if (expected == kNoClass) {
        EXPECT_EQ(handler, nullptr);
      } else {
        ASSERT_NE(handler, nullptr);
        const auto& created = *handler;
        EXPECT_EQ(std::type_index(typeid(created)), expected);
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
      const ExpectedRule want = RuleFor(step, action);
      if (want.type == kNoClass) {
        EXPECT_EQ(rule, nullptr);
        continue;
      }
      ASSERT_NE(rule, nullptr);
      const auto& object = *rule;
      EXPECT_EQ(std::type_index(typeid(object)), want.type);
      EXPECT_EQ(rule->GetRuleType(), want.ruleType);
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
