#include "statistics/ZelOutlier.h"

#include <algorithm>
#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"

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

TorStatus ZelOutlier::AddBatchSideBySide(ZelStatistics* const* statistics, std::size_t count,
                                         const ZelBatch& batch) {
  constexpr std::size_t kGroup = 8;
  const std::size_t rows = batch.Rows();
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
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
