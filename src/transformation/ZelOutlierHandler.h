// ZelOutlierHandler: replaces every continuous field by a copy whose values
// beyond the cutoff of robust standard deviations around the robust mean are
// pulled back to the cutoff (TrimOutliersToExtreme) or set to missing
// (SetOutliersToMissing). A field that is constant apart from its tails has
// no robust spread; its copy is excluded at once, so it disappears.
#ifndef ZELCRAFT_TRANSFORMATION_ZELOUTLIERHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELOUTLIERHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelOutlierHandler : public ZelOperationHandler {
 public:
  using ZelOperationHandler::ZelOperationHandler;

  TorCommon_1_3::TorStatus Check() override;
  // Continuous fields only; a target only when "detectTargetOutliers" is on,
  // an input when "detectFeatureOutliers" is. kMissingStatistic for a field
  // without its outlier statistic.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // On when either detection is.
  bool IsEnabled(const ZelSettings* settings) override;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELOUTLIERHANDLER_H_
