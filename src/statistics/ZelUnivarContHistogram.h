// ZelUnivarContHistogram: a 400-bin fixed-width histogram of a continuous
// field, laid over the range its finished ZelUnivarCont found, with the count,
// weight and weighted mean of the values in each bin. The statistics output
// reads it; it takes its own data pass after the univariate one.
#ifndef ZELCRAFT_STATISTICS_ZELUNIVARCONTHISTOGRAM_H_
#define ZELCRAFT_STATISTICS_ZELUNIVARCONTHISTOGRAM_H_

#include <cstdint>
#include <vector>

#include "statistics/ZelHistogramBins.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

class ZelUnivarContHistogram : public ZelStatistics {
 public:
  static constexpr uint64_t kBinCount = 400;

  ZelUnivarContHistogram(const ZelSettings* settings, uint32_t fieldIndex);

  // Lays the bins over the range of `univariate`, which must be a finished
  // ZelUnivarCont (else 210007). Call once, before the histogram's pass.
  TorCommon_1_3::TorStatus SetUpHistogram(const ZelStatistics& univariate);

  // A value beyond the last bin stores 210017.
  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  SideBySide SideBySideKind() const override { return kHistograms; }
  // Without weights, the histograms' rows go four of each in turn.
  TorCommon_1_3::TorStatus AddBatchSideBySide(ZelStatistics* const* statistics, std::size_t count,
                                              const ZelFrame::ZelBatch& batch) override;
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;

  uint32_t GetFieldIndex() const { return fieldIndex_; }
  // 0 until set up.
  uint64_t GetBinCount() const { return binCount_; }
  const std::vector<double>& GetUpperBounds() const { return upperBounds_; }
  const std::vector<int64_t>& GetCounts() const { return counts_; }
  const std::vector<double>& GetMeans() const { return means_; }
  const std::vector<double>& GetWeights() const { return weights_; }

 private:
  // The first bin whose upper bound x does not exceed by 1e-14 or more, so a
  // value on a bound belongs to the lower bin; GetBinCount() when none.
  uint64_t FindBin(double x) const;
  // Each row's bin in bins_ (kNoBin for a missing value), up to the first
  // row that fails, whose code goes to `failure` (else 0); that row's index,
  // or the row count.
  std::size_t PlaceBatch(const ZelFrame::ZelBatch& batch, int* failure);

  uint32_t fieldIndex_;
  uint64_t binCount_ = 0;
  // Where the equal widths put a value: the search starts there.
  double minimum_ = 0.0;
  double width_ = 0.0;
  double inverseWidth_ = 0.0;
  std::vector<double> upperBounds_;
  // The bounds after one of -inf, for GuessBins.
  std::vector<double> paddedBounds_;
  std::vector<int64_t> counts_;
  std::vector<double> means_;
  std::vector<double> weights_;
  // Scratch of the batch loops, kept to allocate nothing per batch: each
  // row's bin, and the histograms fed side by side with their failures.
  std::vector<uint32_t> bins_;
  std::vector<ZelBinSums> sums_;
  std::vector<int> failures_;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELUNIVARCONTHISTOGRAM_H_
