#include "transformation/ZelSupervisedMergeHandler.h"

#include "frame/ZelStatusCodes.h"
#include "transformation/ZelNominalSMergeTrans.h"
#include "transformation/ZelOrdinalSMergeTrans.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

ZelSupervisedMergeHandler::ZelSupervisedMergeHandler(
    const ZelOperationPair& pair, ZelVariableHandleList* fields,
    std::vector<TorCommon_1_3::TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings), targetIndex_(fields->GetTargetIndex()) {
  if (!Settings()->supervisedMerge) return;
  if (targetIndex_ == -1) Warn(ZelStatusCode::kSupervisedMergeWithoutTarget);
  if (fields->GetCategoricalInputs().empty()) {
    Warn(ZelStatusCode::kSupervisedMergeWithoutCategoricalInput);
  }
}

ZelSupervisedMergeHandler::~ZelSupervisedMergeHandler() = default;

TorStatus ZelSupervisedMergeHandler::Check() { return CheckStep(Step::kHandleCategoricalFeatures); }

bool ZelSupervisedMergeHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->supervisedMerge && targetIndex_ != -1;
}

bool ZelSupervisedMergeHandler::IsApplicable(const ZelVariableHandleInfo* field) {
  return ZelOperationHandler::IsApplicable(field) && !field->IsTarget() && !field->IsContinuous();
}

TorStatus ZelSupervisedMergeHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  if (field->IsNominal()) {
    transformation_ =
        std::make_unique<ZelNominalSMergeTrans>(fields_, field, index, targetIndex_);
  } else if (field->IsOrdinal()) {
    transformation_ =
        std::make_unique<ZelOrdinalSMergeTrans>(fields_, field, index, targetIndex_);
  } else {
    return TorStatus();
  }
  return transformation_->RunSearch(pair_);
}

}  // namespace ZelTransformation
