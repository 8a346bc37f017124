#include "frame/ZelOperationPreparation.h"

#include "frame/ZelStatusCodes.h"
#include "frame/ZelWarning.h"

using ZelFrame::AddWarning;

namespace ZelOperation {

using namespace ZelTransformation;
namespace Code = ZelStatusCode;

IZelOperationPreparation::~IZelOperationPreparation() = default;

void ZelBivariateDatapassOperations::Warn(int code) { AddWarning(warnings_, code); }

const std::vector<ZelOperationPair>& ZelBivariateDatapassOperations::Prepare() {
  const ZelSettings& s = *fields_->GetSettings();
  steps_.clear();
  // A weight is no input: it is never binned, selected or constructed from.
  const bool hasContinuousInput = !fields_->GetContinuousInputs().empty();
  const int targetIndex = fields_->GetTargetIndex();
  const ZelVariableHandleInfo* target = fields_->GetHandle(targetIndex);
  const bool unsupervisedMerge = s.unsupervisedMergeOrdinal || s.unsupervisedMergeNominal;

  if (target == nullptr) {
    if (unsupervisedMerge) {
      Add(Step::kHandleCategoricalFeatures, Action::kMergeCatFeatureForSparse);
      Add(Step::kHandleCategoricalFeatures, Action::kExcludeConstantAfterMerge);
    }
    if (s.featureSelection) Warn(Code::kSelectionWithoutTarget);
    if (s.supervisedMerge) Warn(Code::kSupervisedMergeWithoutTarget);
  } else {
    if (s.featureSelection) Add(Step::kHandleCategoricalFeatures, Action::kExcludeCatFeature);
    if (s.supervisedMerge) {
      Add(Step::kHandleCategoricalFeatures, Action::kMergeCatFeatureForAsso);
      Add(Step::kHandleCategoricalFeatures, Action::kExcludeConstantAfterMerge);
    }
    if (unsupervisedMerge) Warn(Code::kUnsupervisedMergeWithTarget);
  }

  const bool continuousTarget = target != nullptr && target->IsContinuous();
  if (hasContinuousInput) {
    if (target == nullptr) {
      if (s.featureConstruction) {
        Add(Step::kHandleContinuousFeatures, Action::kConstructContFeature);
      }
    } else if (continuousTarget) {
      if (s.featureSelection) Add(Step::kHandleContinuousFeatures, Action::kExcludeContFeature);
      if (s.featureConstruction) {
        Add(Step::kHandleContinuousFeatures, Action::kConstructContFeature);
      }
    } else if (s.supervisedBinning) {
      Add(Step::kHandleContinuousFeatures, Action::kBinContFeature);
    }
  }

  if (s.supervisedBinning) {
    if (target == nullptr || !target->IsCategorical()) Warn(Code::kBinningWithoutCategoricalTarget);
    if (!hasContinuousInput) Warn(Code::kBinningWithoutContinuousInput);
  }
  if (s.featureSelection && target != nullptr) {
    if (!hasContinuousInput && continuousTarget) Warn(Code::kSelectionWithoutContinuousInput);
    if (fields_->GetCategoricalInputs().empty() && !continuousTarget) {
      Warn(Code::kSelectionWithoutCategoricalInput);
    }
  }
  if (s.featureConstruction && !hasContinuousInput) {
    Warn(Code::kConstructionWithoutContinuousInput);
  }
  return steps_;
}

}  // namespace ZelOperation
