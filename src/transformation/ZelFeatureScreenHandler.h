// ZelFeatureScreenHandler: excludes fields of poor quality after the first
// pass: too often missing, constant, one category dominating (when asked),
// or a nominal field with too many categories. Targets are screened like
// inputs; the check point decides afterwards whether the build can go on.
#ifndef ZELCRAFT_TRANSFORMATION_ZELFEATURESCREENHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELFEATURESCREENHANDLER_H_

#include <cstdint>

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelFeatureScreenHandler : public ZelOperationHandler {
 public:
  using ZelOperationHandler::ZelOperationHandler;

  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  bool IsEnabled(const ZelSettings*) override { return true; }

 private:
  // The counts a categorical field is screened on.
  struct CategoryCounts {
    int64_t missing;
    int64_t valid;
    std::size_t distinct;
    int64_t modeFrequency;
  };

  TorCommon_1_3::TorStatus ScreenContinuous(ZelVariableHandleInfo* field);
  TorCommon_1_3::TorStatus ScreenCategorical(ZelVariableHandleInfo* field,
                                             const CategoryCounts& counts);
  // kScreenMissingFeature when nothing is valid or the missing share exceeds
  // the allowed fraction, else `previous`.
  uint32_t MissingRule(int64_t missing, int64_t valid, uint32_t previous) const;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELFEATURESCREENHANDLER_H_
