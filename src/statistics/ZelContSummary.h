// ZelContSummary: the accumulator of one numeric field over a data pass: missing
// and valid counts, extremes, weighted mean, standard deviation and skewness,
// and a value-frequency table that stops one entry past its limit, so a
// field with more distinct values than the limit is recognisable without
// keeping them all (ZelRecordOrderTable: the first values in record order).
// Counts grow by whole records (the truncated frequency weight); the
// moments use the real weight (frequency times analysis weight). Finalize
// lays the table out in ascending order of value, which the steps read and
// may rewrite.
#ifndef ZELCRAFT_STATISTICS_ZELCONTSUMMARY_H_
#define ZELCRAFT_STATISTICS_ZELCONTSUMMARY_H_

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "frame/ZelBatch.h"
#include "statistics/ZelMomentSums.h"
#include "statistics/ZelRecordOrderTable.h"
#include "statistics/ZelStateBytes.h"
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorStatus.h"

namespace ZelStatistic {

class ZelContSummary {
 public:
  // With `noMoments` only the counts and the frequency table are kept.
  ZelContSummary(bool noMoments, uint64_t distinctLimit);

  // Folds in one record value: `count` is its whole-record count, `weight`
  // its moment weight. Integer, Real, Date and Time values are used; any
  // other storage stores 210010, and the first error is returned from then on.
  TorCommon_1_3::TorStatus Add(const TorCommon_1_3::RawData& value, int64_t count, double weight);
  // Add for rows [0, rows) of a batch column, with the rows' frequency and
  // analysis weights (null: 1 each).
  TorCommon_1_3::TorStatus AddColumn(const ZelFrame::ZelBatchColumn& column, std::size_t rows,
                                     const double* frequencies, const double* analysis);
  // AddColumn for `count` summaries and their columns at once, side by
  // side: each summary meets its rows in order, and their updates overlap.
  static void AddColumns(ZelContSummary* const* summaries, const ZelFrame::ZelBatchColumn* const* columns,
                         std::size_t count, std::size_t rows, const double* frequencies,
                         const double* analysis);
  void AddMissing(int64_t count);
  void AddValue(double x, int64_t count, double weight);
  // Standard deviation, skewness and, while the table did not overflow,
  // median and mode.
  TorCommon_1_3::TorStatus Finalize();

  int64_t GetMissingCount() const { return missingCount_; }
  int64_t GetValidCount() const { return validCount_; }
  double GetMinimum() const { return minimum_; }
  double GetMaximum() const { return maximum_; }
  double GetMean() const { return shift_ + mean_; }
  double GetStdDev() const { return stdDev_; }
  bool IsSkewnessValid() const { return skewnessValid_; }
  double GetSkewness() const { return skewness_; }
  double GetMedian() const { return median_; }
  double GetMode() const { return mode_; }
  double GetWeightSum() const { return weightSum_; }
  bool HasNoMoments() const { return noMoments_; }
  uint64_t GetDistinctLimit() const { return distinctLimit_; }
  // The table as Finalize laid it out.
  std::size_t GetTableSize() const { return frequencies_.size(); }
  // More distinct values were seen than the limit allows.
  bool HasOverflowed() const { return frequencies_.size() > distinctLimit_; }
  const std::map<double, int64_t>& GetFrequencies() const { return frequencies_; }
  // The distinct values in ascending order.
  std::vector<double> GetValues() const;
  // 0 when the value is not in the table.
  int64_t GetFrequency(double value) const;
  // Inserts the value when absent.
  void SetFrequency(double value, int64_t count);
  // The table of a field whose categories were merged: the new labels with
  // their summed counts. Everything else stays as it was.
  void ReplaceFrequencies(std::map<double, int64_t> frequencies) {
    frequencies_ = std::move(frequencies);
  }
  TorCommon_1_3::TorStatus GetStatus() const { return status_; }

  // The accumulated counts, extremes, moments and table as one summary part
  // (ZelStateParts.h), and back (ZelContSummaryState.cc). ReadState replaces
  // them and wants the part to keep what this summary keeps; ReadBody reads
  // any summary's part after its tag and length. Merge folds in the summary
  // of rows that come after this one's: the moments by the pairwise update,
  // so the result is as accurate as one pass; false when a count would pass
  // 2^63.
  void WriteState(ZelStateWriter* out) const;
  bool ReadState(ZelStateReader* in);
  static bool ReadBody(ZelStateReader* in, ZelContSummary* summary);
  bool Merge(const ZelContSummary& later);

  // Rewrites of a finished summary by the steps that derive a field from it
  // without a pass of their own. As if every missing record had held the
  // mean: the sums about the mean do not change, so only the standard
  // deviation and the skewness shrink to the larger count.
  void ReplaceMissingByMean();
  // As if every missing record had held `value` (a category's mode or
  // median): its frequency grows by the missing count.
  void ReplaceMissingByValue(double value);
  // The summary of a transformed field, given its results directly.
  void SetTransformed(double minimum, double maximum, double mean, double stdDev, double skewness);
  void SetExtremes(double minimum, double maximum);

 private:
  static void AddSideBySide(ZelContSummary* const* summaries, const ZelFrame::ZelBatchColumn* const* columns,
                            std::size_t count, std::size_t begin, std::size_t rows,
                            const double* frequencies, const double* analysis);
  template <std::size_t N>
  static std::size_t AddUnitWeights(ZelContSummary* const* s, const ZelFrame::ZelBatchColumn* const* c,
                                    std::size_t rows);
  template <class L, std::size_t V>
  static void AddUnitWeightsLanes(ZelContSummary* const* s, const ZelFrame::ZelBatchColumn* const* c,
                                  std::size_t n, std::size_t end);
  template <std::size_t V>
  static void AddUnitWeightsWide(ZelContSummary* const* s, const ZelFrame::ZelBatchColumn* const* c,
                                 std::size_t n, std::size_t end);
  ZelMomentSums<double> MomentSums() const {
    return {minimum_, maximum_, shift_, weightSum_, mean_, m2_, m3_};
  }
  // All but the shift, which the updates never move.
  void SetMomentSums(const ZelMomentSums<double>& sums) {
    minimum_ = sums.minimum;
    maximum_ = sums.maximum;
    weightSum_ = sums.weightSum;
    mean_ = sums.mean;
    m2_ = sums.m2;
    m3_ = sums.m3;
  }
  // Missing records become valid ones; the skewness is valid again only
  // when the new count and spread support it.
  void CountMissingAsValid();

  int64_t missingCount_ = 0;
  int64_t validCount_ = 0;
  double minimum_;
  double maximum_;
  // The moments are accumulated about the first value seen: data far from
  // zero (1e9 give or take 1) would otherwise lose most of its digits in the
  // running deviations.
  bool shifted_ = false;
  double shift_ = 0.0;
  double mean_ = 0.0;  // of the shifted values
  double stdDev_ = 0.0;
  bool skewnessValid_ = true;
  double skewness_ = 0.0;
  ZelRecordOrderTable<double> table_;     // during the pass
  std::map<double, int64_t> frequencies_;  // from Finalize on
  double median_ = 0.0;
  double mode_ = 0.0;
  bool noMoments_;
  uint64_t distinctLimit_;
  double weightSum_ = 0.0;
  double m2_ = 0.0;
  double m3_ = 0.0;
  TorCommon_1_3::TorStatus status_;
};

// Inline, always: the batch loops run it for every value, and the updates of
// several summaries side by side overlap only when nothing calls between them.
__attribute__((always_inline)) inline void ZelContSummary::AddValue(double x, int64_t count, double weight) {
  validCount_ += count;
  if (!table_.Full()) table_.Add(x, count);
  // A record of weight 0 only counts; the update below would divide by it.
  if (noMoments_ || weight == 0.0) return;
  if (!shifted_) {
    shift_ = x;
    shifted_ = true;
  }
  ZelMomentSums<double> sums = MomentSums();
  if (weight == 1.0) {
    AddMomentRecord<true>(&sums, x, 1.0, true);
  } else {
    AddMomentRecord<false>(&sums, x, weight, true);
  }
  SetMomentSums(sums);
}

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELCONTSUMMARY_H_
