#include "transformation/ZelCheckPointHandler.h"

#include "frame/ZelStatusCodes.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

TorStatus ZelCheckPointHandler::Check() { return CheckStep(Step::kCheckPoint); }

TorStatus ZelCheckPointHandler::Run() {
  TorStatus status = Check();
  if (status.IsError()) return status;
  bool hasTarget = false;
  bool hasUsableTarget = false;
  bool hasUsableInput = false;
  for (int i = 0; i < fields_->Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_->GetHandle(i);
    if (field->IsTarget()) {
      hasTarget = true;
      if (!field->IsExcluded()) hasUsableTarget = true;
    } else if (!field->IsExcluded() && !field->IsWeight()) {
      hasUsableInput = true;
    }
  }
  if (hasTarget && !hasUsableTarget) return TorStatus(ZelStatusCode::kTargetExcluded, false);
  if (!hasUsableInput) return TorStatus(ZelStatusCode::kNoUsableInput, false);
  return TorStatus();
}

}  // namespace ZelTransformation
