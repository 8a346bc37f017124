#include "transformation/ZelOperationHandler.h"

#include "frame/ZelStatusCodes.h"
#include "frame/ZelWarning.h"
#include "statistics/ZelUnivarCont.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::AddWarning;

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

ZelVariableHandleInfo* ZelOperationHandler::ReplaceByContinuousCopy(ZelVariableHandleInfo* field,
                                                                    int index, StepSuffix suffix,
                                                                    TorStatus* status) {
  const std::string name = field->GetName() + Settings()->GetStepSuffix(suffix);
  const int derived =
      fields_->AddDerivedField(name, field->GetLabel(), MeasureKind::kContinuous, false,
                               TorCommon_1_3::kStorageReal, pair_);
  if (derived < 0) {
    *status = fields_->GetStatus();
    return nullptr;
  }
  field->Exclude(pair_);
  ZelVariableHandleInfo* copy = fields_->GetHandle(derived);
  if (dynamic_cast<ZelStatistic::ZelUnivarCont*>(copy->GetUnivariate()) == nullptr ||
      field->GetUnivariate() == nullptr) {
    *status = TorStatus(ZelStatusCode::kMissingStatistic, false);
    return nullptr;
  }
  if (copy->GetRule() == nullptr) {
    *status = TorStatus(ZelStatusCode::kMissingObject, false);
    return nullptr;
  }
  copy->GetRule()->AddInput(field->GetName(), index);
  *status = copy->GetUnivariate()->CopyFrom(*field->GetUnivariate());
  return status->IsError() ? nullptr : copy;
}

}  // namespace ZelTransformation
