#include "transformation/ZelSupervisedMergeTransformation.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <queue>
#include <utility>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBivarCatTargetCat.h"
#include "statistics/ZelBivarContTargetCat.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

namespace {

TorStatus Inconsistent() { return TorStatus(ZelStatusCode::kInconsistent, false); }
TorStatus NoPValue() { return TorStatus(ZelStatusCode::kNumericalFailure, false); }

// A tested pair in the heap, with the order keys that decide between equal
// p-values.
struct ScoredPair {
  double p;
  int32_t firstKey;
  int32_t secondKey;
  uint32_t first;
  uint32_t second;
};

// Heap order: the larger p-value first; of equal ones the pair met first
// when the candidates are walked by order key.
struct RanksBelow {
  bool operator()(const ScoredPair& a, const ScoredPair& b) const {
    if (a.p != b.p) return a.p < b.p;
    if (a.firstKey != b.firstKey) return a.firstKey > b.firstKey;
    return a.secondKey > b.secondKey;
  }
};

}  // namespace

ZelSupervisedMergeTransformation::ZelSupervisedMergeTransformation(ZelVariableHandleList* fields,
                                                                   ZelVariableHandleInfo* input,
                                                                   int inputIndex, int targetIndex)
    : fields_(fields),
      input_(input),
      inputIndex_(inputIndex),
      target_(fields->GetHandle(targetIndex)),
      settings_(fields->GetSettings()),
      moments_(2) {}

ZelSupervisedMergeTransformation::~ZelSupervisedMergeTransformation() = default;

