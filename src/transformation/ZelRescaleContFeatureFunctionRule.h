// ZelRescaleContFeatureFunctionRule: a continuous input put on a common
// scale by a linear map, either the z-score to a requested mean and standard
// deviation, (x - field mean) * target SD / field SD + target mean, or the
// min-max to a requested range, (new max - new min) * (x - field min) /
// (field max - field min) + new min. The field's own figures are those of
// the training data, so values seen later may fall outside the new range.
#ifndef ZELCRAFT_TRANSFORMATION_ZELRESCALECONTFEATUREFUNCTIONRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELRESCALECONTFEATUREFUNCTIONRULE_H_

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelRescaleContFeatureFunctionRule : public ZelFunctionTransformRule {
 public:
  // No catalogue entries: the document writes the map with PMML's own
  // arithmetic.
  static constexpr int kZscoreFunctionId = 28;
  static constexpr int kMinMaxFunctionId = 29;

  // kZscoreContFeature or kMinMaxContFeature.
  explicit ZelRescaleContFeatureFunctionRule(const ZelOperationPair& pair);

  void SetZscore(double targetMean, double targetStdDev, double fieldStdDev, double fieldMean);
  void SetMinMax(double newMinimum, double newMaximum, double fieldMinimum, double fieldMaximum);

  bool IsZscore() const { return GetPair().action != Action::kMinMaxContFeature; }
  // The map applied to one value, in the order of operations the rule uses,
  // so that a statistic rewritten through it agrees with the rule's values.
  double Rescale(double value) const;

  // A missing input stays missing; a number gives a real, any other value
  // counts as 0.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;

  double GetTargetMean() const { return targetMean_; }
  double GetTargetStdDev() const { return targetStdDev_; }
  double GetFieldStdDev() const { return fieldStdDev_; }
  double GetFieldMean() const { return fieldMean_; }
  double GetNewMinimum() const { return newMinimum_; }
  double GetNewMaximum() const { return newMaximum_; }
  double GetFieldMinimum() const { return fieldMinimum_; }
  double GetFieldMaximum() const { return fieldMaximum_; }

 private:
  double targetMean_ = 0.0;
  double targetStdDev_ = 1.0;
  double fieldStdDev_ = 1.0;
  double fieldMean_ = 0.0;
  double newMinimum_ = 0.0;
  double newMaximum_ = 100.0;
  double fieldMinimum_ = 0.0;
  double fieldMaximum_ = 100.0;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELRESCALECONTFEATUREFUNCTIONRULE_H_
