#include "statistics/ZelCategoryList.h"

#include <algorithm>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatchColumn;
using ZelFrame::ZelTextMemo;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::TorStatus;

namespace {

constexpr std::size_t kWalkedTexts = 16;

}  // namespace

TorStatus ZelCategoryList::InitFrom(const ZelStatistics* univariate) {
  numbers_.clear();
  texts_.clear();
  if (const auto* numeric = dynamic_cast<const ZelUnivarNumericCat*>(univariate)) {
    numbers_ = numeric->GetValues();
    count_ = static_cast<int>(numbers_.size());
    return TorStatus();
  }
  if (const auto* strings = dynamic_cast<const ZelUnivarStringCat*>(univariate)) {
    texts_ = strings->GetCategories();
    count_ = static_cast<int>(texts_.size());
    return TorStatus();
  }
  count_ = 0;
  return TorStatus(ZelStatusCode::kMissingStatistic, false);
}

int ZelCategoryList::GetCategoryIndex(const RawData& value) const {
  switch (value.GetStorage()) {
    case TorCommon_1_3::kStorageString:
      return IndexOfText(value.GetString());
    case TorCommon_1_3::kStorageInteger:
    case TorCommon_1_3::kStorageReal:
    case TorCommon_1_3::kStorageDate:
    case TorCommon_1_3::kStorageTime:
    case TorCommon_1_3::kStorageTimestamp:
      return IndexOfNumber(value.GetReal());
    default:
      return -1;
  }
}

int ZelCategoryList::GetCategoryIndex(const ZelBatchColumn& column, std::size_t k,
                                      ZelTextMemo<int>* memo) const {
  switch (column.storage[k]) {
    case TorCommon_1_3::kStorageString: {
      const std::string* text = column.texts[k];
      int index;
      if (memo->Find(text, &index)) return index;
      index = IndexOfText(*text);
      memo->Put(text, index);
      return index;
    }
    case TorCommon_1_3::kStorageInteger:
    case TorCommon_1_3::kStorageReal:
    case TorCommon_1_3::kStorageDate:
    case TorCommon_1_3::kStorageTime:
    case TorCommon_1_3::kStorageTimestamp:
      return IndexOfNumber(column.reals[k]);
    default:
      return -1;
  }
}

bool ZelCategoryList::PlaceTexts(const ZelBatchColumn& column, std::size_t rows,
                                 ZelTextMemo<int>* memo, int* positions) const {
  bool every = true;
  for (std::size_t k = 0; k < rows; ++k) {
    const std::string* text = column.texts[k];
    int index;
    if (!memo->Find(text, &index)) {
      index = IndexOfText(*text);
      memo->Put(text, index);
    }
    positions[k] = index;
    every = every && index >= 0;
  }
  return every;
}

int ZelCategoryList::IndexOfText(const std::string& text) const {
  // A short list is walked: most categories differ from the value in
  // length, which costs less than the ordering comparisons of a binary
  // search.
  if (texts_.size() <= kWalkedTexts) {
    for (std::size_t i = 0; i < texts_.size(); ++i) {
      if (texts_[i] == text) return static_cast<int>(i);
    }
    return -1;
  }
  const auto it = std::lower_bound(texts_.begin(), texts_.end(), text);
  if (it == texts_.end() || *it != text) return -1;
  return static_cast<int>(it - texts_.begin());
}

int ZelCategoryList::IndexOfNumber(double x) const {
  const auto it = std::lower_bound(numbers_.begin(), numbers_.end(), x);
  if (it == numbers_.end() || *it != x) return -1;
  return static_cast<int>(it - numbers_.begin());
}

}  // namespace ZelStatistic
