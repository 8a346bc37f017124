#include "transformation/ZelRescaleContFeatureFunctionRule.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "frame/ZelVectorLevel.h"
#include "torcommon13r/TorVariable.h"

#ifdef ZEL_WIDE_VECTORS
#include <immintrin.h>

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;
using ZelFrame::ZelWideVectors;
#endif

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

#ifdef ZEL_WIDE_VECTORS
namespace {

// (x - b) * c / d + e over rows [0, rows), four at a time; returns the rows
// done (a multiple of four). Each lane rounds as Rescale does.
__attribute__((target("avx2"))) std::size_t RescaleWide(const double* in, std::size_t rows,
                                                        double b, double c, double d, double e,
                                                        double* out) {
  const __m256d vb = _mm256_set1_pd(b);
  const __m256d vc = _mm256_set1_pd(c);
  const __m256d vd = _mm256_set1_pd(d);
  const __m256d ve = _mm256_set1_pd(e);
  std::size_t k = 0;
  for (; k + 4 <= rows; k += 4) {
    const __m256d v = _mm256_loadu_pd(in + k);
    const __m256d scaled = _mm256_div_pd(_mm256_mul_pd(_mm256_sub_pd(v, vb), vc), vd);
    _mm256_storeu_pd(out + k, _mm256_add_pd(scaled, ve));
  }
  return k;
}

}  // namespace
#endif

ZelRescaleContFeatureFunctionRule::ZelRescaleContFeatureFunctionRule(const ZelOperationPair& pair)
    : ZelFunctionTransformRule(pair, pair.action == Action::kMinMaxContFeature
                                         ? kMinMaxFunctionId
                                         : kZscoreFunctionId) {}

void ZelRescaleContFeatureFunctionRule::SetZscore(double targetMean, double targetStdDev,
                                                  double fieldStdDev, double fieldMean) {
  targetMean_ = targetMean;
  targetStdDev_ = targetStdDev;
  fieldStdDev_ = fieldStdDev;
  fieldMean_ = fieldMean;
}

void ZelRescaleContFeatureFunctionRule::SetMinMax(double newMinimum, double newMaximum,
                                                  double fieldMinimum, double fieldMaximum) {
  newMinimum_ = newMinimum;
  newMaximum_ = newMaximum;
  fieldMinimum_ = fieldMinimum;
  fieldMaximum_ = fieldMaximum;
}

double ZelRescaleContFeatureFunctionRule::Rescale(double value) const {
  if (IsZscore()) return (value - fieldMean_) * targetStdDev_ / fieldStdDev_ + targetMean_;
  return (newMaximum_ - newMinimum_) * (value - fieldMinimum_) / (fieldMaximum_ - fieldMinimum_) +
         newMinimum_;
}

const RawData& ZelRescaleContFeatureFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  if (input->IsMissing()) {
    output_.SetMissingValue(TorCommon_1_3::kStorageReal);
    return output_;
  }
  // Dates and times never get here: the date and time step sets them aside.
  const int storage = input->GetStorage();
  const bool number =
      storage == TorCommon_1_3::kStorageInteger || storage == TorCommon_1_3::kStorageReal;
  output_.SetDouble(Rescale(number ? input->GetReal() : 0.0));
  return output_;
}

void ZelRescaleContFeatureFunctionRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  const ZelBatchColumn* input = batch.Find(GetSourceIndex());
  if (input == nullptr) return ZelTransformRule::ApplyBatch(batch, out);
  const std::size_t rows = batch.Rows();
  std::fill_n(out->storage.begin(), rows, TorCommon_1_3::kStorageReal);
  std::copy_n(input->missing.begin(), rows, out->missing.begin());
  // Either map as (x - b) * c / d + e, with the operands of Rescale (a
  // product is the same either way round).
  const bool zscore = IsZscore();
  const double b = zscore ? fieldMean_ : fieldMinimum_;
  const double c = zscore ? targetStdDev_ : newMaximum_ - newMinimum_;
  const double d = zscore ? fieldStdDev_ : fieldMaximum_ - fieldMinimum_;
  const double e = zscore ? targetMean_ : newMinimum_;
  double* values = out->reals.data();
  auto number = [input](std::size_t k) { return input->IsNumber(k) ? input->reals[k] : 0.0; };
  std::size_t k = 0;
#ifdef __SSE2__
  // Two rows at a time: each lane rounds every operation as a single one
  // does, so the values are those of Rescale.
  const __m128d vb = _mm_set1_pd(b);
  const __m128d vc = _mm_set1_pd(c);
  const __m128d vd = _mm_set1_pd(d);
  const __m128d ve = _mm_set1_pd(e);
  auto rescale = [&](__m128d v) {
    return _mm_add_pd(_mm_div_pd(_mm_mul_pd(_mm_sub_pd(v, vb), vc), vd), ve);
  };
  if (input->AllNumbers(rows)) {
    // Numbers alone: read without a storage test per row.
    const double* inputs = input->reals.data();
#ifdef ZEL_WIDE_VECTORS
    if (ZelWideVectors()) k = RescaleWide(inputs, rows, b, c, d, e, values);
#endif
    for (; k + 2 <= rows; k += 2) _mm_storeu_pd(values + k, rescale(_mm_loadu_pd(inputs + k)));
  }
  for (; k + 2 <= rows; k += 2) {
    _mm_storeu_pd(values + k, rescale(_mm_set_pd(number(k + 1), number(k))));
  }
#endif
  for (; k < rows; ++k) values[k] = Rescale(number(k));
}

}  // namespace ZelTransformation
