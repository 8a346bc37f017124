#include "statistics/ZelUnivarStringCat.h"

#include <algorithm>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"
#include "settings/ZelSettings.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

constexpr std::size_t kWalkedCategories = 16;

}  // namespace

ZelUnivarStringCat::ZelUnivarStringCat(const ZelSettings* settings, uint32_t fieldIndex,
                                       bool encodable)
    : ZelStatistics(settings, kUnivariateStringCat),
      fieldIndex_(fieldIndex),
      table_(static_cast<uint64_t>(std::max(0, settings->NominalCategoryLimit(encodable)))),
      distinctLimit_(table_.Limit()) {}

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
  if (!table_.Full()) Count(value.GetString(), count);
  return status_;
}

ZelUnivarStringCat::Table::Entry ZelUnivarStringCat::Count(const std::string& text,
                                                           int64_t count) {
  // The first categories are walked before the table is searched: a field
  // with few categories finds each mostly by its length.
  const std::size_t walked = std::min(kWalkedCategories, table_.Size());
  for (std::size_t i = 0; i < walked; ++i) {
    if (table_.KeyAt(i) == text) {
      const Table::Entry entry = table_.EntryAt(i);
      table_.Count(entry, count);
      return entry;
    }
  }
  return table_.Add(text, count);
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
    if (table_.Full()) continue;
    const std::string* text = column.texts[k];
    Table::Entry entry;
    if (memo_.Find(text, &entry)) {
      table_.Count(entry, count);
    } else {
      memo_.Put(text, Count(*text, count));
    }
  }
  return status_;
}

TorStatus ZelUnivarStringCat::Finalize() {
  collected_ = true;
  frequencies_ = table_.Ascending();
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
  table_ = strings->table_;
  frequencies_ = strings->frequencies_;
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
