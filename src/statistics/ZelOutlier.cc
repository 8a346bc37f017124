#include "statistics/ZelOutlier.h"

#include <algorithm>
#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "frame/ZelVectorLevel.h"
#include "statistics/ZelFourLanes.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;
using ZelFrame::ZelWideVectors;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

constexpr double kTrimmedShare = 0.05;
constexpr double kShareTolerance = 1e-14;

}  // namespace

ZelOutlier::ZelOutlier(const ZelSettings* settings, uint32_t fieldIndex, double mean, double stdDev,
                       double weightSum, int64_t count)
    : ZelStatistics(settings, kOutlier), fieldIndex_(fieldIndex), mean_(mean), count_(count) {
  double s = stdDev;
  if (weightSum > 1.0 && count > 1) {
    s *= std::sqrt(static_cast<double>(count - 1) / (weightSum - 1.0));
  }
  for (int i = 0; i + 1 < kIntervals; ++i) bounds_[i] = mean + (i - 3) * s;
}

int ZelOutlier::FindInterval(double x) const {
  int k = 0;
  while (k + 1 < kIntervals && bounds_[k] < x) ++k;
  return k;
}

// Past the first bound not below x, every later bound is not below it
// either when they ascend, so the count is where the search stops. A NaN
// bound (an infinite spread) leaves the search alone.
bool ZelOutlier::BoundsAscend() const {
  for (int i = 0; i + 2 < kIntervals; ++i) {
    if (!(bounds_[i] <= bounds_[i + 1])) return false;
  }
  return true;
}

TorStatus ZelOutlier::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  const RawData& value = record[fieldIndex_];
  if (value.IsMissing()) return status_;
  if (value.GetStorage() != TorCommon_1_3::kStorageInteger &&
      value.GetStorage() != TorCommon_1_3::kStorageReal) {
    return Fail(ZelStatusCode::kBadValueType);
  }
  const double x = value.GetReal();
  const int k = FindInterval(x);
  const double frequency = FrequencyWeight(record);
  intervals_[k].Add(x, frequency, frequency * AnalysisWeight(record));
  return status_;
}

TorStatus ZelOutlier::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const ZelBatchColumn& column = batch.Column(static_cast<int>(fieldIndex_));
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    if (column.missing[k] != 0) continue;
    if (!column.IsNumber(k)) return Fail(ZelStatusCode::kBadValueType);
    const double x = column.reals[k];
    const double frequency = frequencies != nullptr ? frequencies[k] : 1.0;
    intervals_[FindInterval(x)].Add(x, frequency,
                                    frequency * (analysis != nullptr ? analysis[k] : 1.0));
  }
  return status_;
}

