// ZelBoxCoxFunctionRule: the continuous target after its Box-Cox
// transformation, rescaled to the requested mean and standard deviation:
// z = desired SD / transformed SD * (y - transformed mean) + desired mean,
// where y = ((x - shift)^lambda - 1) / lambda, or ln(x - shift) for lambda 0.
#ifndef ZELCRAFT_TRANSFORMATION_ZELBOXCOXFUNCTIONRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELBOXCOXFUNCTIONRULE_H_

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelBoxCoxFunctionRule : public ZelFunctionTransformRule {
 public:
  // No catalogue entry: the document writes the transformation with PMML's
  // own arithmetic.
  static constexpr int kFunctionId = 30;

  // Always the pair (HandleTarget, RescaleScaleTarget).
  ZelBoxCoxFunctionRule();

  void SetTransform(double lambda, double shift, double transformedStdDev, double transformedMean,
                    double desiredStdDev, double desiredMean);

  // A missing input stays missing. A real input gives a real; any other
  // gives the result truncated toward zero, as an integer. A value at or
  // below the shift, which the transformation does not cover, gives a
  // missing value.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;

  double GetLambda() const { return lambda_; }
  double GetShift() const { return shift_; }
  double GetTransformedStdDev() const { return transformedStdDev_; }
  double GetTransformedMean() const { return transformedMean_; }
  double GetDesiredStdDev() const { return desiredStdDev_; }
  double GetDesiredMean() const { return desiredMean_; }

 private:
  double lambda_ = 0.0;
  double shift_ = 0.0;
  double transformedStdDev_ = 1.0;
  double transformedMean_ = 0.0;
  double desiredStdDev_ = 0.0;
  double desiredMean_ = 0.0;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELBOXCOXFUNCTIONRULE_H_
