// ZelBivarCatTargetCat: a categorical input against a categorical target
// over one pass: the table of input categories by target categories, in
// record counts and in weighted counts. Categorical feature selection tests
// it for association, and it yields the input's predictive power (Cramér's V).
#ifndef ZELCRAFT_STATISTICS_ZELBIVARCATTARGETCAT_H_
#define ZELCRAFT_STATISTICS_ZELBIVARCATTARGETCAT_H_

#include <cstdint>

#include "statistics/ZelCategoryList.h"
#include "statistics/ZelContingencyTable.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

class ZelBivarCatTargetCat : public ZelStatistics {
 public:
  // `nominalTarget`: the target is nominal rather than ordinal.
  ZelBivarCatTargetCat(const ZelSettings* settings, uint32_t inputIndex, uint32_t targetIndex,
                       bool nominalTarget);

  // Takes both category lists from the finished univariate statistics and
  // sizes the table (210011 when either has no category list).
  TorCommon_1_3::TorStatus InitCategories(const ZelStatistics* input, const ZelStatistics* target);

  // Counts records whose input and target are both valid and both in their
  // category lists; a value the list lacks cannot be placed and the record
  // is skipped.
  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;

  uint32_t GetInputIndex() const { return inputIndex_; }
  uint32_t GetTargetIndex() const { return targetIndex_; }
  bool IsNominalTarget() const { return nominalTarget_; }
  const ZelCategoryList& GetInputCategories() const { return inputs_; }
  const ZelCategoryList& GetTargetCategories() const { return targets_; }
  const ZelContingencyTable& GetTable() const { return table_; }
  double GetTotalFrequency() const { return total_; }

 private:
  uint32_t inputIndex_;
  uint32_t targetIndex_;
  bool nominalTarget_;
  ZelCategoryList inputs_;
  ZelCategoryList targets_;
  ZelContingencyTable table_;
  ZelFrame::ZelTextMemo<int> inputMemo_;  // the categories of the batch being added
  ZelFrame::ZelTextMemo<int> targetMemo_;
  double total_ = 0.0;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELBIVARCATTARGETCAT_H_
