#include "transformation/ZelPostFeatureScreenHandler.h"

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

namespace {

TorStatus Inconsistent() { return TorStatus(ZelStatusCode::kInconsistent, false); }

// Whether a categorical field took a single category.
TorStatus HasSingleCategory(const ZelVariableHandleInfo& field, bool* single) {
  const ZelStatistic::ZelStatistics* statistic = field.GetUnivariate();
  switch (field.GetMeasureLevel()) {
    case TorCommon_1_3::kLevelCategorical: {
      const auto* numbers = dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(statistic);
      if (numbers == nullptr) return Inconsistent();
      *single = numbers->GetSummary().GetTableSize() == 1;
      return TorStatus();
    }
    case TorCommon_1_3::kLevelCategoricalString: {
      const auto* texts = dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(statistic);
      if (texts == nullptr) return Inconsistent();
      *single = texts->GetTableSize() == 1;
      return TorStatus();
    }
    default:
      *single = false;
      return TorStatus();
  }
}

// Whether a continuous field took no valid value or a single one.
TorStatus IsConstant(const ZelVariableHandleInfo& field, bool* constant) {
  *constant = false;
  if (field.GetMeasureLevel() != TorCommon_1_3::kLevelContinuous) return TorStatus();
  const auto* statistic = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(field.GetUnivariate());
  if (statistic == nullptr) return Inconsistent();
  const ZelStatistic::ZelContSummary& summary = statistic->GetSummary();
  *constant = summary.GetValidCount() == 0 || summary.GetMaximum() == summary.GetMinimum();
  return TorStatus();
}

}  // namespace

TorStatus ZelPostFeatureScreenHandler::Check() {
  return pair_.step == Step::kHandleCategoricalFeatures ||
                 pair_.step == Step::kHandleContinuousFeatures
             ? TorStatus()
             : TorStatus(ZelStatusCode::kWrongStep, false);
}

TorStatus ZelPostFeatureScreenHandler::ProcessField(ZelVariableHandleInfo* field, int) {
  const ZelTransformRule* rule = field->GetRule();
  if (rule == nullptr) return TorStatus();
  const uint32_t made = rule->GetPair().action;
  bool constant = false;
  TorStatus status;
  if (pair_.action == Action::kExcludeConstantAfterMerge &&
      (made == Action::kMergeCatFeatureForSparse || made == Action::kMergeCatFeatureForAsso)) {
    status = HasSingleCategory(*field, &constant);
  } else if (pair_.action == Action::kExcludeConstantAfterBinning &&
             made == Action::kBinContFeature) {
    status = HasSingleCategory(*field, &constant);
  } else if (pair_.action == Action::kExcludeAfterConstruct &&
             made == Action::kConstructContFeature) {
    status = IsConstant(*field, &constant);
  }
  if (status.IsError()) return status;
  if (constant) field->Exclude(pair_);
  return status;
}

}  // namespace ZelTransformation
