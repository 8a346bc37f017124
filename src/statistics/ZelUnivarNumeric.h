// ZelUnivarNumeric: the shared body of the two univariate statistics of a
// numeric field, ZelUnivarCont and ZelUnivarNumericCat. Both feed one
// ZelContSummary from the field's record values and can take over each other's
// finished summary; they differ only in how much the summary keeps.
#ifndef ZELCRAFT_STATISTICS_ZELUNIVARNUMERIC_H_
#define ZELCRAFT_STATISTICS_ZELUNIVARNUMERIC_H_

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "statistics/ZelContSummary.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

class ZelUnivarNumeric : public ZelStatistics {
 public:
  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  SideBySide SideBySideKind() const override { return kUnivariateNumeric; }
  TorCommon_1_3::TorStatus AddBatchSideBySide(ZelStatistics* const* statistics, std::size_t count,
                                              const ZelFrame::ZelBatch& batch) override;
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;
  // Copies the whole summary of another ZelUnivarCont or ZelUnivarNumericCat
  // (210007 for any other statistic).
  TorCommon_1_3::TorStatus CopyFrom(const ZelStatistics& other) override;

  uint32_t GetFieldIndex() const { return fieldIndex_; }
  const ZelContSummary& GetSummary() const { return summary_; }
  // For the steps that rewrite a finished summary in place (missing-value
  // replacement, the target's Box-Cox transformation, outlier handling).
  ZelContSummary& GetMutableSummary() { return summary_; }
  std::vector<double> GetValues() const { return summary_.GetValues(); }
  int64_t GetFrequency(double value) const { return summary_.GetFrequency(value); }
  void SetFrequency(double value, int64_t count) { summary_.SetFrequency(value, count); }
  void ReplaceFrequencies(std::map<double, int64_t> frequencies) {
    summary_.ReplaceFrequencies(std::move(frequencies));
  }

 protected:
  ZelUnivarNumeric(const ZelSettings* settings, StatisticType type, uint32_t fieldIndex,
                   bool noMoments, uint64_t distinctLimit);

 private:
  uint32_t fieldIndex_;
  ZelContSummary summary_;
  // Scratch of AddBatchSideBySide, kept to allocate nothing per batch.
  std::vector<ZelContSummary*> summaries_;
  std::vector<const ZelFrame::ZelBatchColumn*> columns_;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELUNIVARNUMERIC_H_
