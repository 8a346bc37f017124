#include "transformation/ZelOutlierHandler.h"

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelOutlier.h"
#include "statistics/ZelUnivarCont.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelOutlierFunctionRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

TorStatus ZelOutlierHandler::Check() { return CheckStep(Step::kOutlierIdentification); }

bool ZelOutlierHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr &&
         (settings->detectOutlierForTarget || settings->detectOutlierForFeature);
}

TorStatus ZelOutlierHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  const int level = field->GetMeasureLevel();
  if (level != TorCommon_1_3::kLevelContinuous && level != TorCommon_1_3::kLevelContinuousOther) {
    return TorStatus();
  }
  const ZelSettings& s = *Settings();
  if (field->IsTarget() ? !s.detectOutlierForTarget : !s.detectOutlierForFeature) {
    return TorStatus();
  }
  const ZelStatistic::ZelOutlier* outlier = field->GetOutlier();
  if (outlier == nullptr) return TorStatus(ZelStatusCode::kMissingStatistic, false);

  const std::string name = field->GetName() + s.GetStepSuffix(StepSuffix::kOutlier);
  const int derived =
      fields_->AddDerivedField(name, field->GetLabel(), MeasureKind::kContinuous, field->IsTarget(),
                               TorCommon_1_3::kStorageReal, pair_);
  if (derived < 0) return fields_->GetStatus();
  field->Exclude(pair_);
  ZelVariableHandleInfo* handle = fields_->GetHandle(derived);
  ZelTransformRule* rule = handle->GetRule();
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  rule->AddInput(field->GetName(), index);
  // In the order ZelOutlierFunctionRule::Parameter names them.
  rule->AddParameter(s.analysisWeightIndex);
  rule->AddParameter(s.frequencyWeightIndex);
  rule->AddParameter(outlier->GetRobustMean());
  rule->AddParameter(outlier->GetRobustStdDev());
  rule->AddParameter(s.outlierSDCutoff);

  if (outlier->GetRobustStdDev() != 0.0) return TorStatus();
  auto* univariate = dynamic_cast<ZelStatistic::ZelUnivarCont*>(handle->GetUnivariate());
  if (univariate == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  univariate->GetMutableSummary().SetExtremes(0.0, 0.0);
  handle->Exclude({Step::kOutlierIdentification, Action::kExcludeConstantAfterOutlier});
  return TorStatus();
}

}  // namespace ZelTransformation
