#include "statistics/ZelBivarGroupedMoments.h"

#include <algorithm>
#include <array>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

ZelBivarGroupedMoments::ZelBivarGroupedMoments(const ZelSettings* settings, StatisticType type,
                                               uint32_t inputIndex, uint32_t targetIndex,
                                               bool inputGroups)
    : ZelStatistics(settings, type),
      inputIndex_(inputIndex),
      targetIndex_(targetIndex),
      groupIndex_(inputGroups ? inputIndex : targetIndex),
      valueIndex_(inputGroups ? targetIndex : inputIndex) {}

TorStatus ZelBivarGroupedMoments::InitGroups(const ZelStatistics* grouping) {
  const TorStatus status = categories_.InitFrom(grouping);
  if (status.IsError()) return Fail(status.GetCode());
  moments_.assign(static_cast<std::size_t>(categories_.Count()), ZelCategoryMoments());
  return status_;
}

TorStatus ZelBivarGroupedMoments::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  const RawData& group = record[groupIndex_];
  const RawData& value = record[valueIndex_];
  if (group.IsMissing() || value.IsMissing()) return status_;
  if (value.GetStorage() != TorCommon_1_3::kStorageInteger &&
      value.GetStorage() != TorCommon_1_3::kStorageReal) {
    return Fail(ZelStatusCode::kBadValueType);
  }
  const int k = categories_.GetCategoryIndex(group);
  if (k < 0) return status_;
  const double x = value.GetReal();
  const double f = FrequencyWeight(record);
  const double w = f * AnalysisWeight(record);
  moments_[static_cast<std::size_t>(k)].Add(x, f, w);
  overall_.Add(x, f, w);
  return status_;
}

TorStatus ZelBivarGroupedMoments::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const ZelBatchColumn& group = batch.Column(static_cast<int>(groupIndex_));
  const ZelBatchColumn& value = batch.Column(static_cast<int>(valueIndex_));
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  memo_.Clear();
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    if (group.missing[k] != 0 || value.missing[k] != 0) continue;
    if (!value.IsNumber(k)) return Fail(ZelStatusCode::kBadValueType);
    const int g = categories_.GetCategoryIndex(group, k, &memo_);
    if (g < 0) continue;
    const double x = value.reals[k];
    const double f = frequencies != nullptr ? frequencies[k] : 1.0;
    const double w = f * (analysis != nullptr ? analysis[k] : 1.0);
    moments_[static_cast<std::size_t>(g)].Add(x, f, w);
    overall_.Add(x, f, w);
  }
  return status_;
}

TorStatus ZelBivarGroupedMoments::AddBatchSideBySide(ZelStatistics* const* statistics,
                                                     std::size_t count, const ZelBatch& batch) {
  constexpr std::size_t kGroup = 4;
  const std::size_t rows = batch.Rows();
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  for (std::size_t first = 0; first < count; first += kGroup) {
    const std::size_t n = std::min(kGroup, count - first);
    std::array<ZelBivarGroupedMoments*, kGroup> s{};
    std::array<const ZelBatchColumn*, kGroup> groups{};
    std::array<const ZelBatchColumn*, kGroup> values{};
    for (std::size_t g = 0; g < n; ++g) {
      s[g] = static_cast<ZelBivarGroupedMoments*>(statistics[first + g]);
      s[g]->memo_.Clear();
      groups[g] = &batch.Column(static_cast<int>(s[g]->groupIndex_));
      values[g] = &batch.Column(static_cast<int>(s[g]->valueIndex_));
    }
    for (std::size_t k = 0; k < rows; ++k) {
      const double f = frequencies != nullptr ? frequencies[k] : 1.0;
      const double w = f * (analysis != nullptr ? analysis[k] : 1.0);
      for (std::size_t g = 0; g < n; ++g) {
        if (s[g]->status_.IsError() || groups[g]->missing[k] != 0 || values[g]->missing[k] != 0) {
          continue;
        }
        if (!values[g]->IsNumber(k)) {
          s[g]->Fail(ZelStatusCode::kBadValueType);
          continue;
        }
        const int category = s[g]->categories_.GetCategoryIndex(*groups[g], k, &s[g]->memo_);
        if (category < 0) continue;
        const double x = values[g]->reals[k];
        s[g]->moments_[static_cast<std::size_t>(category)].Add(x, f, w);
        s[g]->overall_.Add(x, f, w);
      }
    }
  }
  TorStatus result;
  for (std::size_t i = 0; i < count && !result.IsError(); ++i) result = statistics[i]->GetStatus();
  return result;
}

TorStatus ZelBivarGroupedMoments::Finalize() {
  collected_ = true;
  return status_;
}

}  // namespace ZelStatistic
