#include "statistics/ContSummary.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::TorStatus;

ContSummary::ContSummary(bool noMoments, uint64_t distinctLimit)
    : minimum_(std::numeric_limits<double>::max()),
      maximum_(-std::numeric_limits<double>::max()),
      noMoments_(noMoments),
      distinctLimit_(distinctLimit) {}

TorStatus ContSummary::Add(const RawData& value, int64_t count, double weight) {
  if (status_.IsError()) return status_;
  if (value.IsMissing()) {
    AddMissing(count);
    return status_;
  }
  switch (value.GetStorage()) {
    case TorCommon_1_3::kStorageInteger:
    case TorCommon_1_3::kStorageReal:
    case TorCommon_1_3::kStorageDate:
    case TorCommon_1_3::kStorageTime:
      AddValue(value.GetReal(), count, weight);
      return status_;
    default:
      status_ = TorStatus(ZelStatusCode::kBadValueType, false);
      return status_;
  }
}

void ContSummary::AddMissing(int64_t count) { missingCount_ += count; }

void ContSummary::AddColumns(ContSummary* const* summaries, const ZelBatchColumn* const* columns,
                             std::size_t count, std::size_t rows, const double* frequencies,
                             const double* analysis) {
  constexpr std::size_t kGroup = 4;
  for (std::size_t first = 0; first < count; first += kGroup) {
    const std::size_t n = std::min(kGroup, count - first);
    ContSummary* const* s = summaries + first;
    const ZelBatchColumn* const* c = columns + first;
    for (std::size_t k = 0; k < rows; ++k) {
      const double frequency = frequencies != nullptr ? frequencies[k] : 1.0;
      const auto whole = static_cast<int64_t>(frequency);
      const double weight = frequency * (analysis != nullptr ? analysis[k] : 1.0);
      for (std::size_t g = 0; g < n; ++g) {
        if (s[g]->status_.IsError()) continue;
        if (c[g]->missing[k] != 0) {
          s[g]->missingCount_ += whole;
          continue;
        }
        switch (c[g]->storage[k]) {
          case TorCommon_1_3::kStorageInteger:
          case TorCommon_1_3::kStorageReal:
          case TorCommon_1_3::kStorageDate:
          case TorCommon_1_3::kStorageTime:
            s[g]->AddValue(c[g]->reals[k], whole, weight);
            break;
          default:
            s[g]->status_ = TorStatus(ZelStatusCode::kBadValueType, false);
            break;
        }
      }
    }
  }
}

TorStatus ContSummary::AddColumn(const ZelBatchColumn& column, std::size_t rows,
                                 const double* frequencies, const double* analysis) {
  if (status_.IsError()) return status_;
  for (std::size_t k = 0; k < rows; ++k) {
    const double frequency = frequencies != nullptr ? frequencies[k] : 1.0;
    const auto count = static_cast<int64_t>(frequency);
    if (column.missing[k] != 0) {
      missingCount_ += count;
      continue;
    }
    switch (column.storage[k]) {
      case TorCommon_1_3::kStorageInteger:
      case TorCommon_1_3::kStorageReal:
      case TorCommon_1_3::kStorageDate:
      case TorCommon_1_3::kStorageTime:
        AddValue(column.reals[k], count, frequency * (analysis != nullptr ? analysis[k] : 1.0));
        break;
      default:
        status_ = TorStatus(ZelStatusCode::kBadValueType, false);
        return status_;
    }
  }
  return status_;
}

TorStatus ContSummary::Finalize() {
  const int64_t n = validCount_;
  if (n > 1) stdDev_ = std::sqrt(m2_ / static_cast<double>(n - 1));
  const double variance = stdDev_ * stdDev_;
  if (n >= 3 && variance >= 1e-19) {
    skewnessValid_ = true;
    // In floating point: with frequency weights n may pass 3e9, where the
    // product no longer fits 64 bits.
    const double count = static_cast<double>(n);
    const double divisor = (count - 2.0) * (count - 1.0);
    skewness_ = count * m3_ / (divisor * variance * stdDev_);
  } else {
    skewnessValid_ = false;
  }
  if (HasOverflowed()) return status_;
  if (n > 0) {
    int64_t running = 0;
    for (const auto& entry : frequencies_) {
      running += entry.second;
      if (static_cast<double>(running) / static_cast<double>(n) >= 0.5) {
        median_ = entry.first;
        break;
      }
    }
  }
  if (!frequencies_.empty()) {
    // Ascending walk, replaced only by a strictly larger frequency: ties go
    // to the smallest value.
    auto best = frequencies_.begin();
    for (auto it = frequencies_.begin(); it != frequencies_.end(); ++it) {
      if (it->second > best->second) best = it;
    }
    mode_ = best->first;
  }
  return status_;
}

std::vector<double> ContSummary::GetValues() const {
  std::vector<double> values;
  values.reserve(frequencies_.size());
  for (const auto& entry : frequencies_) values.push_back(entry.first);
  return values;
}

int64_t ContSummary::GetFrequency(double value) const {
  const auto it = frequencies_.find(value);
  return it != frequencies_.end() ? it->second : 0;
}

void ContSummary::SetFrequency(double value, int64_t count) { frequencies_[value] = count; }

void ContSummary::CountMissingAsValid() {
  validCount_ += missingCount_;
  missingCount_ = 0;
  skewnessValid_ = validCount_ >= 3 && stdDev_ * stdDev_ >= 1e-19;
}

void ContSummary::ReplaceMissingByMean() {
  const double valid = static_cast<double>(validCount_);
  const double total = static_cast<double>(validCount_ + missingCount_);
  if (validCount_ > 0 && missingCount_ > 0 && total > 1.0) {
    const double c = std::sqrt((valid - 1.0) / (total - 1.0));
    stdDev_ *= c;
    if (c > 0.0 && total > 2.0) {
      skewness_ = (valid - 2.0) * total / ((total - 2.0) * valid) * skewness_ / c;
    }
  }
  CountMissingAsValid();
}

void ContSummary::ReplaceMissingByValue(double value) {
  SetFrequency(value, GetFrequency(value) + missingCount_);
  CountMissingAsValid();
}

void ContSummary::SetTransformed(double minimum, double maximum, double mean, double stdDev,
                                 double skewness) {
  minimum_ = minimum;
  maximum_ = maximum;
  shift_ = 0.0;
  mean_ = mean;
  stdDev_ = stdDev;
  skewness_ = skewness;
  skewnessValid_ = validCount_ > 2 && stdDev * stdDev >= 1e-19;
}

void ContSummary::SetExtremes(double minimum, double maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

}  // namespace ZelStatistic
