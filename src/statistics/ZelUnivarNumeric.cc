#include "statistics/ZelUnivarNumeric.h"

#include "frame/ZelStatusCodes.h"

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
