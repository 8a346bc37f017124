#include "transformation/ZelCheckTypeHandler.h"

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarNumericCat.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

TorStatus ZelCheckTypeHandler::Check() { return CheckStep(Step::kCheckType); }

bool ZelCheckTypeHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr &&
         (settings->checkMeasureLevelForTarget || settings->checkMeasureLevelForFeature);
}

TorStatus ZelCheckTypeHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  const int storage = field->GetStorage();
  if (storage != TorCommon_1_3::kStorageInteger && storage != TorCommon_1_3::kStorageReal) {
    return TorStatus();
  }
  const ZelSettings& s = *Settings();
  if (field->IsTarget() ? !s.checkMeasureLevelForTarget : !s.checkMeasureLevelForFeature) {
    return TorStatus();
  }
  const ZelStatistic::ZelStatistics* univariate = field->GetUnivariate();
  if (univariate == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  const TorStatus inconsistent(ZelStatusCode::kInconsistent, false);

  const int level = field->GetMeasureLevel();
  if (level == TorCommon_1_3::kLevelContinuous || level == TorCommon_1_3::kLevelContinuousOther) {
    const auto* stat = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(univariate);
    if (stat == nullptr) return inconsistent;
    // The table holds at most threshold + 1 values, enough to tell "fewer".
    if (static_cast<int64_t>(stat->GetSummary().GetTableSize()) < s.recastContThreshold) {
      return Recast(field, index, Action::kTypeScaleToOrdinal);
    }
    return TorStatus();
  }
  if (!field->IsOrdinal()) return TorStatus();
  const auto* stat = dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(univariate);
  if (stat == nullptr) return inconsistent;
  if (static_cast<int64_t>(stat->GetSummary().GetTableSize()) > s.recastCatThreshold) {
    return Recast(field, index, Action::kTypeOrdinalToScale);
  }
  return TorStatus();
}

TorStatus ZelCheckTypeHandler::Recast(ZelVariableHandleInfo* field, int index, uint32_t action) {
  pair_.action = action;
  const bool toOrdinal = action == Action::kTypeScaleToOrdinal;
  const std::string name =
      field->GetName() +
      Settings()->GetStepSuffix(toOrdinal ? StepSuffix::kRecastCont : StepSuffix::kRecastOrdinal);
  const int recast = fields_->AddDerivedField(
      name, field->GetLabel(), toOrdinal ? MeasureKind::kOrdinal : MeasureKind::kContinuous,
      field->IsTarget(), field->GetStorage(), pair_);
  if (recast < 0) return fields_->GetStatus();
  field->Exclude(pair_);
  ZelVariableHandleInfo* handle = fields_->GetHandle(recast);
  if (handle->GetRule() == nullptr || handle->GetUnivariate() == nullptr) {
    return TorStatus(ZelStatusCode::kMissingObject, false);
  }
  handle->GetRule()->AddInput(field->GetName(), index);
  return handle->GetUnivariate()->CopyFrom(*field->GetUnivariate());
}

}  // namespace ZelTransformation
