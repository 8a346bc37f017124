// ZelUnivarStringCat: the univariate statistic of a categorical field with
// string values: missing and valid counts, the category frequencies (up to
// "maxNOfUniqueCategories" categories, one more marks the overflow: the
// first categories in record order, ZelRecordOrderTable) and the most
// frequent category. Only the frequency weight matters here. Finalize lays
// the table out in ascending byte order, which the steps read and rewrite.
#ifndef ZELCRAFT_STATISTICS_ZELUNIVARSTRINGCAT_H_
#define ZELCRAFT_STATISTICS_ZELUNIVARSTRINGCAT_H_

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "frame/ZelTextMemo.h"
#include "statistics/ZelRecordOrderTable.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

class ZelUnivarStringCat : public ZelStatistics {
 public:
  // `encodable`: the target encoding step may encode the field, which then
  // counts more categories while that step is on
  // (ZelSettings::NominalCategoryLimit); false for a target.
  ZelUnivarStringCat(const ZelSettings* settings, uint32_t fieldIndex, bool encodable = true);

  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;
  // Copies another ZelUnivarStringCat (210011 for another kind, 210007 for
  // another class).
  TorCommon_1_3::TorStatus CopyFrom(const ZelStatistics& other) override;

  uint32_t GetFieldIndex() const { return fieldIndex_; }
  int64_t GetMissingCount() const { return missingCount_; }
  int64_t GetValidCount() const { return validCount_; }
  uint64_t GetDistinctLimit() const { return distinctLimit_; }
  // The table as Finalize laid it out.
  std::size_t GetTableSize() const { return frequencies_.size(); }
  bool HasOverflowed() const { return frequencies_.size() > distinctLimit_; }
  const std::map<std::string, int64_t>& GetFrequencies() const { return frequencies_; }
  // The categories in ascending byte order.
  std::vector<std::string> GetCategories() const;
  // 0 when the category is not in the table.
  int64_t GetFrequency(const std::string& category) const;
  // The table of a field whose categories were merged: the new labels with
  // their summed counts. Counts and mode stay as they were.
  void ReplaceFrequencies(std::map<std::string, int64_t> frequencies) {
    frequencies_ = std::move(frequencies);
  }
  // Empty until Finalize found one.
  const std::string& GetMode() const { return mode_; }
  // As if every missing record had held `category`: its count grows by the
  // missing count (the entry is created when absent).
  void ReplaceMissingBy(const std::string& category);

 private:
  using Table = ZelRecordOrderTable<std::string>;
  // Adds `count` to the category `text`, creating it when new, while the
  // table is not full; its entry.
  Table::Entry Count(const std::string& text, int64_t count);

  uint32_t fieldIndex_;
  int64_t missingCount_ = 0;
  int64_t validCount_ = 0;
  Table table_;                                 // during the pass
  std::map<std::string, int64_t> frequencies_;  // from Finalize on
  ZelFrame::ZelTextMemo<Table::Entry> memo_;  // entries of the batch being added
  std::string mode_;
  uint64_t distinctLimit_;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELUNIVARSTRINGCAT_H_
