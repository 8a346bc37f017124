// ZelSupervisedBinningDiscretizationRule: a continuous field binned into an
// ordinal one along ascending cut points c_0 < ... < c_(k−1): bin i holds the
// values above c_(i−1) up to and including c_i, so a value on a cut point
// falls into the lower bin; above every cut point is bin k. It also keeps the
// source field's range.
#ifndef ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDBINNINGDISCRETIZATIONRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDBINNINGDISCRETIZATIONRULE_H_

#include <vector>

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelSupervisedBinningDiscretizationRule : public ZelDiscretizationTransformRule {
 public:
  explicit ZelSupervisedBinningDiscretizationRule(const ZelOperationPair& pair);

  // The bin number as a real; a missing input stays missing. Integers count
  // as their value, reals as they are, anything else as 0.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;

  // 1 for supervised binning (kHandleContinuousFeatures, kBinContFeature), 0
  // for any other pair.
  int GetDiscretizationKind() const;

  void SetCutPoints(std::vector<double> cutPoints) { cutPoints_ = std::move(cutPoints); }
  const std::vector<double>& GetCutPoints() const { return cutPoints_; }
  void SetRange(double minimum, double maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
  }
  double GetMinimum() const { return minimum_; }
  double GetMaximum() const { return maximum_; }

 private:
  std::vector<double> cutPoints_;
  double minimum_ = 0.0;
  double maximum_ = 0.0;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDBINNINGDISCRETIZATIONRULE_H_
