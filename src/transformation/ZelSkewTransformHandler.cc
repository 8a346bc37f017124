#include "transformation/ZelSkewTransformHandler.h"

#include <algorithm>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBoxCox.h"
#include "statistics/ZelUnivarCont.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelSkewTransformFunctionRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;
using ZelStatistic::ZelContSummary;
using ZelStatistic::ZelUnivarCont;

ZelSkewTransformHandler::ZelSkewTransformHandler(const ZelOperationPair& pair,
                                                 ZelVariableHandleList* fields,
                                                 std::vector<TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings) {}

TorStatus ZelSkewTransformHandler::Check() {
  return CheckStep(Step::kHandleContinuousFeatures);
}

bool ZelSkewTransformHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->skewTransform;
}

TorStatus ZelSkewTransformHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  if (pair_.action != Action::kSkewTransformContFeature || !field->IsSkewedInput()) {
    return TorStatus();
  }
  const ZelStatistic::ZelBoxCox* boxCox = field->GetBoxCox();
  if (boxCox == nullptr || !boxCox->IsInformationCollected()) return TorStatus();
  const ZelContSummary* signedLog = boxCox->GetSignedLog();
  const bool boxCoxMethod = signedLog == nullptr;  // gathered for the signed logarithm only

  TorStatus status;
  ZelVariableHandleInfo* copy =
      ReplaceByContinuousCopy(field, index, StepSuffix::kSkewTransform, &status);
  if (copy == nullptr) return status;
  auto* univariate = dynamic_cast<ZelUnivarCont*>(copy->GetUnivariate());
  auto* rule = dynamic_cast<ZelSkewTransformFunctionRule*>(copy->GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);

  // Both transforms increase: the extremes map to the extremes.
  ZelContSummary& to = univariate->GetMutableSummary();
  if (boxCoxMethod) {
    rule->SetBoxCox(boxCox->GetExponent(), boxCox->GetMinimum());
    to.SetTransformed(rule->Transform(to.GetMinimum()), rule->Transform(to.GetMaximum()),
                      boxCox->GetTransformedMean(), boxCox->GetTransformedStdDev(),
                      boxCox->GetTransformedSkewness());
  } else {
    rule->SetSignedLog();
    to.SetTransformed(signedLog->GetMinimum(), signedLog->GetMaximum(), signedLog->GetMean(),
                      signedLog->GetStdDev(), signedLog->GetSkewness());
  }
  return TorStatus();
}

}  // namespace ZelTransformation
