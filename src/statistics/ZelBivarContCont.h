// ZelBivarContCont: the continuous fields of a build against each other, the
// target among them when it is continuous: for every pair, over the records
// where both are valid, the count, the covariance and the correlation. The
// field list keeps it as its list statistic; continuous feature selection
// tests each input's correlation with the target, and an input's predictive
// power against a continuous target is read from it.
#ifndef ZELCRAFT_STATISTICS_ZELBIVARCONTCONT_H_
#define ZELCRAFT_STATISTICS_ZELBIVARCONTCONT_H_

#include <array>
#include <cstdint>
#include <vector>

#include "torcommon13r/TorMatrix.h"
#include "statistics/ZelPairMoments.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

class ZelBivarContCont : public ZelStatistics {
 public:
  ZelBivarContCont(const ZelSettings* settings, const std::vector<int>& fieldIndices);

  // A valid value that is neither Integer nor Real stores 210010. The work
  // per record grows with the square of the number of fields.
  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;

  const std::vector<int>& GetFieldIndices() const { return fields_; }
  // The position of a field in the list; -1 when it is not there.
  int FindPosition(int fieldIndex) const;
  // Matrices over list positions, filled by Finalize.
  const TorMath_1_3::TorSymMatrix& GetCounts() const { return counts_; }
  const TorMath_1_3::TorSymMatrix& GetCovariances() const { return covariances_; }
  const TorMath_1_3::TorSymMatrix& GetCorrelations() const { return correlations_; }
  // Whether every matrix spans the whole list, as Finalize leaves them.
  bool IsComplete() const {
    const int order = static_cast<int>(fields_.size());
    return counts_.GetNRows() == order && covariances_.GetNRows() == order &&
           correlations_.GetNRows() == order;
  }

 private:
  ZelPairMoments& Pair(std::size_t i, std::size_t j) { return pairs_[i * (i + 1) / 2 + j]; }

  std::vector<int> fields_;
  std::vector<ZelPairMoments> pairs_;  // lower triangle with diagonal, row by row
  // Per-record scratch, sized once: the valid values and their positions.
  std::vector<double> values_;
  std::vector<std::size_t> valid_;
  std::vector<const ZelFrame::ZelBatchColumn*> columns_;  // of the batch being added
  std::vector<double> weights_;                 // the batch's moment weights
  // True while every row so far had a value in every field, so that all
  // pairs have met the same rows.
  bool lockstep_ = true;
  std::vector<double> means_;       // scratch of AddInLockstep
  std::vector<double> deviations_;
  std::vector<double> coMoments_;
  std::vector<const double*> reals_;
  // Whether the pairs' states still share their sums bit for bit, as pairs
  // that met every row do; states merged or installed from elsewhere are
  // checked before the shared update trusts them.
  bool PairsShareSums() const;
  void AddInLockstep(std::size_t rows, const double* frequencies);
  static constexpr std::size_t kGroup = 4;      // pairs updated side by side
  void AddPair(std::size_t a, std::size_t b, std::size_t rows, const double* frequencies);
  void AddGroup(const std::array<std::size_t, kGroup>& as,
                const std::array<std::size_t, kGroup>& bs, std::size_t rows,
                const double* frequencies);
  TorMath_1_3::TorSymMatrix counts_;
  TorMath_1_3::TorSymMatrix covariances_;
  TorMath_1_3::TorSymMatrix correlations_;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELBIVARCONTCONT_H_
