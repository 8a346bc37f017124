// ZelOutlier: a robust mean and standard deviation of a continuous field for
// the outlier step. The values are counted into eight intervals cut at the
// mean and at one, two and three standard deviations on either side; whole
// tail intervals are then dropped, the thinner tail first, while the dropped
// share of the records stays below 5 %, and the mean and standard deviation
// of what is left are the robust ones. It needs the field's finished
// univariate summary, so it takes the pass after the univariate one.
#ifndef ZELCRAFT_STATISTICS_ZELOUTLIER_H_
#define ZELCRAFT_STATISTICS_ZELOUTLIER_H_

#include <array>
#include <cstdint>
#include <vector>

#include "statistics/ZelCategoryMoments.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

class ZelOutlier : public ZelStatistics {
 public:
  static constexpr int kIntervals = 8;

  // `mean`, `stdDev`, `weightSum` and `count` are the results of the
  // field's univariate statistic (its standard deviation divides by the
  // record count less one; the bounds use one that divides by the weight
  // sum less one, or the given one when that sum is 1 or less).
  ZelOutlier(const ZelSettings* settings, uint32_t fieldIndex, double mean, double stdDev,
             double weightSum, int64_t count);

  // Integer and Real values only; any other storage stores 210010.
  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  SideBySide SideBySideKind() const override { return kOutliers; }
  TorCommon_1_3::TorStatus AddBatchSideBySide(ZelStatistics* const* statistics, std::size_t count,
                                              const ZelFrame::ZelBatch& batch) override;
  // Trims the tails and computes the robust results. When one record or
  // fewer is kept the robust standard deviation is 0, so the outlier step
  // treats the field as constant.
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;

  uint32_t GetFieldIndex() const { return fieldIndex_; }
  double GetRobustMean() const { return robustMean_; }
  double GetRobustStdDev() const { return robustStdDev_; }
  // Upper bounds of intervals 0 to 6; interval 7 holds what exceeds them all.
  const std::array<double, kIntervals>& GetBounds() const { return bounds_; }
  // The interval a value falls into.
  int FindInterval(double x) const;
  // The same by counting the bounds below x, without a branch per bound,
  // which gives the interval when the bounds ascend (BoundsAscend).
  int CountBoundsBelow(double x) const {
    int k = 0;
    for (int i = 0; i + 1 < kIntervals; ++i) k += bounds_[i] < x ? 1 : 0;
    return k;
  }
  bool BoundsAscend() const;

 private:
  uint32_t fieldIndex_;
  double mean_;
  int64_t count_;
  double robustMean_ = 0.0;
  double robustStdDev_ = 0.0;
  std::array<double, kIntervals> bounds_{};
  std::array<ZelCategoryMoments, kIntervals> intervals_{};
  std::vector<double> weights_;  // the moment weights of the batch being added
  // The statistics side by side with this one and their columns.
  std::vector<ZelOutlier*> group_;
  std::vector<const ZelFrame::ZelBatchColumn*> columns_;
  template <class L, std::size_t V>
  static void AddUnitLanes(ZelOutlier* const* o, const ZelFrame::ZelBatchColumn* const* c,
                           std::size_t n, std::size_t rows);
  template <std::size_t V>
  static void AddUnitWide(ZelOutlier* const* o, const ZelFrame::ZelBatchColumn* const* c,
                          std::size_t n, std::size_t rows);
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELOUTLIER_H_
