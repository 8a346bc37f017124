#include "statistics/ZelStatistics.h"

#include "settings/ZelSettings.h"

using ZelFrame::ZelBatch;

namespace ZelStatistic {

using TorCommon_1_3::TorStatus;

namespace {

const char* const kTypeNames[] = {"UnivariateCont",
                                  "UnivariateNumericCat",
                                  "UnivariateStringCat",
                                  "BivariateContCont",
                                  "BivariateContTargetCat",
                                  "BivariateCatTargetCont",
                                  "BivariateCatTargetCat",
                                  "Outlier",
                                  "Box_Cox",
                                  "BivariateCatTargetContPredictivePower",
                                  "BivariateContTargetContPredictivePower",
                                  "UnivarContHistogram"};

}  // namespace

const char* GetStatisticTypeName(uint32_t type) {
  return type <= kUnivarContHistogram ? kTypeNames[type] : "unrecognized";
}

ZelStatistics::ZelStatistics(const ZelSettings* settings, StatisticType type)
    : settings_(settings),
      type_(type),
      frequencyWeightIndex_(settings != nullptr ? settings->frequencyWeightIndex : -1),
      analysisWeightIndex_(settings != nullptr ? settings->analysisWeightIndex : -1) {}

ZelStatistics::~ZelStatistics() = default;

TorStatus ZelStatistics::AddBatch(const ZelBatch& batch) {
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    const TorStatus status = AddRecord(batch.Record(k));
    if (status.IsError()) return status;
  }
  return status_;
}

TorStatus ZelStatistics::AddBatchSideBySide(ZelStatistics* const* statistics, std::size_t count,
                                            const ZelBatch& batch) {
  TorStatus result;
  for (std::size_t i = 0; i < count && !result.IsError(); ++i) {
    result = statistics[i]->AddBatch(batch);
  }
  return result;
}

TorStatus ZelStatistics::CopyFrom(const ZelStatistics&) {
  collected_ = true;
  return status_;
}

void ZelStatistics::Display(std::ostream& out) const {
  out << "\nDisplay ZelStatistics, Type = " << GetStatisticTypeName(GetType())
      << (collected_ ? "; [InfoIsCollected] " : "; [Info Isnot Collected] ");
}

TorStatus ZelStatistics::Fail(int code) {
  if (!status_.IsError()) status_ = TorStatus(code, false);
  return status_;
}

}  // namespace ZelStatistic
