// ZelContFeatureSelectionHandler: excludes the continuous inputs whose
// correlation with a continuous target is not significant
// (ExcludeContFeature), by the one-sided t test of each correlation in the
// build's continuous-by-continuous statistic against "featureSelectionPValue".
// It works on all inputs at once, so it replaces the per-field protocol.
#ifndef ZELCRAFT_TRANSFORMATION_ZELCONTFEATURESELECTIONHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELCONTFEATURESELECTIONHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelContFeatureSelectionHandler : public ZelOperationHandler {
 public:
  // Warns when selection is on but there is no target
  // (kSelectionWithoutTarget).
  ZelContFeatureSelectionHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                                 std::vector<TorCommon_1_3::TorStatus>* warnings);

  // kCountMismatch when the statistic is missing, its sizes disagree, the
  // target is not in it or a field to exclude is no longer applicable;
  // kNoStatisticalValue when the t distribution has no value.
  TorCommon_1_3::TorStatus Run() override;
  // kWrongStep for any pair but (kHandleContinuousFeatures,
  // kExcludeContFeature).
  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo*, int) override {
    return TorCommon_1_3::TorStatus();
  }
  // "featureSelection".
  bool IsEnabled(const ZelSettings* settings) override;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELCONTFEATURESELECTIONHANDLER_H_