TorStatus ZelSupervisedMergeTransformation::RunSearch(const ZelOperationPair& pair) {
  if (target_ == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  TorStatus status = GatherCategories();
  if (status.IsError()) return status;
  status = GatherGroups();
  if (status.IsError() || groups_.size() < 2) return status;
  status = Search();
  if (status.IsError()) return status;
  // As many groups as categories: nothing merged. A category without target
  // information joins a group, which makes a merged field too.
  if (candidates_.size() == sourceCounts_.size()) return TorStatus();
  if (candidates_.size() == 1 && settings_->supervisedMergeKeepUnrelated) return TorStatus();
  status = BuildMapping();
  if (status.IsError()) return status;
  const std::string name = input_->GetName() + settings_->GetStepSuffix(Suffix());
  return AddMergedField(fields_, input_, inputIndex_, pair, name, std::move(mapping_));
}

TorStatus ZelSupervisedMergeTransformation::GatherCategories() {
  text_ = input_->GetMeasureLevel() == TorCommon_1_3::kLevelCategoricalString;
  if (text_) {
    const auto* statistic =
        dynamic_cast<const ZelStatistic::ZelUnivarStringCat*>(input_->GetUnivariate());
    if (statistic == nullptr) return Inconsistent();
    for (const auto& entry : statistic->GetFrequencies()) {
      sourceTexts_.push_back(entry.first);
      sourceCounts_.push_back(entry.second);
    }
  } else {
    const auto* statistic =
        dynamic_cast<const ZelStatistic::ZelUnivarNumericCat*>(input_->GetUnivariate());
    if (statistic == nullptr) return Inconsistent();
    for (const auto& entry : statistic->GetSummary().GetFrequencies()) {
      sourceValues_.push_back(entry.first);
      sourceCounts_.push_back(entry.second);
    }
  }
  return TorStatus();
}

// The bivariate statistic's rows follow the univariate table, so a row's
// position is its category's position.
TorStatus ZelSupervisedMergeTransformation::GatherGroups() {
  const double none = std::numeric_limits<double>::epsilon();
  const std::size_t count = sourceCounts_.size();
  auto start = [this](std::unique_ptr<CategoryInfo> group, int position) {
    group->id = static_cast<uint32_t>(groups_.size());
    group->members.push_back(position);
    group->orderKey = position;
    groups_.push_back(std::move(group));
  };
  if (target_->IsCategorical()) {
    const auto* statistic =
        dynamic_cast<const ZelStatistic::ZelBivarCatTargetCat*>(input_->GetTargetStatistic());
    if (statistic == nullptr) return Inconsistent();
    const ZelStatistic::ZelContingencyTable& table = statistic->GetTable();
    if (static_cast<std::size_t>(table.Rows()) != count) return Inconsistent();
    ordinalTarget_ = !target_->IsNominal();
    for (int i = 0; i < table.Rows(); ++i) {
      if (std::fabs(table.RowTotal(i)) < none) {
        withoutTarget_.push_back(i);
        continue;
      }
      auto group = std::make_unique<CategoryInfoCatTarget>();
      for (int j = 0; j < table.Columns(); ++j) {
        group->frequencies.push_back(table.Frequency(i, j));
        group->weighted.push_back(table.Weighted(i, j));
      }
      start(std::move(group), i);
    }
    return TorStatus();
  }
  const auto* statistic =
      dynamic_cast<const ZelStatistic::ZelBivarContTargetCat*>(input_->GetTargetStatistic());
  if (statistic == nullptr) return Inconsistent();
  const std::vector<ZelStatistic::ZelCategoryMoments>& moments = statistic->GetMoments();
  if (moments.size() != count) return Inconsistent();
  for (std::size_t i = 0; i < count; ++i) {
    if (std::fabs(moments[i].frequency) < none) {
      withoutTarget_.push_back(static_cast<int>(i));
      continue;
    }
    auto group = std::make_unique<CategoryInfoContTarget>();
    group->target = moments[i];
    start(std::move(group), static_cast<int>(i));
  }
  return TorStatus();
}

TorStatus ZelSupervisedMergeTransformation::Search() {
  for (const auto& group : groups_) candidates_.push_back(group->id);
  if (!BuildCandidatePairs(candidates_, -1)) return TorStatus();
  std::vector<ScoredPair> storage;
  storage.reserve(candidatePairs_.size() + 2 * groups_.size());
  std::priority_queue<ScoredPair, std::vector<ScoredPair>, RanksBelow> heap(RanksBelow(),
                                                                           std::move(storage));
  auto score = [&]() {
    for (const GroupPair& pair : candidatePairs_) {
      double p = 0.0;
      const TorStatus tested = Test(pair, &p);
      if (tested.IsError()) return tested;
      heap.push({p, groups_[pair.first]->orderKey, groups_[pair.second]->orderKey, pair.first,
                 pair.second});
    }
    candidatePairs_.clear();
    return TorStatus();
  };
  TorStatus status = score();
  while (!status.IsError()) {
    // Pairs of a group merged since they were tested are stale.
    while (!heap.empty() &&
           (!groups_[heap.top().first]->active || !groups_[heap.top().second]->active)) {
      heap.pop();
    }
    if (heap.empty() || !(heap.top().p > settings_->supervisedMergePvalue)) break;
    const ScoredPair best = heap.top();
    heap.pop();
    status = MergeGroups(best.first, best.second);
    if (status.IsError()) break;
    ReplaceCandidates(best.first, best.second, groups_.back()->id);
    if (!BuildCandidatePairs(candidates_, static_cast<int>(groups_.back()->id))) break;
    status = score();
  }
  return status;
}

TorStatus ZelSupervisedMergeTransformation::Test(const GroupPair& pair, double* p) {
  const CategoryInfo* first = groups_[pair.first].get();
  const CategoryInfo* second = groups_[pair.second].get();
  const auto* a = dynamic_cast<const CategoryInfoCatTarget*>(first);
  const auto* b = dynamic_cast<const CategoryInfoCatTarget*>(second);
  if (a != nullptr && b != nullptr) {
    const int columns = static_cast<int>(a->frequencies.size());
    table_.Resize(2, columns);
    for (int j = 0; j < columns; ++j) {
      table_.Set(0, j, a->frequencies[j], a->weighted[j]);
      table_.Set(1, j, b->frequencies[j], b->weighted[j]);
    }
    *p = test_.PValueCatTarget(table_, ordinalTarget_);
  } else {
    const auto* c = dynamic_cast<const CategoryInfoContTarget*>(first);
    const auto* d = dynamic_cast<const CategoryInfoContTarget*>(second);
    if (c == nullptr || d == nullptr) return Inconsistent();
    moments_[0] = c->target;
    moments_[1] = d->target;
    *p = test_.PValueContTarget(moments_);
  }
  return *p >= 0.0 && *p <= 1.0 ? TorStatus() : NoPValue();
}

TorStatus ZelSupervisedMergeTransformation::MergeGroups(uint32_t first, uint32_t second) {
  CategoryInfo* a = groups_[first].get();
  CategoryInfo* b = groups_[second].get();
  std::unique_ptr<CategoryInfo> merged;
  const auto* ca = dynamic_cast<const CategoryInfoCatTarget*>(a);
  const auto* cb = dynamic_cast<const CategoryInfoCatTarget*>(b);
  const auto* ma = dynamic_cast<const CategoryInfoContTarget*>(a);
  const auto* mb = dynamic_cast<const CategoryInfoContTarget*>(b);
  if (ca != nullptr && cb != nullptr) {
    auto pooled = std::make_unique<CategoryInfoCatTarget>(*ca);
    for (std::size_t j = 0; j < pooled->frequencies.size(); ++j) {
      pooled->frequencies[j] += cb->frequencies[j];
      pooled->weighted[j] += cb->weighted[j];
    }
    merged = std::move(pooled);
  } else if (ma != nullptr && mb != nullptr) {
    const ZelStatistic::ZelCategoryMoments& x = ma->target;
    const ZelStatistic::ZelCategoryMoments& y = mb->target;
    auto pooled = std::make_unique<CategoryInfoContTarget>();
    ZelStatistic::ZelCategoryMoments& t = pooled->target;
    t.frequency = x.frequency + y.frequency;
    t.weight = x.weight + y.weight;
    if (t.weight == 0.0) return NoPValue();
    t.mean = x.mean + (y.mean - x.mean) * y.weight / t.weight;
    t.m2 = x.m2 + y.m2 + x.weight * (t.mean - x.mean) * (t.mean - x.mean) +
           y.weight * (t.mean - y.mean) * (t.mean - y.mean);
    merged = std::move(pooled);
  } else {
    return Inconsistent();
  }
  a->active = false;
  b->active = false;
  merged->active = true;
  merged->id = static_cast<uint32_t>(groups_.size());
  merged->members.clear();
  std::merge(a->members.begin(), a->members.end(), b->members.begin(), b->members.end(),
             std::back_inserter(merged->members));
  merged->orderKey = merged->members.back();
  groups_.push_back(std::move(merged));
  return TorStatus();
}

void ZelSupervisedMergeTransformation::ReplaceCandidates(uint32_t first, uint32_t second,
                                                         uint32_t merged) {
  candidates_.erase(std::remove_if(candidates_.begin(), candidates_.end(),
                                   [&](uint32_t g) { return g == first || g == second; }),
                    candidates_.end());
  const int32_t key = groups_[merged]->orderKey;
  const auto at = std::lower_bound(
      candidates_.begin(), candidates_.end(), key,
      [this](uint32_t g, int32_t k) { return groups_[g]->orderKey < k; });
  candidates_.insert(at, merged);
}

void ZelSupervisedMergeTransformation::MapCategory(std::size_t position, std::size_t label) {
  if (text_) {
    mapping_.texts[sourceTexts_[position]] = ZelStatistic::FormatInteger(static_cast<int64_t>(label));
  } else {
    mapping_.numbers[sourceValues_[position]] = static_cast<double>(label);
  }
}

}  // namespace ZelTransformation
