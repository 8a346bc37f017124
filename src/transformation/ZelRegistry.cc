#include "transformation/ZelRegistry.h"

#include <algorithm>
#include <type_traits>

#include "statistics/ZelCreateStatistics.h"
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
#include "transformation/ZelOperationHandler.h"
#include "transformation/ZelOutlierFunctionRule.h"
#include "transformation/ZelOutlierHandler.h"
#include "transformation/ZelPostFeatureScreenHandler.h"
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
#include "transformation/ZelTransformRule.h"
#include "transformation/ZelTrimEndFunctionRule.h"
#include "transformation/ZelUnsupervisedMergeHandler.h"
#include "transformation/ZelUnsupervisedMergeMappingRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;
using ZelRegistry::Category;

namespace {

// The words of the table's class columns that name no class.
struct None;
struct ByStep;
struct ByAction;

template <class Handler>
ZelOperationHandler* MakeHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                                 std::vector<TorStatus>* warnings) {
  return new Handler(pair, fields, warnings);
}

// Rules that only ever derive for one pair know it themselves.
template <class Rule>
ZelTransformRule* MakeRule(const ZelOperationPair& pair) {
  if constexpr (std::is_constructible_v<Rule, const ZelOperationPair&>) {
    return new Rule(pair);
  } else {
    return new Rule();
  }
}

enum class Column { kClass, kNone, kByStep, kByAction };

template <class T>
constexpr Column ColumnOf() {
  if constexpr (std::is_same_v<T, None>) return Column::kNone;
  if constexpr (std::is_same_v<T, ByStep>) return Column::kByStep;
  if constexpr (std::is_same_v<T, ByAction>) return Column::kByAction;
  return Column::kClass;
}

template <class Handler>
constexpr HandlerMaker HandlerOf() {
  if constexpr (ColumnOf<Handler>() == Column::kClass) return &MakeHandler<Handler>;
  return nullptr;
}

template <class Rule>
constexpr RuleMaker RuleOf() {
  if constexpr (ColumnOf<Rule>() == Column::kClass) return &MakeRule<Rule>;
  return nullptr;
}

namespace Needs {
constexpr int kNone = 0;
using ZelStatistic::StatisticRequest::kBoxCox;
using ZelStatistic::StatisticRequest::kOutlier;
using ZelStatistic::StatisticRequest::kSkew;
using ZelStatistic::StatisticRequest::kTarget;
using ZelStatistic::StatisticRequest::kTargetEncoding;
}  // namespace Needs

#define ZEL_STEP_ENTRY(step, id, name, key, handler, rule) \
  {step, name, key, HandlerOf<handler>(), RuleOf<rule>()},
constexpr ZelStepEntry kSteps[] = {ZEL_STEPS(ZEL_STEP_ENTRY)};
#undef ZEL_STEP_ENTRY

#define ZEL_ACTION_ENTRY(step, action, id, name, key, category, words, handler, rule, expression, \
                         quote, statistics)                                                      \
  {step,                                                                                         \
   action,                                                                                       \
   name,                                                                                         \
   key,                                                                                          \
   Category::k##category,                                                                        \
   HandlerOf<handler>(),                                                                         \
   RuleOf<rule>(),                                                                               \
   Expression::k##expression,                                                                    \
   Quote::k##quote,                                                                              \
   Needs::k##statistics},
constexpr ZelActionEntry kActions[] = {ZEL_ACTIONS(ZEL_ACTION_ENTRY)};
#undef ZEL_ACTION_ENTRY

// Where the table says who runs an action and who derives its field.
struct Owners {
  uint32_t step;
  Column handler;
  Column rule;
};

#define ZEL_STEP_OWNERS(step, id, name, key, handler, rule) \
  {step, ColumnOf<handler>(), ColumnOf<rule>()},
constexpr Owners kStepOwners[] = {ZEL_STEPS(ZEL_STEP_OWNERS)};
#undef ZEL_STEP_OWNERS

#define ZEL_ACTION_OWNERS(step, action, id, name, key, category, words, handler, rule, \
                          expression, quote, statistics)                               \
  {step, ColumnOf<handler>(), ColumnOf<rule>()},
constexpr Owners kActionOwners[] = {ZEL_ACTIONS(ZEL_ACTION_OWNERS)};
#undef ZEL_ACTION_OWNERS

