#include "statistics/ZelUnivarStringCat.h"

#include <algorithm>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"
#include "settings/ZelSettings.h"

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

constexpr std::size_t kWalkedCategories = 16;

}  // namespace

ZelUnivarStringCat::ZelUnivarStringCat(const ZelSettings* settings, uint32_t fieldIndex)
    : ZelStatistics(settings, kUnivariateStringCat),
      fieldIndex_(fieldIndex),
      distinctLimit_(static_cast<uint64_t>(std::max(0, settings->screeningThresholdForNominal))) {
  seen_.reserve(kWalkedCategories);
}

TorStatus ZelUnivarStringCat::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  const int64_t count = CountIncrement(FrequencyWeight(record));
  const RawData& value = record[fieldIndex_];
  if (value.IsMissing()) {
    missingCount_ += count;
    return status_;
  }
  if (value.GetStorage() != TorCommon_1_3::kStorageString) {
    return Fail(ZelStatusCode::kBadValueType);
  }
  validCount_ += count;
  if (frequencies_.size() <= distinctLimit_) Count(value.GetString(), count);
  return status_;
}

std::map<std::string, int64_t>::iterator ZelUnivarStringCat::Count(const std::string& text,
                                                                  int64_t count) {
  for (const auto& entry : seen_) {
    if (entry->first == text) {
      entry->second += count;
      return entry;
    }
  }
  // Only a new category copies its text.
  auto it = frequencies_.lower_bound(text);
  if (it != frequencies_.end() && it->first == text) {
    it->second += count;
  } else {
    it = frequencies_.emplace_hint(it, text, count);
    if (seen_.size() < kWalkedCategories) seen_.push_back(it);
  }
  return it;
}

TorStatus ZelUnivarStringCat::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const ZelBatchColumn& column = batch.Column(static_cast<int>(fieldIndex_));
  const double* frequencies = FrequencyWeights(batch);
  memo_.Clear();
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    const int64_t count = CountIncrement(frequencies != nullptr ? frequencies[k] : 1.0);
    if (column.missing[k] != 0) {
      missingCount_ += count;
      continue;
    }
    if (column.storage[k] != TorCommon_1_3::kStorageString) {
      return Fail(ZelStatusCode::kBadValueType);
    }
    validCount_ += count;
    if (frequencies_.size() > distinctLimit_) continue;
    const std::string* text = column.texts[k];
    std::map<std::string, int64_t>::iterator entry;
    if (memo_.Find(text, &entry)) {
      entry->second += count;
    } else {
      memo_.Put(text, Count(*text, count));
    }
  }
  return status_;
}

TorStatus ZelUnivarStringCat::Finalize() {
  collected_ = true;
  if (frequencies_.empty() || HasOverflowed()) return status_;
  auto best = frequencies_.begin();
  for (auto it = frequencies_.begin(); it != frequencies_.end(); ++it) {
    if (it->second > best->second) best = it;
  }
  mode_ = best->first;
  return status_;
}

TorStatus ZelUnivarStringCat::CopyFrom(const ZelStatistics& other) {
  if (status_.IsError()) return status_;
  if (other.GetType() != kUnivariateStringCat) return Fail(ZelStatusCode::kMissingStatistic);
  const auto* strings = dynamic_cast<const ZelUnivarStringCat*>(&other);
  if (strings == nullptr) return Fail(ZelStatusCode::kInconsistent);
  missingCount_ = strings->missingCount_;
  validCount_ = strings->validCount_;
  frequencies_ = strings->frequencies_;
  seen_.clear();
  mode_ = strings->mode_;
  distinctLimit_ = strings->distinctLimit_;
  status_ = strings->status_;
  collected_ = true;
  return status_;
}

void ZelUnivarStringCat::ReplaceMissingBy(const std::string& category) {
  frequencies_[category] += missingCount_;
  validCount_ += missingCount_;
  missingCount_ = 0;
}

std::vector<std::string> ZelUnivarStringCat::GetCategories() const {
  std::vector<std::string> categories;
  categories.reserve(frequencies_.size());
  for (const auto& entry : frequencies_) categories.push_back(entry.first);
  return categories;
}

int64_t ZelUnivarStringCat::GetFrequency(const std::string& category) const {
  const auto it = frequencies_.find(category);
  return it != frequencies_.end() ? it->second : 0;
}

}  // namespace ZelStatistic
