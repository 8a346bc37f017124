// ZelTargetHandler: the Box-Cox transformation of a continuous target
// (RescaleScaleTarget). The target is replaced by a copy whose rule applies
// the exponent its ZelBoxCox statistic chose and rescales the result to the
// requested mean and standard deviation; the copy's univariate statistic is
// rewritten in that scale, so it needs no pass of its own.
#ifndef ZELCRAFT_TRANSFORMATION_ZELTARGETHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELTARGETHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelTargetHandler : public ZelOperationHandler {
 public:
  // With "rescaleScaleTargetUsingBoxCox" on, warns
  // (kBoxCoxWithoutContinuousTarget) when there is no target or the target is
  // not continuous.
  ZelTargetHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                   std::vector<TorCommon_1_3::TorStatus>* warnings);

  // Only the target, when it is applicable.
  TorCommon_1_3::TorStatus Run() override;
  TorCommon_1_3::TorStatus Check() override;
  // Nothing without a Box-Cox statistic. kInconsistent when the copy's rule
  // is not a Box-Cox rule, kNumericalFailure when the chosen transform has no
  // spread.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // The "rescaleScaleTargetUsingBoxCox" setting.
  bool IsEnabled(const ZelSettings* settings) override;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELTARGETHANDLER_H_
