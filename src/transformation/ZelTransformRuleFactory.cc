// The rule factory: which rule class derives a field for a (step, action).
#include "transformation/ZelBoxCoxFunctionRule.h"
#include "transformation/ZelCheckTypeFunctionRule.h"
#include "transformation/ZelConstructTransformRule.h"
#include "transformation/ZelDateTimeFunctionRule.h"
#include "transformation/ZelMissingValueMappingRule.h"
#include "transformation/ZelOutlierFunctionRule.h"
#include "transformation/ZelReorderFunctionRule.h"
#include "transformation/ZelRescaleContFeatureFunctionRule.h"
#include "transformation/ZelSupervisedBinningDiscretizationRule.h"
#include "transformation/ZelSupervisedMergeMappingRule.h"
#include "transformation/ZelTransformRule.h"
#include "transformation/ZelTrimEndFunctionRule.h"
#include "transformation/ZelUnsupervisedMergeMappingRule.h"

namespace ZelTransformation {

ZelTransformRule* CreateTransformRule(const ZelOperationPair& pair,
                                      TorCommon_1_3::TorStatus* status) {
  if (status != nullptr) *status = TorCommon_1_3::TorStatus();
  switch (pair.step) {
    case Step::kHandleStringFeature:
      return new ZelTrimEndFunctionRule();
    case Step::kDateTimeHandle:
      return new ZelDateTimeFunctionRule(pair);
    case Step::kCheckType:
      return new ZelCheckTypeFunctionRule(pair);
    case Step::kOutlierIdentification:
      return new ZelOutlierFunctionRule(pair);
    case Step::kHandleMissingValue:
      return new ZelMissingValueMappingRule(pair);
    case Step::kHandleTarget:
      if (pair.action == Action::kReorderCatTarget) return new ZelReorderFunctionRule(pair);
      if (pair.action == Action::kRescaleScaleTarget) return new ZelBoxCoxFunctionRule();
      return nullptr;
    case Step::kHandleCategoricalFeatures:
      if (pair.action == Action::kReorderCatFeature) return new ZelReorderFunctionRule(pair);
      if (pair.action == Action::kMergeCatFeatureForSparse) {
        return new ZelUnsupervisedMergeMappingRule(pair);
      }
      if (pair.action == Action::kMergeCatFeatureForAsso) {
        return new ZelSupervisedMergeMappingRule(pair);
      }
      return nullptr;
    case Step::kHandleContinuousFeatures:
      if (pair.action == Action::kZscoreContFeature || pair.action == Action::kMinMaxContFeature) {
        return new ZelRescaleContFeatureFunctionRule(pair);
      }
      if (pair.action == Action::kBinContFeature) {
        return new ZelSupervisedBinningDiscretizationRule(pair);
      }
      if (pair.action == Action::kConstructContFeature) {
        return new ZelConstructTransformRule(pair);
      }
      return nullptr;
    default:
      return nullptr;
  }
}

}  // namespace ZelTransformation
