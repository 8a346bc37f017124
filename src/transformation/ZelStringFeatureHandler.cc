#include "transformation/ZelStringFeatureHandler.h"

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelTrimEndFunctionRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

TorStatus ZelStringFeatureHandler::Check() { return CheckStep(Step::kHandleStringFeature); }

bool ZelStringFeatureHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->trimBlank;
}

TorStatus ZelStringFeatureHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  if (field->GetStorage() != TorCommon_1_3::kStorageString) return TorStatus();
  if (pair_.action == Action::kTrimTrailing && !field->IsDerived()) {
    return AddTrimmedCopy(*field, index);
  }
  if (pair_.action == Action::kExcludeTrimTrailFeature && field->IsDerived()) {
    return KeepSourceOrCopy(field);
  }
  return TorStatus();
}

TorStatus ZelStringFeatureHandler::AddTrimmedCopy(const ZelVariableHandleInfo& field, int index) {
  const std::string name = field.GetName() + Settings()->GetStepSuffix(StepSuffix::kTrimString);
  const int copy = fields_->AddDerivedCopy(name, *field.GetVariable(), pair_);
  if (copy < 0) return fields_->GetStatus();
  ZelTransformRule* rule = fields_->GetHandle(copy)->GetRule();
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  rule->AddInput(field.GetName(), index);
  return TorStatus();
}

TorStatus ZelStringFeatureHandler::KeepSourceOrCopy(ZelVariableHandleInfo* copy) {
  const ZelTransformRule* rule = copy->GetRule();
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  // Text fields derived by later steps are not trimmed copies.
  if (rule->GetPair().action != Action::kTrimTrailing) return TorStatus();
  const auto* trim = dynamic_cast<const ZelTrimEndFunctionRule*>(rule);
  if (trim == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  if (trim->IsChanged()) {
    ZelVariableHandleInfo* source = fields_->GetHandle(trim->GetSourceIndex());
    if (source != nullptr) {
      source->Exclude({Step::kHandleStringFeature, Action::kTrimTrailing});
    }
  } else {
    copy->Exclude({Step::kHandleStringFeature, Action::kExcludeTrimTrailFeature});
  }
  return TorStatus();
}

}  // namespace ZelTransformation
