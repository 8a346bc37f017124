// ZelBivarCatTargetContPredictivePower: the predictive power of a continuous
// input for a categorical target. The input's range is cut into as many
// equal-width bins as the target has categories, and the table of bins by
// target categories gives Cramér's V.
#ifndef ZELCRAFT_STATISTICS_ZELBIVARCATTARGETCONTPREDICTIVEPOWER_H_
#define ZELCRAFT_STATISTICS_ZELBIVARCATTARGETCONTPREDICTIVEPOWER_H_

#include <cstdint>
#include <vector>

#include "statistics/ZelCategoryList.h"
#include "statistics/ZelContingencyTable.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

class ZelBivarCatTargetContPredictivePower : public ZelStatistics {
 public:
  ZelBivarCatTargetContPredictivePower(const ZelSettings* settings, uint32_t inputIndex,
                                       uint32_t targetIndex);

  // Lays the bins over the range of the input's finished ZelUnivarCont
  // (210007 for another statistic) and takes the target's categories
  // (210011 without a list).
  TorCommon_1_3::TorStatus InitCategories(const ZelStatistics* input, const ZelStatistics* target);

  // A value outside every bin, or of a storage that has no place on the
  // range, stores 210017; a target value the list lacks skips the record.
  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;

  uint32_t GetInputIndex() const { return inputIndex_; }
  uint32_t GetTargetIndex() const { return targetIndex_; }
  // Upper bounds, ascending; the last lies one past the maximum.
  const std::vector<double>& GetUpperBounds() const { return bounds_; }
  // Bins (rows) by target categories (columns), in record counts.
  const ZelContingencyTable& GetTable() const { return table_; }
  double GetTotalFrequency() const { return total_; }

 private:
  // The first bin whose bound x does not exceed by 1e-14 or more, so a
  // value on a bound belongs to the lower bin; -1 when none.
  int FindBin(double x) const;

  uint32_t inputIndex_;
  uint32_t targetIndex_;
  ZelCategoryList targets_;
  std::vector<double> bounds_;
  ZelContingencyTable table_;
  ZelFrame::ZelTextMemo<int> memo_;  // the target categories of the batch being added
  double total_ = 0.0;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELBIVARCATTARGETCONTPREDICTIVEPOWER_H_
