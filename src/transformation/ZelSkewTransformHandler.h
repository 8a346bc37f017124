// ZelSkewTransformHandler: makes skewed continuous inputs more symmetric
// (SkewTransformContFeature). An input whose absolute skewness, after outlier
// treatment and missing-value replacement, exceeds "skewnessThreshold" is
// replaced by a copy whose rule is its Box-Cox transform (the exponent of
// the grid with the largest profile likelihood, as for the target) or its
// signed logarithm. The copy's univariate statistic is rewritten from the
// input's ZelBoxCox, so that the rescaling step that follows in the same
// pass maps the transformed values without another pass.
#ifndef ZELCRAFT_TRANSFORMATION_ZELSKEWTRANSFORMHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELSKEWTRANSFORMHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelSkewTransformHandler : public ZelOperationHandler {
 public:
  ZelSkewTransformHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                          std::vector<TorCommon_1_3::TorStatus>* warnings);

  TorCommon_1_3::TorStatus Check() override;
  // Skewed inputs only (ZelVariableHandleInfo::IsSkewedInput) that have
  // their finished ZelBoxCox; kMissingStatistic for a copy without a
  // continuous univariate statistic, kMissingObject when its rule is of
  // another class.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // "transformSkewedInputs".
  bool IsEnabled(const ZelSettings* settings) override;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELSKEWTRANSFORMHANDLER_H_
