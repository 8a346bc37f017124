// ZelBivarGroupedMoments: the shared body of the two statistics that pair a
// continuous field with a categorical one (ZelBivarCatTargetCont and
// ZelBivarContTargetCat): per category of the grouping field, the moments of
// the continuous field, plus the moments over all counted records. Which of
// input and target groups and which is measured is the subclass's choice.
#ifndef ZELCRAFT_STATISTICS_ZELBIVARGROUPEDMOMENTS_H_
#define ZELCRAFT_STATISTICS_ZELBIVARGROUPEDMOMENTS_H_

#include <cstdint>
#include <vector>

#include "statistics/ZelCategoryList.h"
#include "statistics/ZelCategoryMoments.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

class ZelBivarGroupedMoments : public ZelStatistics {
 public:
  // Counts records whose two values are both valid and whose category is in
  // the list (a category the list lacks cannot be placed: the record is
  // skipped). A continuous value that is neither Integer nor Real stores
  // 210010.
  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  SideBySide SideBySideKind() const override { return kGroupedMoments; }
  TorCommon_1_3::TorStatus AddBatchSideBySide(ZelStatistics* const* statistics, std::size_t count,
                                              const ZelFrame::ZelBatch& batch) override;
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;

  uint32_t GetInputIndex() const { return inputIndex_; }
  uint32_t GetTargetIndex() const { return targetIndex_; }
  const ZelCategoryList& GetCategories() const { return categories_; }
  // One entry per category, in list order.
  const std::vector<ZelCategoryMoments>& GetMoments() const { return moments_; }
  double GetTotalFrequency() const { return overall_.frequency; }

 protected:
  ZelBivarGroupedMoments(const ZelSettings* settings, StatisticType type, uint32_t inputIndex,
                         uint32_t targetIndex, bool inputGroups);

  // Takes the categories of the grouping field (210011 without a list).
  TorCommon_1_3::TorStatus InitGroups(const ZelStatistics* grouping);
  const ZelCategoryMoments& Overall() const { return overall_; }

 private:
  uint32_t inputIndex_;
  uint32_t targetIndex_;
  uint32_t groupIndex_;
  uint32_t valueIndex_;
  ZelCategoryList categories_;
  std::vector<ZelCategoryMoments> moments_;
  ZelCategoryMoments overall_;
  // The batch being added: each row's group (-1 where the row does not
  // count), whether every row counts, and the statistic whose overall
  // update this one shares (null: it makes its own).
  bool PlaceRows(const ZelFrame::ZelBatch& batch);
  bool SameOverall(const ZelBivarGroupedMoments& other) const;
  ZelFrame::ZelTextMemo<int> memo_;
  std::vector<int> groups_;
  bool everyRow_ = false;
  const ZelBivarGroupedMoments* leader_ = nullptr;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELBIVARGROUPEDMOMENTS_H_
