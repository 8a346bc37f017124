#include "transformation/ZelOutlierFunctionRule.h"

#include <algorithm>
#include <cmath>

#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelOutlierFunctionRule::ZelOutlierFunctionRule(const ZelOperationPair& pair)
    : ZelFunctionTransformRule(pair, pair.action == Action::kSetOutliersToMissing
                                         ? kSetMissingFunctionId
                                         : kTrimFunctionId) {}

const RawData& ZelOutlierFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  output_ = *input;
  const std::vector<double>& p = GetParameters();
  if (input->IsMissing() || p.size() < kParameterCount) return output_;
  double v = 0.0;
  if (input->GetStorage() == TorCommon_1_3::kStorageInteger ||
      input->GetStorage() == TorCommon_1_3::kStorageReal) {
    v = input->GetReal();
  }
  const double analysis = WeightAt(working, p[kAnalysisWeightIndex], 1.0);
  // Without an analysis weight the band is the same for every record.
  const double spread = p[kRobustStdDev] * p[kCutoff];
  const double half = analysis == 1.0 ? spread : spread / std::sqrt(analysis);
  const double lower = p[kRobustMean] - half;
  const double upper = p[kRobustMean] + half;
  if (!(v < lower) && !(v > upper)) return output_;
  // Whole records, as the frequency weight counts everywhere.
  const double frequency = std::trunc(WeightAt(working, p[kFrequencyWeightIndex], 1.0));
  outlierCount_ += static_cast<int64_t>(frequency);
  if (GetPair().action == Action::kSetOutliersToMissing) {
    output_.SetMissing(true);
  } else {
    output_.SetDouble(v < lower ? lower : upper);
  }
  return output_;
}

void ZelOutlierFunctionRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  const ZelBatchColumn* input = batch.Find(GetSourceIndex());
  const std::vector<double>& p = GetParameters();
  if (input == nullptr || p.size() < kParameterCount) return ZelTransformRule::ApplyBatch(batch, out);
  const std::size_t rows = batch.Rows();
  out->CopyFrom(*input, rows);
  const double* analysis = batch.WeightsAt(p[kAnalysisWeightIndex]);
  const double* frequency = batch.WeightsAt(p[kFrequencyWeightIndex]);
  const double spread = p[kRobustStdDev] * p[kCutoff];
  const bool toMissing = GetPair().action == Action::kSetOutliersToMissing;
  // Without an analysis weight the band is the same for every row.
  const double mean = p[kRobustMean];
  const double commonLower = mean - spread;
  const double commonUpper = mean + spread;
  for (std::size_t k = 0; k < rows; ++k) {
    if (input->missing[k] != 0) continue;
    const double v = input->IsNumber(k) ? input->reals[k] : 0.0;
    double lower = commonLower;
    double upper = commonUpper;
    if (analysis != nullptr && analysis[k] != 1.0) {
      const double half = spread / std::sqrt(analysis[k]);
      lower = mean - half;
      upper = mean + half;
    }
    if (!(v < lower) && !(v > upper)) continue;
    outlierCount_ += static_cast<int64_t>(std::trunc(frequency != nullptr ? frequency[k] : 1.0));
    if (toMissing) {
      out->missing[k] = 1;
    } else {
      out->storage[k] = TorCommon_1_3::kStorageReal;
      out->reals[k] = v < lower ? lower : upper;
    }
  }
}

}  // namespace ZelTransformation
