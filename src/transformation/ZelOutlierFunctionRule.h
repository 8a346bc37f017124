// ZelOutlierFunctionRule: the copy of a continuous field whose values beyond
// a band around the robust mean are pulled back to the band's edge
// (TrimOutliersToExtreme) or made missing (SetOutliersToMissing). The band
// is the cutoff times the robust standard deviation on either side, narrowed
// by the square root of the record's analysis weight. It counts the outliers
// it meets, weighted by frequency, over all its evaluations.
#ifndef ZELCRAFT_TRANSFORMATION_ZELOUTLIERFUNCTIONRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELOUTLIERFUNCTIONRULE_H_

#include <cstdint>

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelOutlierFunctionRule : public ZelFunctionTransformRule {
 public:
  static constexpr int kTrimFunctionId = 16;
  static constexpr int kSetMissingFunctionId = 17;

  // The parameters, in the order the outlier step adds them.
  enum Parameter {
    kAnalysisWeightIndex,
    kFrequencyWeightIndex,
    kRobustMean,
    kRobustStdDev,
    kCutoff,
    kParameterCount
  };

  // kTrimOutliersToExtreme or kSetOutliersToMissing.
  explicit ZelOutlierFunctionRule(const ZelOperationPair& pair);

  // A missing input stays missing and is not counted; a value strictly
  // outside the band is an outlier. Inside the band the input passes
  // unchanged (an integer stays an integer); a trimmed value is a real.
  // Without its five parameters the input passes unchanged.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;

  int64_t GetOutlierCount() const { return outlierCount_; }

 private:
  // The record's value at a weight index kept as a parameter; `fallback`
  // without a weight field. Inline: asked for every record.
  static double WeightAt(const TorCommon_1_3::RawRecord& working, double index, double fallback) {
    if (!(index >= 0.0) || index >= static_cast<double>(working.Size())) return fallback;
    return working[static_cast<std::size_t>(index)].GetReal();
  }

  int64_t outlierCount_ = 0;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELOUTLIERFUNCTIONRULE_H_
