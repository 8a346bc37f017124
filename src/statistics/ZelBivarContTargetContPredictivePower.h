// ZelBivarContTargetContPredictivePower: the correlation of a continuous
// input with a continuous target, whose square is the input's predictive
// power. It normally takes the correlation from the build's continuous-by-
// continuous statistic; an input that statistic does not cover (one derived
// after it was made) gets a pass of its own, over the records where input
// and target are both valid.
#ifndef ZELCRAFT_STATISTICS_ZELBIVARCONTTARGETCONTPREDICTIVEPOWER_H_
#define ZELCRAFT_STATISTICS_ZELBIVARCONTTARGETCONTPREDICTIVEPOWER_H_

#include <cstdint>
#include <vector>

#include "statistics/ZelPairMoments.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

class ZelBivarContTargetContPredictivePower : public ZelStatistics {
 public:
  ZelBivarContTargetContPredictivePower(const ZelSettings* settings, uint32_t inputIndex,
                                        uint32_t targetIndex);

  // From a finished ZelBivarContCont: the target's variance and the
  // correlation of input and target. 210014 for another kind or when either
  // field is not in its list; 210007 for another class of that kind.
  TorCommon_1_3::TorStatus CopyFrom(const ZelStatistics& other) override;

  // Integer and Real values only; records with anything else are skipped.
  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  SideBySide SideBySideKind() const override { return kInputTargetPairs; }
  TorCommon_1_3::TorStatus AddBatchSideBySide(ZelStatistics* const* statistics, std::size_t count,
                                              const ZelFrame::ZelBatch& batch) override;
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;

  uint32_t GetInputIndex() const { return inputIndex_; }
  uint32_t GetTargetIndex() const { return targetIndex_; }
  double GetInputVariance() const { return inputVariance_; }
  double GetCovariance() const { return covariance_; }
  double GetTargetVariance() const { return targetVariance_; }
  // 0 until known, and when either variance is 0.
  double GetCorrelation() const { return correlation_; }

 private:
  // Whether the three pairs still share their sums and means bit for bit, as
  // pairs fed the same rows do; states merged or installed from elsewhere
  // are checked before the shared update trusts them.
  bool MomentsShareSums() const;
  // The shared update of N statistics whose pairs share their sums, in one
  // loop, so that their chains of divisions overlap; kUnit without weights.
  template <std::size_t N, bool kUnit>
  static void AddShared(ZelBivarContTargetContPredictivePower* const* s, const ZelFrame::ZelBatch& batch,
                        const double* frequencies, const double* analysis);

  uint32_t inputIndex_;
  uint32_t targetIndex_;
  ZelPairMoments input_;   // input with itself
  ZelPairMoments cross_;   // input with target
  ZelPairMoments target_;  // target with itself
  double inputVariance_ = 0.0;
  double covariance_ = 0.0;
  double targetVariance_ = 0.0;
  double correlation_ = 0.0;
  // Scratch of AddBatchSideBySide.
  std::vector<ZelBivarContTargetContPredictivePower*> together_;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELBIVARCONTTARGETCONTPREDICTIVEPOWER_H_
