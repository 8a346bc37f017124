#include "transformation/ZelCatFeatureSelectionHandler.h"

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBivarCatTargetCat.h"
#include "statistics/ZelBivarContTargetCat.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

ZelCatFeatureSelectionHandler::ZelCatFeatureSelectionHandler(
    const ZelOperationPair& pair, ZelVariableHandleList* fields,
    std::vector<TorCommon_1_3::TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings), targetIndex_(fields->GetTargetIndex()) {
  if (!Settings()->featureSelection) return;
  const ZelVariableHandleInfo* target = fields->GetHandle(targetIndex_);
  if (target == nullptr) {
    Warn(ZelStatusCode::kSelectionWithoutTarget);
  } else if (target->IsCategorical() && fields->GetCategoricalInputs().empty()) {
    Warn(ZelStatusCode::kSelectionWithoutCategoricalInput);
  } else if (target->IsContinuous() && fields->GetContinuousInputs().empty()) {
    Warn(ZelStatusCode::kSelectionWithoutContinuousInput);
  }
}

TorStatus ZelCatFeatureSelectionHandler::Check() {
  return CheckStep(Step::kHandleCategoricalFeatures);
}

bool ZelCatFeatureSelectionHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->featureSelection && targetIndex_ != -1;
}

TorStatus ZelCatFeatureSelectionHandler::ProcessField(ZelVariableHandleInfo* field, int) {
  if (field->IsTarget() || !field->IsCategorical()) return TorStatus();
  const ZelVariableHandleInfo* target = fields_->GetHandle(targetIndex_);
  if (target == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  bool untestable = false;
  result_ = TorStatus();
  const double p = target->IsContinuous() ? TestAgainstContinuousTarget(*field, &untestable)
                                          : TestAgainstCategoricalTarget(*field, &untestable);
  if (result_.IsError()) return result_;
  if (untestable) {
    field->Exclude(pair_);
    return TorStatus();
  }
  TestPValue(p, field);
  return result_;
}

double ZelCatFeatureSelectionHandler::TestAgainstCategoricalTarget(
    const ZelVariableHandleInfo& field, bool* untestable) {
  const auto* statistic =
      dynamic_cast<const ZelStatistic::ZelBivarCatTargetCat*>(field.GetTargetStatistic());
  if (statistic == nullptr) {
    result_ = TorStatus(ZelStatusCode::kInconsistent, false);
    return -1.0;
  }
  ZelStatistic::ZelContingencyTable table = statistic->GetTable();
  table.RemoveEmptyRows();
  *untestable = table.Rows() < 2;
  if (*untestable) return -1.0;
  return test_.PValueCatTarget(table, !statistic->IsNominalTarget());
}

double ZelCatFeatureSelectionHandler::TestAgainstContinuousTarget(
    const ZelVariableHandleInfo& field, bool* untestable) {
  const auto* statistic =
      dynamic_cast<const ZelStatistic::ZelBivarContTargetCat*>(field.GetTargetStatistic());
  if (statistic == nullptr) {
    result_ = TorStatus(ZelStatusCode::kInconsistent, false);
    return -1.0;
  }
  std::vector<ZelStatistic::ZelCategoryMoments> categories;
  for (const ZelStatistic::ZelCategoryMoments& c : statistic->GetMoments()) {
    if (c.frequency != 0.0) categories.push_back(c);
  }
  *untestable = categories.size() < 2;
  if (*untestable) return -1.0;
  return test_.PValueContTarget(categories);
}

bool ZelCatFeatureSelectionHandler::TestPValue(double p, ZelVariableHandleInfo* field) {
  if (p == -1.0) {
    result_ = test_.GetStatus();
    return false;
  }
  if (p > kPValueThreshold) field->Exclude(pair_);
  return true;
}

}  // namespace ZelTransformation