#ifdef ZEL_WIDE_VECTORS
// Rows [0, rows) of up to 4V statistics without weights, four to a 256-bit
// vector and all V vectors in one loop: each lane finds its interval by
// counting the bounds below its value, takes that interval's moments out of
// memory, runs ZelCategoryMoments::Add's operations in order on them (vector
// arithmetic rounds each lane as scalar arithmetic does, and nothing is
// fused) and puts them back; a lane whose row is missing keeps them. The
// lanes are different statistics, so no two share an interval; lanes
// without a statistic of their own run on the first one's values into
// scratch. Every value is a number, and every statistic's bounds ascend.
template <std::size_t V>
__attribute__((target("avx2"))) void ZelOutlier::AddUnitWide(ZelOutlier* const* o,
                                                             const ZelBatchColumn* const* c,
                                                             std::size_t n, std::size_t rows) {
  constexpr std::size_t kLanes = 4 * V;
  std::array<ZelCategoryMoments, kIntervals> scratch{};
  const double* x[kLanes];
  const uint8_t* absent[kLanes];
  ZelCategoryMoments* intervals[kLanes];
  __m256d bounds[V][kIntervals - 1];
  for (std::size_t j = 0; j < kLanes; ++j) {
    const std::size_t i = j < n ? j : 0;
    x[j] = c[i]->reals.data();
    absent[j] = c[i]->missing.data();
    intervals[j] = j < n ? o[j]->intervals_.data() : scratch.data();
  }
  for (std::size_t v = 0; v < V; ++v) {
    for (int b = 0; b + 1 < kIntervals; ++b) {
      double lanes[4];
      for (std::size_t h = 0; h < 4; ++h) {
        const std::size_t j = 4 * v + h;
        lanes[h] = o[j < n ? j : 0]->bounds_[static_cast<std::size_t>(b)];
      }
      bounds[v][b] = _mm256_loadu_pd(lanes);
    }
  }
  const __m256d zero = _mm256_setzero_pd();
  const __m256d one = _mm256_set1_pd(1.0);
  for (std::size_t k = 0; k < rows; ++k) {
    for (std::size_t v = 0; v < V; ++v) {
      const std::size_t j = 4 * v;
      const __m256d value = FourLaneRow(x + j, k);
      const __m256d counts = FourLanesPresent(absent + j, k);
      __m256i below = _mm256_setzero_si256();
      for (int b = 0; b + 1 < kIntervals; ++b) {
        below = _mm256_sub_epi64(
            below, _mm256_castpd_si256(_mm256_cmp_pd(bounds[v][b], value, _CMP_LT_OQ)));
      }
      alignas(32) int64_t at[4];
      _mm256_store_si256(reinterpret_cast<__m256i*>(at), below);
      double* m[4];
      for (std::size_t h = 0; h < 4; ++h) m[h] = &intervals[j + h][at[h]].mean;
      // Rows of (mean, m2, frequency, weight) to one vector of each.
      const __m256d r0 = _mm256_loadu_pd(m[0]);
      const __m256d r1 = _mm256_loadu_pd(m[1]);
      const __m256d r2 = _mm256_loadu_pd(m[2]);
      const __m256d r3 = _mm256_loadu_pd(m[3]);
      const __m256d t0 = _mm256_unpacklo_pd(r0, r1);
      const __m256d t1 = _mm256_unpackhi_pd(r0, r1);
      const __m256d t2 = _mm256_unpacklo_pd(r2, r3);
      const __m256d t3 = _mm256_unpackhi_pd(r2, r3);
      __m256d mean = _mm256_permute2f128_pd(t0, t2, 0x20);
      __m256d frequency = _mm256_permute2f128_pd(t0, t2, 0x31);
      __m256d m2 = _mm256_permute2f128_pd(t1, t3, 0x20);
      __m256d weight = _mm256_permute2f128_pd(t1, t3, 0x31);
      const __m256d previous = weight;
      const __m256d sum = _mm256_add_pd(weight, one);
      weight = _mm256_blendv_pd(weight, sum, counts);
      const __m256d moves = _mm256_and_pd(counts, _mm256_cmp_pd(sum, zero, _CMP_GT_OQ));
      const __m256d d = _mm256_div_pd(_mm256_sub_pd(value, mean), sum);
      const __m256d t = _mm256_mul_pd(_mm256_mul_pd(_mm256_mul_pd(d, d), sum), previous);
      mean = _mm256_blendv_pd(mean, _mm256_add_pd(mean, d), moves);
      const __m256d spreads = _mm256_and_pd(moves, _mm256_cmp_pd(previous, zero, _CMP_GT_OQ));
      m2 = _mm256_blendv_pd(m2, _mm256_add_pd(m2, t), spreads);
      frequency = _mm256_blendv_pd(frequency, _mm256_add_pd(frequency, one), counts);
      // And back to rows.
      const __m256d u0 = _mm256_unpacklo_pd(mean, m2);
      const __m256d u1 = _mm256_unpackhi_pd(mean, m2);
      const __m256d u2 = _mm256_unpacklo_pd(frequency, weight);
      const __m256d u3 = _mm256_unpackhi_pd(frequency, weight);
      _mm256_storeu_pd(m[0], _mm256_permute2f128_pd(u0, u2, 0x20));
      _mm256_storeu_pd(m[1], _mm256_permute2f128_pd(u1, u3, 0x20));
      _mm256_storeu_pd(m[2], _mm256_permute2f128_pd(u0, u2, 0x31));
      _mm256_storeu_pd(m[3], _mm256_permute2f128_pd(u1, u3, 0x31));
    }
  }
}
#endif

