#include "statistics/ZelUnivarNumeric.h"

#include "frame/ZelStatusCodes.h"

using ZelFrame::ZelBatch;

namespace ZelStatistic {

using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

ZelUnivarNumeric::ZelUnivarNumeric(const ZelSettings* settings, StatisticType type,
                                   uint32_t fieldIndex, bool noMoments, uint64_t distinctLimit)
    : ZelStatistics(settings, type), fieldIndex_(fieldIndex), summary_(noMoments, distinctLimit) {}

TorStatus ZelUnivarNumeric::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  const double frequency = FrequencyWeight(record);
  const TorStatus added = summary_.Add(record[fieldIndex_], CountIncrement(frequency),
                                       frequency * AnalysisWeight(record));
  if (added.IsError()) return Fail(added.GetCode());
  return status_;
}

TorStatus ZelUnivarNumeric::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const TorStatus added = summary_.AddColumn(batch.Column(static_cast<int>(fieldIndex_)),
                                             batch.Rows(), FrequencyWeights(batch),
                                             AnalysisWeights(batch));
  if (added.IsError()) return Fail(added.GetCode());
  return status_;
}

TorStatus ZelUnivarNumeric::AddBatchSideBySide(ZelStatistics* const* statistics, std::size_t count,
                                               const ZelBatch& batch) {
  summaries_.clear();
  columns_.clear();
  for (std::size_t i = 0; i < count; ++i) {
    auto* numeric = static_cast<ZelUnivarNumeric*>(statistics[i]);
    if (numeric->status_.IsError()) continue;
    summaries_.push_back(&numeric->summary_);
    columns_.push_back(&batch.Column(static_cast<int>(numeric->fieldIndex_)));
  }
  ZelContSummary::AddColumns(summaries_.data(), columns_.data(), summaries_.size(), batch.Rows(),
                          FrequencyWeights(batch), AnalysisWeights(batch));
  TorStatus result;
  for (std::size_t i = 0; i < count; ++i) {
    auto* numeric = static_cast<ZelUnivarNumeric*>(statistics[i]);
    const TorStatus added = numeric->summary_.GetStatus();
    if (added.IsError()) numeric->Fail(added.GetCode());
    if (!result.IsError() && numeric->status_.IsError()) result = numeric->status_;
  }
  return result;
}

TorStatus ZelUnivarNumeric::Finalize() {
  collected_ = true;
  const TorStatus finished = summary_.Finalize();
  if (finished.IsError()) return Fail(finished.GetCode());
  return status_;
}

TorStatus ZelUnivarNumeric::CopyFrom(const ZelStatistics& other) {
  if (status_.IsError()) return status_;
  const auto* numeric = dynamic_cast<const ZelUnivarNumeric*>(&other);
  const StatisticType type = other.GetType();
  if (numeric == nullptr || (type != kUnivariateCont && type != kUnivariateNumericCat)) {
    return Fail(ZelStatusCode::kInconsistent);
  }
  summary_ = numeric->summary_;
  collected_ = true;
  if (summary_.GetStatus().IsError()) return Fail(summary_.GetStatus().GetCode());
  return status_;
}

}  // namespace ZelStatistic
