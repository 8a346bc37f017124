#include "statistics/ZelOutlier.h"

#include <algorithm>
#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "frame/ZelVectorLevel.h"
#include "frame/ZelLanesAvx2.h"
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
// Rows [0, rows) of up to W * V statistics without weights, W to a vector
// of lane type L and all V vectors in one loop: each lane finds its
// interval by counting the bounds below its value, takes that interval's
// moments out of memory, runs AddCategoryRecord on them and puts them back;
// a lane whose row is missing keeps them. The lanes are different
// statistics, so no two share an interval; lanes without a statistic of
// their own run on the first one's values into scratch. Every value is a
// number, and every statistic's bounds ascend.
template <class L, std::size_t V>
ZEL_LANE_INLINE void ZelOutlier::AddUnitLanes(ZelOutlier* const* o, const ZelBatchColumn* const* c,
                                              std::size_t n, std::size_t rows) {
  using Of = ZelFrame::ZelLaneOf<L>;
  constexpr std::size_t W = Of::kWidth;
  constexpr std::size_t kLanes = W * V;
  constexpr std::size_t kBounds = kIntervals - 1;
  std::array<ZelCategoryMoments, kIntervals> scratch{};
  const double* x[kLanes];
  const uint8_t* absent[kLanes];
  ZelCategoryMoments* intervals[kLanes];
  L bounds[V][kBounds];
  for (std::size_t j = 0; j < kLanes; ++j) {
    const std::size_t i = j < n ? j : 0;
    x[j] = c[i]->reals.data();
    absent[j] = c[i]->missing.data();
    intervals[j] = j < n ? o[j]->intervals_.data() : scratch.data();
  }
  for (std::size_t v = 0; v < V; ++v) {
    for (std::size_t b = 0; b < kBounds; ++b) {
      double lanes[W];
      for (std::size_t h = 0; h < W; ++h) {
        const std::size_t j = W * v + h;
        lanes[h] = o[j < n ? j : 0]->bounds_[b];
      }
      bounds[v][b] = Of::Load(lanes);
    }
  }
  const L one(1.0);
  for (std::size_t k = 0; k < rows; ++k) {
    for (std::size_t v = 0; v < V; ++v) {
      const std::size_t j = W * v;
      const L value = Of::Row(x + j, k);
      // Aligned, so that the loads of the lanes forward from the store.
      alignas(sizeof(int64_t) * W) int64_t at[W];
      Of::CountBelow(bounds[v], kBounds, value, at);
      double* m[W];
      for (std::size_t h = 0; h < W; ++h) m[h] = &intervals[j + h][at[h]].mean;
      L fields[4];
      Of::LoadFours(m, fields);
      ZelCategorySums<L> sums{fields[0], fields[1], fields[2], fields[3]};
      AddCategoryRecord<true>(&sums, value, one, one, Of::Present(absent + j, k));
      fields[0] = sums.mean;
      fields[1] = sums.m2;
      fields[2] = sums.frequency;
      fields[3] = sums.weight;
      Of::StoreFours(m, fields);
    }
  }
}

template <std::size_t V>
__attribute__((target("avx2"), flatten)) void ZelOutlier::AddUnitWide(
    ZelOutlier* const* o, const ZelBatchColumn* const* c, std::size_t n, std::size_t rows) {
  AddUnitLanes<ZelFrame::ZelLanes4, V>(o, c, n, rows);
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
