// ZelRescaleContFeatureHandler: puts every continuous input on a common
// scale (ZscoreContFeature or MinMaxContFeature). Each input is replaced by
// a copy whose rule maps it linearly to the requested mean and standard
// deviation or range; the copy takes over the input's univariate statistic
// rewritten in the new scale, so later steps see it without another pass.
#ifndef ZELCRAFT_TRANSFORMATION_ZELRESCALECONTFEATUREHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELRESCALECONTFEATUREHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelRescaleContFeatureHandler : public ZelOperationHandler {
 public:
  // With rescaling on, warns (kRescaleWithoutContinuousInput) when no
  // continuous input is left.
  ZelRescaleContFeatureHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                               std::vector<TorCommon_1_3::TorStatus>* warnings);

  TorCommon_1_3::TorStatus Check() override;
  // Continuous inputs only, never a target. A field without spread (standard
  // deviation 0 for the z-score, equal extremes for the min-max) has no scale
  // to map from and is left as it is. kMissingStatistic for a field without a
  // continuous univariate statistic or a copy without one, kMissingObject
  // when the copy's rule is of another class.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // "scaleFeatureRescalingMethod" other than off.
  bool IsEnabled(const ZelSettings* settings) override;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELRESCALECONTFEATUREHANDLER_H_
