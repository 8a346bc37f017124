// ZelPostFeatureScreenHandler: excludes derived fields that came out
// constant: a merged field left with a single category
// (ExcludeConstantAfterMerge), a binned field with a single bin
// (ExcludeConstantAfterBinning) and a constructed field without a valid
// value or with one value only (ExcludeAfterConstruct). Each pair screens
// only the fields its own step derived.
#ifndef ZELCRAFT_TRANSFORMATION_ZELPOSTFEATURESCREENHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELPOSTFEATURESCREENHANDLER_H_

#include <vector>

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelPostFeatureScreenHandler : public ZelOperationHandler {
 public:
  using ZelOperationHandler::ZelOperationHandler;

  // kHandleCategoricalFeatures and kHandleContinuousFeatures.
  TorCommon_1_3::TorStatus Check() override;
  // kInconsistent when the field's univariate statistic does not fit its
  // level.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  bool IsEnabled(const ZelSettings*) override { return true; }
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELPOSTFEATURESCREENHANDLER_H_