TorStatus ZelOutlier::AddBatchSideBySide(ZelStatistics* const* statistics, std::size_t count,
                                         const ZelBatch& batch) {
  constexpr std::size_t kGroup = 8;
  const std::size_t rows = batch.Rows();
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
#ifdef ZEL_WIDE_VECTORS
  if (frequencies == nullptr && analysis == nullptr && count > 2 && ZelWideVectors()) {
    bool plain = true;
    columns_.clear();
    group_.clear();
    for (std::size_t i = 0; i < count && plain; ++i) {
      group_.push_back(static_cast<ZelOutlier*>(statistics[i]));
      columns_.push_back(&batch.Column(static_cast<int>(group_.back()->fieldIndex_)));
      plain = !group_.back()->status_.IsError() && group_.back()->BoundsAscend() &&
              columns_.back()->AllNumbers(rows);
    }
    if (plain) {
      ZelOutlier* const* o = group_.data();
      const ZelBatchColumn* const* columns = columns_.data();
      for (std::size_t first = 0; first < count; first += kGroup) {
        const std::size_t n = std::min(kGroup, count - first);
        if (n > 4) {
          AddUnitWide<2>(o + first, columns + first, n, rows);
        } else {
          AddUnitWide<1>(o + first, columns + first, n, rows);
        }
      }
      return TorStatus();
    }
  }
#endif
  weights_.resize(rows);
  for (std::size_t k = 0; k < rows; ++k) {
    const double f = frequencies != nullptr ? frequencies[k] : 1.0;
    weights_[k] = f * (analysis != nullptr ? analysis[k] : 1.0);
  }
  for (std::size_t first = 0; first < count; first += kGroup) {
    const std::size_t n = std::min(kGroup, count - first);
    std::array<ZelOutlier*, kGroup> o{};
    std::array<const ZelBatchColumn*, kGroup> c{};
    std::array<bool, kGroup> ascend{};
    for (std::size_t g = 0; g < n; ++g) {
      o[g] = static_cast<ZelOutlier*>(statistics[first + g]);
      c[g] = &batch.Column(static_cast<int>(o[g]->fieldIndex_));
      ascend[g] = o[g]->BoundsAscend();
    }
    for (std::size_t k = 0; k < rows; ++k) {
      const double frequency = frequencies != nullptr ? frequencies[k] : 1.0;
      for (std::size_t g = 0; g < n; ++g) {
        if (o[g]->status_.IsError() || c[g]->missing[k] != 0) continue;
        if (!c[g]->IsNumber(k)) {
          o[g]->Fail(ZelStatusCode::kBadValueType);
          continue;
        }
        const double x = c[g]->reals[k];
        // Values fall anywhere among the bounds: a search would mispredict.
        const int interval = ascend[g] ? o[g]->CountBoundsBelow(x) : o[g]->FindInterval(x);
        o[g]->intervals_[interval].Add(x, frequency, weights_[k]);
      }
    }
  }
  TorStatus result;
  for (std::size_t i = 0; i < count && !result.IsError(); ++i) result = statistics[i]->GetStatus();
  return result;
}

TorStatus ZelOutlier::Finalize() {
  collected_ = true;
  if (count_ <= 0) {
    robustMean_ = mean_;
    return status_;
  }
  // Drop whole intervals from the thinner tail (the low one on ties) until
  // the next one would bring the dropped share to 5 %; that one is kept.
  int lo = 0;
  int hi = kIntervals - 1;
  double trimmed = 0.0;
  while (lo <= hi) {
    const bool high = intervals_[hi].frequency < intervals_[lo].frequency;
    trimmed += intervals_[high ? hi : lo].frequency / static_cast<double>(count_);
    if (trimmed >= kTrimmedShare || std::fabs(trimmed - kTrimmedShare) < kShareTolerance) break;
    if (high) {
      --hi;
    } else {
      ++lo;
    }
  }
  double cumulative = 0.0;
  double keptFrequency = 0.0;
  for (int i = lo; i <= hi; ++i) {
    const ZelCategoryMoments& interval = intervals_[i];
    cumulative += interval.weight;
    keptFrequency += interval.frequency;
    if (cumulative > 0.0) {
      robustMean_ += (interval.mean - robustMean_) * interval.weight / cumulative;
    }
  }
  double squares = 0.0;
  for (int i = lo; i <= hi; ++i) {
    const double d = robustMean_ - intervals_[i].mean;
    squares += intervals_[i].weight * d * d + intervals_[i].m2;
  }
  robustStdDev_ = keptFrequency > 1.0 ? std::sqrt(squares / (keptFrequency - 1.0)) : 0.0;
  return status_;
}

}  // namespace ZelStatistic
