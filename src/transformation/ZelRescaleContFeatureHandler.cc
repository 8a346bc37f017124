#include "transformation/ZelRescaleContFeatureHandler.h"

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarCont.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelRescaleContFeatureFunctionRule.h"
#include "transformation/ZelTargetEncodingHandler.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;
using ZelStatistic::ZelContSummary;
using ZelStatistic::ZelUnivarCont;

ZelRescaleContFeatureHandler::ZelRescaleContFeatureHandler(const ZelOperationPair& pair,
                                                           ZelVariableHandleList* fields,
                                                           std::vector<TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings) {
  // Target means are continuous inputs to come, rescaled in a later pass.
  if (IsEnabled(Settings()) && fields->GetContinuousInputs().empty() &&
      !ZelTargetEncodingHandler::HasCandidate(*fields)) {
    Warn(ZelStatusCode::kRescaleWithoutContinuousInput);
  }
}

TorStatus ZelRescaleContFeatureHandler::Check() {
  return CheckStep(Step::kHandleContinuousFeatures);
}

bool ZelRescaleContFeatureHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->rescaling;
}

TorStatus ZelRescaleContFeatureHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  const int level = field->GetMeasureLevel();
  if (field->IsTarget() ||
      (level != TorCommon_1_3::kLevelContinuous && level != TorCommon_1_3::kLevelContinuousOther)) {
    return TorStatus();
  }
  if (pair_.action != Action::kZscoreContFeature && pair_.action != Action::kMinMaxContFeature) {
    return TorStatus();
  }
  // A skewed input is rescaled once transformed, in a later pass, when the
  // step runs again; what it rescaled before stays as it is.
  if (field->IsSkewedInput()) return TorStatus();
  const ZelTransformRule* made = field->IsDerived() ? field->GetRule() : nullptr;
  if (made != nullptr && (made->GetPair().action == Action::kZscoreContFeature ||
                          made->GetPair().action == Action::kMinMaxContFeature)) {
    return TorStatus();
  }
  const auto* source = dynamic_cast<const ZelUnivarCont*>(field->GetUnivariate());
  if (source == nullptr) return TorStatus(ZelStatusCode::kMissingStatistic, false);
  const ZelContSummary& from = source->GetSummary();
  const double lo = from.GetMinimum();
  const double hi = from.GetMaximum();
  const double m = from.GetMean();
  const double s = from.GetStdDev();
  const bool zscore = pair_.action == Action::kZscoreContFeature;
  if (zscore ? !(s > 0.0) : !(hi > lo)) return TorStatus();

  TorStatus status;
  ZelVariableHandleInfo* copy =
      ReplaceByContinuousCopy(field, index, StepSuffix::kRescaleScaleFeature, &status);
  if (copy == nullptr) return status;
  auto* univariate = dynamic_cast<ZelUnivarCont*>(copy->GetUnivariate());
  auto* rule = dynamic_cast<ZelRescaleContFeatureFunctionRule*>(copy->GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);

  // A linear map moves the extremes and the mean along and stretches the
  // spread; the skewness keeps its value.
  ZelContSummary& to = univariate->GetMutableSummary();
  const ZelSettings& settings = *Settings();
  if (zscore) {
    const double mean = settings.rescalingZscoreMean;
    const double sd = settings.rescalingZscoreSD;
    rule->SetZscore(mean, sd, s, m);
    to.SetTransformed(rule->Rescale(lo), rule->Rescale(hi), mean, sd, from.GetSkewness());
  } else {
    const double a = settings.rescalingMinMaxMin;
    const double b = settings.rescalingMinMaxMax;
    rule->SetMinMax(a, b, lo, hi);
    to.SetTransformed(a, b, rule->Rescale(m), (b - a) * s / (hi - lo), from.GetSkewness());
  }
  return TorStatus();
}

}  // namespace ZelTransformation
