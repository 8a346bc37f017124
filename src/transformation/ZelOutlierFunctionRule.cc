#include "transformation/ZelOutlierFunctionRule.h"

#include <algorithm>
#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

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
  auto number = [input](std::size_t k) { return input->IsNumber(k) ? input->reals[k] : 0.0; };
  auto treat = [&](std::size_t k) {
    if (input->missing[k] != 0) return;
    const double v = number(k);
    double lower = commonLower;
    double upper = commonUpper;
    if (analysis != nullptr && analysis[k] != 1.0) {
      const double half = spread / std::sqrt(analysis[k]);
      lower = mean - half;
      upper = mean + half;
    }
    if (!(v < lower) && !(v > upper)) return;
    outlierCount_ += static_cast<int64_t>(std::trunc(frequency != nullptr ? frequency[k] : 1.0));
    if (toMissing) {
      out->missing[k] = 1;
    } else {
      out->storage[k] = TorCommon_1_3::kStorageReal;
      out->reals[k] = v < lower ? lower : upper;
    }
  };
  std::size_t k = 0;
#ifdef __SSE2__
  if (analysis == nullptr) {
    // Outliers are rare: two rows at a time are compared with the common
    // band, and only a pair with a value outside it is looked at row by row.
    // A column of numbers alone is read without a storage test per row.
    const __m128d lower = _mm_set1_pd(commonLower);
    const __m128d upper = _mm_set1_pd(commonUpper);
    auto outside = [&](__m128d v) {
      return _mm_movemask_pd(_mm_or_pd(_mm_cmplt_pd(v, lower), _mm_cmpgt_pd(v, upper))) != 0;
    };
    if (input->AllNumbers(rows)) {
      const double* values = input->reals.data();
      for (; k + 4 <= rows; k += 4) {
        const __m128d low = _mm_loadu_pd(values + k);
        const __m128d high = _mm_loadu_pd(values + k + 2);
        if (!outside(low) && !outside(high)) continue;
        for (std::size_t j = k; j < k + 4; ++j) treat(j);
      }
    }
    for (; k + 2 <= rows; k += 2) {
      if (!outside(_mm_set_pd(number(k + 1), number(k)))) continue;
      treat(k);
      treat(k + 1);
    }
  }
#endif
  for (; k < rows; ++k) treat(k);
}

}  // namespace ZelTransformation
