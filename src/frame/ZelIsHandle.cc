#include "frame/ZelIsHandle.h"

#include "frame/ZelStatusCodes.h"
#include "frame/ZelWarning.h"
#include "transformation/ZelTargetEncodingHandler.h"

using ZelFrame::AddWarning;

namespace ZelOperation {

IZelIsHandle::~IZelIsHandle() = default;

bool ZelIsHandleOutlier::IsHandle() {
  const ZelSettings* settings = fields_->GetSettings();
  if (!settings->detectOutlierForTarget && !settings->detectOutlierForFeature) return false;
  for (int i = 0; i < fields_->Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_->GetHandle(i);
    if (field->IsExcluded() || !field->IsContinuous()) continue;
    if (field->IsTarget() ? settings->detectOutlierForTarget : settings->detectOutlierForFeature) {
      return true;
    }
  }
  return false;
}

bool ZelIsHandleUnmeasured::IsHandle() {
  if (outliers_->IsHandle()) return true;
  if (!fields_->GetSettings()->flagMissing) return false;
  for (int i = 0; i < fields_->Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_->GetHandle(i);
    const ZelStatistic::ZelStatistics* univariate = field->GetUnivariate();
    if (!field->IsExcluded() && univariate != nullptr && !univariate->IsInformationCollected()) {
      return true;
    }
  }
  return false;
}

bool ZelIsHandleBoxCox::IsHandle() {
  if (!fields_->GetSettings()->rescaleContTarget) return false;
  for (int i = 0; i < fields_->Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_->GetHandle(i);
    if (field->IsTarget() && !field->IsExcluded() && field->IsContinuous()) return true;
  }
  AddWarning(warnings_, ZelStatusCode::kBoxCoxWithoutContinuousTarget);
  return false;
}

bool ZelIsHandleSkew::IsHandle() {
  if (boxCox_->IsHandle()) return true;
  for (int i = 0; i < fields_->Count(); ++i) {
    if (fields_->GetHandle(i)->IsSkewedInput()) return true;
  }
  return false;
}

bool ZelIsHandleTargetEncoding::IsHandle() {
  const bool inner = inner_->IsHandle();
  const ZelVariableHandleInfo* target = fields_->GetHandle(fields_->GetTargetIndex());
  if (target == nullptr) {
    AddWarning(warnings_, ZelStatusCode::kTargetEncodingWithoutTarget);
  } else if (target->IsCategorical() &&
             ZelTransformation::ZelTargetEncodingHandler::EncodedFields(*fields_) == 0) {
    AddWarning(warnings_, ZelStatusCode::kTargetEncodingManyClasses);
  }
  return inner || ZelTransformation::ZelTargetEncodingHandler::HasCandidate(*fields_);
}

}  // namespace ZelOperation
