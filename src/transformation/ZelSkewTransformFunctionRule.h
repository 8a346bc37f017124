// ZelSkewTransformFunctionRule: a skewed continuous input made more
// symmetric, before it is rescaled. Either the Box-Cox transform
// y = ((max(x, minimum) - shift)^lambda - 1) / lambda (ln(max(x, minimum) -
// shift) for lambda 0), with shift = minimum - 1 so that the smallest value
// seen maps to 0 and values below it, which new data may bring, are taken as
// that smallest value; or the signed logarithm sign(x) ln(1 + |x|). The
// document writes either with PMML's own arithmetic, in the same operations,
// so that a replay computes the values the build did.
#ifndef ZELCRAFT_TRANSFORMATION_ZELSKEWTRANSFORMFUNCTIONRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELSKEWTRANSFORMFUNCTIONRULE_H_

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelSkewTransformFunctionRule : public ZelFunctionTransformRule {
 public:
  // No catalogue entry, as the target's Box-Cox.
  static constexpr int kFunctionId = 31;

  // Always the pair (HandleContinuousFeatures, SkewTransformContFeature).
  ZelSkewTransformFunctionRule();

  // Box-Cox with the exponent and the smallest value, each taken as the
  // document writes it; quotes the exponent and the shift.
  void SetBoxCox(double lambda, double minimum);
  // The signed logarithm; quotes its name.
  void SetSignedLog();

  bool IsSignedLog() const { return signedLog_; }
  double GetLambda() const { return lambda_; }
  double GetMinimum() const { return minimum_; }
  double GetShift() const { return shift_; }

  // The transform of a number; not finite where it has none.
  double Transform(double x) const;
  // A missing input, or a result that is not finite, gives a missing real.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;

 private:
  bool signedLog_ = false;
  double lambda_ = 1.0;
  double minimum_ = 0.0;
  double shift_ = -1.0;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELSKEWTRANSFORMFUNCTIONRULE_H_
