#include "transformation/ZelUnsupervisedMergeHandler.h"

#include <algorithm>
#include <numeric>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelMergedField.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

ZelUnsupervisedMergeHandler::ZelUnsupervisedMergeHandler(
    const ZelOperationPair& pair, ZelVariableHandleList* fields,
    std::vector<TorCommon_1_3::TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings) {
  if (!Settings()->unsupervisedMergeNominal && !Settings()->unsupervisedMergeOrdinal) return;
  if (fields->GetTargetIndex() != -1) Warn(ZelStatusCode::kUnsupervisedMergeWithTarget);
  if (fields->GetCategoricalInputs().empty()) {
    Warn(ZelStatusCode::kUnsupervisedMergeWithoutCategoricalInput);
  }
}

ZelUnsupervisedMergeHandler::~ZelUnsupervisedMergeHandler() = default;

TorStatus ZelUnsupervisedMergeHandler::Check() {
  return CheckStep(Step::kHandleCategoricalFeatures);
}

bool ZelUnsupervisedMergeHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr &&
         (settings->unsupervisedMergeNominal || settings->unsupervisedMergeOrdinal) &&
         fields_->GetTargetIndex() == -1;
}

void ZelUnsupervisedMergeHandler::Clear() {
  text_ = false;
  minimumCount_ = 0;
  texts_.clear();
  values_.clear();
  counts_.clear();
  groups_.clear();
}

TorStatus ZelUnsupervisedMergeHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  if (field->IsTarget()) return TorStatus();
  const bool nominal = field->IsNominal() && Settings()->unsupervisedMergeNominal;
  const bool ordinal = field->IsOrdinal() && Settings()->unsupervisedMergeOrdinal;
  if (!nominal && !ordinal) return TorStatus();
  Clear();
  const TorStatus gathered = Gather(*field, nominal);
  if (gathered.IsError()) return gathered;
  if (counts_.size() < 2) return TorStatus();
  FormGroups();
  if (groups_.size() >= counts_.size()) return TorStatus();
  return Derive(field, index);
}

// Categories ascending by value or text as the statistic keeps them; a
// nominal field's are then ordered by count, equal counts keeping that order.
TorStatus ZelUnsupervisedMergeHandler::Gather(const ZelVariableHandleInfo& field, bool nominal) {
  const TorStatus inconsistent(ZelStatusCode::kInconsistent, false);
  int64_t valid = 0;
  text_ = field.GetMeasureLevel() == TorCommon_1_3::kLevelCategoricalString;
  if (text_) {
    const auto* statistic =
        dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(field.GetUnivariate());
    if (statistic == nullptr) return inconsistent;
    valid = statistic->GetValidCount();
    for (const auto& entry : statistic->GetFrequencies()) {
      texts_.push_back(entry.first);
      counts_.push_back(entry.second);
    }
  } else {
    const auto* statistic =
        dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(field.GetUnivariate());
    if (statistic == nullptr) return inconsistent;
    valid = statistic->GetSummary().GetValidCount();
    for (const auto& entry : statistic->GetSummary().GetFrequencies()) {
      values_.push_back(entry.first);
      counts_.push_back(entry.second);
    }
  }
  minimumCount_ =
      static_cast<int64_t>(static_cast<double>(valid) * Settings()->unsupervisedMergeMin + 0.5);
  if (!nominal) return TorStatus();

  std::vector<std::size_t> order(counts_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [this](std::size_t a, std::size_t b) { return counts_[a] < counts_[b]; });
  auto permute = [&order](auto& list) {
    std::remove_reference_t<decltype(list)> sorted;
    sorted.reserve(list.size());
    for (std::size_t i : order) sorted.push_back(list[i]);
    list.swap(sorted);
  };
  permute(counts_);
  if (text_) {
    permute(texts_);
  } else {
    permute(values_);
  }
  return TorStatus();
}

void ZelUnsupervisedMergeHandler::FormGroups() {
  const std::size_t k = counts_.size();
  std::size_t start = 0;
  std::size_t formed = 0;
  int64_t sum = 0;
  for (std::size_t i = 0; i < k; ++i) {
    sum += counts_[i];
    if (sum < minimumCount_) continue;
    if (i < k - 1 || formed > 0) {
      groups_.emplace_back(start, i);
    } else {
      // Only everything together reaches the minimum: the last (largest)
      // category stands alone, so the field keeps two categories.
      groups_.emplace_back(0, k - 2);
      groups_.emplace_back(k - 1, k - 1);
    }
    ++formed;
    start = i + 1;
    sum = 0;
  }
  if (start >= k) return;
  if (formed == 0) {
    groups_.emplace_back(0, k - 2);
    groups_.emplace_back(k - 1, k - 1);
  } else if (formed == 1) {
    groups_.emplace_back(start, k - 1);
  } else {
    groups_.back().second = k - 1;
  }
}

TorStatus ZelUnsupervisedMergeHandler::Derive(ZelVariableHandleInfo* field, int index) {
  ZelCategoryMapping mapping;
  for (std::size_t n = 0; n < groups_.size(); ++n) {
    for (std::size_t i = groups_[n].first; i <= groups_[n].second; ++i) {
      if (text_) {
        mapping.texts[texts_[i]] = ZelStatistic::FormatInteger(static_cast<int64_t>(n));
      } else {
        mapping.numbers[values_[i]] = static_cast<double>(n);
      }
    }
  }
  const std::string name = field->GetName() + Settings()->GetStepSuffix(StepSuffix::kMergeNoTarget);
  return AddMergedField(fields_, field, index, pair_, name, std::move(mapping));
}

}  // namespace ZelTransformation
