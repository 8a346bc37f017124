#include "transformation/ZelTargetHandler.h"

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBoxCox.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelBoxCoxFunctionRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

ZelTargetHandler::ZelTargetHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                                   std::vector<TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings) {
  if (!Settings()->rescaleContTarget) return;
  const ZelVariableHandleInfo* target = fields->GetHandle(fields->GetTargetIndex());
  const int level = target != nullptr ? target->GetMeasureLevel() : TorCommon_1_3::kLevelNone;
  if (level != TorCommon_1_3::kLevelContinuous && level != TorCommon_1_3::kLevelContinuousOther) {
    Warn(ZelStatusCode::kBoxCoxWithoutContinuousTarget);
  }
}

TorStatus ZelTargetHandler::Check() { return CheckStep(Step::kHandleTarget); }

bool ZelTargetHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->rescaleContTarget;
}

TorStatus ZelTargetHandler::Run() {
  const TorStatus status = Check();
  if (status.IsError() || !IsEnabled(Settings())) return status;
  const int index = fields_->GetTargetIndex();
  ZelVariableHandleInfo* target = fields_->GetHandle(index);
  if (target == nullptr || !IsApplicable(target)) return TorStatus();
  return ProcessField(target, index);
}

TorStatus ZelTargetHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  ZelStatistic::ZelBoxCox* boxCox = field->GetBoxCox();
  if (boxCox == nullptr) return TorStatus();
  const std::string name =
      field->GetName() + Settings()->GetStepSuffix(StepSuffix::kAdjustScaleCont);
  const int derived = fields_->AddDerivedField(name, field->GetLabel(), MeasureKind::kContinuous,
                                               true, TorCommon_1_3::kStorageReal, pair_);
  if (derived < 0) return fields_->GetStatus();
  field->Exclude(pair_);
  ZelVariableHandleInfo* handle = fields_->GetHandle(derived);
  auto* rule = dynamic_cast<ZelBoxCoxFunctionRule*>(handle->GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  rule->AddInput(field->GetName(), index);
  rule->SetTransform(boxCox->GetExponent(), boxCox->GetShift(), boxCox->GetTransformedStdDev(),
                     boxCox->GetTransformedMean(), boxCox->GetDesiredStdDev(),
                     boxCox->GetDesiredMean());
  if (handle->GetUnivariate() == nullptr || field->GetUnivariate() == nullptr) {
    return TorStatus(ZelStatusCode::kMissingObject, false);
  }
  const TorStatus copied = handle->GetUnivariate()->CopyFrom(*field->GetUnivariate());
  if (copied.IsError()) return copied;
  return boxCox->ApplyToUnivariate(*handle->GetUnivariate());
}

}  // namespace ZelTransformation
