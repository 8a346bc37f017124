// ZelRegistry: the component's view of the table of steps and actions
// (ZelRegistryTable.h): per step and per action, its names and summary
// texts, and what the component makes of it: the handler that runs it, the
// rule of the field it derives, the expression the document writer makes of
// that rule, the parameters the summary quotes and the statistics its
// handler reads. The factories, the pass driver, the summary and the
// document writer look actions up here instead of switching on numbers.
#ifndef ZELCRAFT_TRANSFORMATION_ZELREGISTRY_H_
#define ZELCRAFT_TRANSFORMATION_ZELREGISTRY_H_

#include <cstdint>
#include <vector>

#include "torcommon13r/TorStatus.h"
#include "transformation/ZelOperation.h"

class ZelVariableHandleList;

namespace ZelTransformation {

class ZelOperationHandler;
class ZelTransformRule;

// The PMML the document writer makes of a rule of the action.
enum class Expression {
  kNone,                // no expression
  kFunctionCall,        // Apply(function of the rule, source)
  kDurationCall,        // Apply(function of the rule, source, reference)
  kOutlierCall,         // Apply(outlierHandle, source, treatment, band, weight)
  kMissingReplacement,  // NormContinuous or MapValues that map the missing value
  kReorder,             // MapValues from category to code, and the codes as values
  kBoxCoxRescale,       // the Box-Cox transform, rescaled
  kFeatureRescale,      // the z-score or min-max map
  kMergeMapping,        // MapValues from category to merged category
  kDiscretize,          // Discretize over the cut points
  kSumOfProducts,       // the sum of coefficient times input
  kSkewTransform,       // the Box-Cox transform or the signed logarithm of an input
  kCalendarArithmetic,  // a calendar part in floor arithmetic on the day number or seconds
  kMissingIndicator,    // MapValues: 1 for a missing value, 0 for any other
  kTargetMeanMapping,   // MapValues from category to target mean, with the cross-fitting
};

// The parameters the summary shows with the action, in its step summary and
// on the fields it made or excluded.
enum class Quote {
  kNone,              // none
  kRule,              // the rule's numbers, else its texts
  kReferenceDate,     // the reference date of durations
  kReferenceTime,     // the reference time of durations
  kRecastCategories,  // the category count above which ordinals become continuous
  kRecastValues,      // the value count below which continuous fields become ordinal
  kBoxCox,            // the target's requested mean and SD, and the exponent
  kZscore,            // the requested mean and SD
  kMinMax,            // the requested range
  kOutlierCutoff,     // the cutoff in robust SDs
  kReplacement,       // the replacement and, on a field, how many values it took
  kMissingShare,      // the largest share of missing values
  kModeShare,         // the largest share of one category
  kCategoryLimit,     // the most categories
  kMissingFlagShare,  // the least share of missing values that earns an indicator
  kSmoothing,         // the weight of the overall mean in a category's target mean
};

using HandlerMaker = ZelOperationHandler* (*)(const ZelOperationPair& pair,
                                              ZelVariableHandleList* fields,
                                              std::vector<TorCommon_1_3::TorStatus>* warnings);
using RuleMaker = ZelTransformRule* (*)(const ZelOperationPair& pair);

struct ZelStepEntry {
  uint32_t step;
  const char* name;
  const char* key;  // the summary's step key; "" for steps it never names
  // Serve every action of the step; null where each action has its own.
  HandlerMaker handler;
  RuleMaker rule;
};

struct ZelActionEntry {
  uint32_t step;
  uint32_t action;
  const char* name;  // null for the actions without a name
  const char* reasonKey;
  ZelRegistry::Category category;
  // The action's own; null where its step's serve or there is none.
  HandlerMaker handler;
  RuleMaker rule;
  Expression expression;
  Quote quote;
  // ZelStatistic::StatisticRequest, or 0 for the univariate summary alone.
  int statistics;
};

// Null outside the registry.
const ZelStepEntry* FindStep(uint32_t step);
const ZelActionEntry* FindAction(uint32_t action);

// The statistic requests (ZelStatistic::CreateStatistics) that the handlers
// of `steps` read, each once, in ascending order. A pair with the action
// Unknown stands for every action of its step.
std::vector<int> StatisticsNeeded(const std::vector<ZelOperationPair>& steps);

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELREGISTRY_H_
