#include "transformation/ZelOperationHandler.h"

#include "frame/ZelStatusCodes.h"
#include "frame/ZelWarning.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

ZelOperationHandler::~ZelOperationHandler() = default;

TorStatus ZelOperationHandler::Run() {
  TorStatus status = Check();
  if (status.IsError()) return status;
  const int count = fields_->Count();
  if (count == 0 || !IsEnabled(Settings())) return TorStatus();
  // Fields the handler appends are not visited: the count is taken first.
  for (int i = 0; i < count; ++i) {
    ZelVariableHandleInfo* field = fields_->GetHandle(i);
    if (!IsApplicable(field)) continue;
    status = ProcessField(field, i);
    if (status.IsError()) break;
  }
  return status;
}

bool ZelOperationHandler::IsApplicable(const ZelVariableHandleInfo* field) {
  return field != nullptr && !field->IsExcluded() && !field->IsWeight();
}

TorStatus ZelOperationHandler::CheckStep(uint32_t step) const {
  return pair_.step == step ? TorStatus() : TorStatus(ZelStatusCode::kWrongStep, false);
}

void ZelOperationHandler::Warn(int code) { AddWarning(warnings_, code); }

}  // namespace ZelTransformation
