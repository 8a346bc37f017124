#include "statistics/ZelBivarGroupedMoments.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "frame/ZelLanes.h"
#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

// Rows [0, rows) of up to four statistics side by side (`overall` has four
// entries, null past `live`): each counted row
// goes to its group's moments and, where given, to the overall ones. The
// first statistic's overall moments, which meet every counted row, are held
// in a local, out of memory, so that their chain of divisions is not
// lengthened by a store and a load per row. Without weight fields (kUnit)
// every weight is 1 and the updates lose their weight tests.
template <bool kUnit>
ZEL_ONE_LANE_KERNEL void AddRows(std::size_t live, std::size_t rows, const int* const* groups,
             const double* const* values, ZelCategoryMoments* const* moments,
             ZelCategoryMoments* const* overall, const double* frequencies,
             const double* analysis) {
  ZelCategoryMoments* const held = overall[0];
  ZelCategoryMoments first = held != nullptr ? *held : ZelCategoryMoments();
  ZelCategoryMoments* const others[4] = {nullptr, overall[1], overall[2], overall[3]};
  for (std::size_t k = 0; k < rows; ++k) {
    const double f = kUnit || frequencies == nullptr ? 1.0 : frequencies[k];
    const double w = kUnit ? 1.0 : f * (analysis != nullptr ? analysis[k] : 1.0);
    for (std::size_t g = 0; g < live; ++g) {
      const int category = groups[g][k];
      if (category < 0) continue;
      const double x = values[g][k];
      moments[g][category].Add(x, f, w);
      if (others[g] != nullptr) others[g]->Add(x, f, w);
      if (g == 0 && held != nullptr) first.Add(x, f, w);
    }
  }
  if (held != nullptr) *held = first;
}

}  // namespace

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
  ZelStatistics* self = this;
  return AddBatchSideBySide(&self, 1, batch);
}

bool ZelBivarGroupedMoments::PlaceRows(const ZelBatch& batch) {
  const ZelBatchColumn& group = batch.Column(static_cast<int>(groupIndex_));
  const ZelBatchColumn& value = batch.Column(static_cast<int>(valueIndex_));
  const std::size_t rows = batch.Rows();
  groups_.resize(rows);
  memo_.Clear();
  // The usual batch: texts in every row of the group, numbers in every row
  // of the value, nothing missing.
  if (group.AllStorage(rows, TorCommon_1_3::kStorageString) && !group.AnyMissing(rows) &&
      !value.AnyMissing(rows) && value.AllNumbers(rows)) {
    everyRow_ = categories_.PlaceTexts(group, rows, &memo_, groups_.data());
    return true;
  }
  everyRow_ = true;
  for (std::size_t k = 0; k < rows; ++k) {
    int g = -1;
    if (group.missing[k] == 0 && value.missing[k] == 0) {
      if (!value.IsNumber(k)) {
        Fail(ZelStatusCode::kBadValueType);
        return false;
      }
      g = categories_.GetCategoryIndex(group, k, &memo_);
    }
    groups_[k] = g;
    everyRow_ = everyRow_ && g >= 0;
  }
  return true;
}

bool ZelBivarGroupedMoments::SameOverall(const ZelBivarGroupedMoments& other) const {
  return valueIndex_ == other.valueIndex_ &&
         std::memcmp(&overall_, &other.overall_, sizeof(overall_)) == 0;
}

TorStatus ZelBivarGroupedMoments::AddBatchSideBySide(ZelStatistics* const* statistics,
                                                     std::size_t count, const ZelBatch& batch) {
  constexpr std::size_t kGroup = 4;
  const std::size_t rows = batch.Rows();
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  // First every statistic's group of each row (-1: the row does not count).
  // Statistics that measure one field, count every row of the batch and
  // start it with equal overall moments would each make the same overall
  // update: the first of them makes it, the others take its result.
  for (std::size_t i = 0; i < count; ++i) {
    auto* s = static_cast<ZelBivarGroupedMoments*>(statistics[i]);
    s->leader_ = nullptr;
    if (s->status_.IsError() || !s->PlaceRows(batch)) continue;
    if (!s->everyRow_) continue;
    for (std::size_t j = 0; j < i; ++j) {
      auto* earlier = static_cast<ZelBivarGroupedMoments*>(statistics[j]);
      if (earlier->leader_ == nullptr && earlier->everyRow_ && !earlier->status_.IsError() &&
          s->SameOverall(*earlier)) {
        s->leader_ = earlier;
        break;
      }
    }
  }
  for (std::size_t first = 0; first < count; first += kGroup) {
    const std::size_t n = std::min(kGroup, count - first);
    std::array<const int*, kGroup> groups{};
    std::array<const double*, kGroup> values{};
    std::array<ZelCategoryMoments*, kGroup> moments{};
    std::array<ZelCategoryMoments*, kGroup> overall{};
    std::size_t live = 0;
    for (std::size_t g = 0; g < n; ++g) {
      auto* statistic = static_cast<ZelBivarGroupedMoments*>(statistics[first + g]);
      if (statistic->status_.IsError()) continue;
      groups[live] = statistic->groups_.data();
      values[live] = batch.Column(static_cast<int>(statistic->valueIndex_)).reals.data();
      moments[live] = statistic->moments_.data();
      overall[live] = statistic->leader_ == nullptr ? &statistic->overall_ : nullptr;
      ++live;
    }
    if (frequencies == nullptr && analysis == nullptr) {
      AddRows<true>(live, rows, groups.data(), values.data(), moments.data(), overall.data(),
                    nullptr, nullptr);
    } else {
      AddRows<false>(live, rows, groups.data(), values.data(), moments.data(), overall.data(),
                     frequencies, analysis);
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    auto* s = static_cast<ZelBivarGroupedMoments*>(statistics[i]);
    if (s->leader_ != nullptr) s->overall_ = s->leader_->overall_;
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