// A step that names a class serves all its actions with it; a step that
// leaves them to its actions has no action that defers to it.
constexpr bool Agrees(Column step, Column action) {
  if (step == Column::kClass) return action == Column::kByStep;
  if (step == Column::kByAction) return action != Column::kByStep;
  return action != Column::kClass;
}

constexpr bool TableIsSound() {
  for (uint32_t i = 0; i < Step::kCount; ++i) {
    if (kSteps[i].step != i || kStepOwners[i].handler == Column::kByStep ||
        kStepOwners[i].rule == Column::kByStep) {
      return false;
    }
  }
  for (uint32_t i = 0; i < Action::kCount; ++i) {
    const Owners& action = kActionOwners[i];
    if (kActions[i].action != i || action.step >= Step::kCount ||
        !Agrees(kStepOwners[action.step].handler, action.handler) ||
        !Agrees(kStepOwners[action.step].rule, action.rule) ||
        action.handler == Column::kByAction || action.rule == Column::kByAction) {
      return false;
    }
    // A field the summary counts as derived has a rule that made it; an
    // exclusion derives nothing.
    const bool rule = action.rule == Column::kClass ||
                      (action.rule == Column::kByStep &&
                       kStepOwners[action.step].rule == Column::kClass);
    if (kActions[i].category == Category::kDerivation && !rule) return false;
    if (kActions[i].category == Category::kExclusion && action.rule == Column::kClass) {
      return false;
    }
    // Every derived field, and nothing else, has an expression.
    if ((kActions[i].category == Category::kDerivation) !=
        (kActions[i].expression != Expression::kNone)) {
      return false;
    }
  }
  return true;
}
static_assert(TableIsSound(),
              "rows numbered in order, each class named once for its step, a rule and an "
              "expression for each derivation");

// The action's own row, when it belongs to `step`.
const ZelActionEntry* FindActionOfStep(uint32_t step, uint32_t action) {
  const ZelActionEntry* entry = FindAction(action);
  return entry != nullptr && entry->step == step ? entry : nullptr;
}

// The step's own handler or rule, which serves all its actions, else the
// action's, when the action belongs to the step.
template <class Maker>
Maker MakerOf(const ZelOperationPair& pair, Maker ZelStepEntry::*ofStep,
              Maker ZelActionEntry::*ofAction) {
  const ZelStepEntry* step = FindStep(pair.step);
  if (step == nullptr) return nullptr;
  if (step->*ofStep != nullptr) return step->*ofStep;
  const ZelActionEntry* action = FindActionOfStep(pair.step, pair.action);
  return action != nullptr ? action->*ofAction : nullptr;
}

}  // namespace

const ZelStepEntry* FindStep(uint32_t step) { return step < Step::kCount ? &kSteps[step] : nullptr; }

const ZelActionEntry* FindAction(uint32_t action) {
  return action < Action::kCount ? &kActions[action] : nullptr;
}

std::vector<int> StatisticsNeeded(const std::vector<ZelOperationPair>& steps) {
  std::vector<int> requests;
  auto need = [&requests](const ZelActionEntry& entry) {
    if (entry.statistics != Needs::kNone) requests.push_back(entry.statistics);
  };
  for (const ZelOperationPair& pair : steps) {
    if (pair.action == Action::kUnknown) {
      for (const ZelActionEntry& entry : kActions) {
        if (entry.step == pair.step) need(entry);
      }
    } else if (const ZelActionEntry* entry = FindActionOfStep(pair.step, pair.action)) {
      need(*entry);
    }
  }
  std::sort(requests.begin(), requests.end());
  requests.erase(std::unique(requests.begin(), requests.end()), requests.end());
  return requests;
}

ZelOperationHandler* CreateHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                                   std::vector<TorStatus>* warnings) {
  const HandlerMaker make = MakerOf(pair, &ZelStepEntry::handler, &ZelActionEntry::handler);
  return make != nullptr ? make(pair, fields, warnings) : nullptr;
}

ZelTransformRule* CreateTransformRule(const ZelOperationPair& pair, TorStatus* status) {
  if (status != nullptr) *status = TorStatus();
  const RuleMaker make = MakerOf(pair, &ZelStepEntry::rule, &ZelActionEntry::rule);
  return make != nullptr ? make(pair) : nullptr;
}

}  // namespace ZelTransformation
