#include "settings/ZelVariableHandleList.h"

#include <algorithm>

#include "statistics/ZelBivarContCont.h"

using ZelFrame::ZelBatch;

using TorCommon_1_3::ITorVariable;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

ZelVariableHandleList::ZelVariableHandleList(const ZelSettings* settings) : settings_(settings) {}

ZelVariableHandleList::~ZelVariableHandleList() = default;

int ZelVariableHandleList::Append(std::unique_ptr<ZelVariableHandleInfo> handle) {
  status_ = handle->GetStatus();
  if (status_.IsError()) return -1;
  handles_.push_back(std::move(handle));
  return Count() - 1;
}

int ZelVariableHandleList::AddField(const ITorVariable& variable) {
  return Append(std::make_unique<ZelVariableHandleInfo>(settings_, variable, Count()));
}

int ZelVariableHandleList::AddDerivedCopy(const std::string& name, const ITorVariable& source,
                                          const Pair& pair) {
  return Append(std::make_unique<ZelVariableHandleInfo>(settings_, name, source, pair, Count()));
}

int ZelVariableHandleList::AddDerivedField(const std::string& name, const std::string& label,
                                           int kind, bool isTarget, int storage, const Pair& pair) {
  return Append(std::make_unique<ZelVariableHandleInfo>(settings_, name, label, kind, isTarget,
                                                        storage, pair, Count()));
}

ZelVariableHandleInfo* ZelVariableHandleList::GetHandle(int i) const {
  return i >= 0 && i < Count() ? handles_[i].get() : nullptr;
}

int ZelVariableHandleList::GetTargetIndex() const {
  for (int i = 0; i < Count(); ++i) {
    if (handles_[i]->IsTarget() && !handles_[i]->IsExcluded()) return i;
  }
  return -1;
}

int ZelVariableHandleList::GetRootIndex(int i) const {
  const ZelVariableHandleInfo* handle = GetHandle(i);
  if (handle == nullptr || !handle->IsDerived()) return -1;
  // Rules only refer to fields that existed before them, so a chain is never
  // longer than the list; the bound keeps a malformed one from looping.
  for (int steps = 0; steps < Count() && handle->IsDerived(); ++steps) {
    const ZelTransformation::ZelTransformRule* rule = handle->GetRule();
    if (rule == nullptr) return -1;
    i = rule->GetSourceIndex();
    handle = GetHandle(i);
    if (handle == nullptr) return -1;
  }
  return handle->IsDerived() ? -1 : i;
}

std::vector<int> ZelVariableHandleList::GetContinuousInputs() const {
  std::vector<int> inputs;
  for (int i = 0; i < Count(); ++i) {
    const ZelVariableHandleInfo& handle = *handles_[i];
    if (!handle.IsExcluded() && !handle.IsTarget() && !handle.IsWeight() && handle.IsContinuous()) {
      inputs.push_back(i);
    }
  }
  return inputs;
}

std::vector<int> ZelVariableHandleList::GetCategoricalInputs() const {
  std::vector<int> inputs;
  for (int i = 0; i < Count(); ++i) {
    const ZelVariableHandleInfo& handle = *handles_[i];
    if (!handle.IsExcluded() && !handle.IsTarget() && !handle.IsWeight() &&
        handle.IsCategorical()) {
      inputs.push_back(i);
    }
  }
  return inputs;
}

int ZelVariableHandleList::GetValidCount() const {
  int count = 0;
  for (const auto& handle : handles_) {
    if (!handle->IsExcluded() && !handle->IsWeight()) ++count;
  }
  return count;
}

int ZelVariableHandleList::GetFieldKind(int i) const {
  const ZelVariableHandleInfo* handle = GetHandle(i);
  if (handle == nullptr) return -1;
  if (!handle->IsDerived()) {
    if (handle->IsFrequencyWeight()) return FieldKind::kFrequencyWeight;
    if (handle->IsAnalysisWeight()) return FieldKind::kAnalysisWeight;
    return handle->IsTarget() ? FieldKind::kHostTarget : FieldKind::kHostInput;
  }
  if (handle->IsTarget()) return FieldKind::kDerivedTarget;
  // Walk towards the source: a construction or a date/time derivation
  // anywhere up the chain names what the field is.
  for (int steps = 0; steps < Count() && handle != nullptr && handle->IsDerived(); ++steps) {
    const ZelTransformation::ZelTransformRule* rule = handle->GetRule();
    if (rule == nullptr) break;
    if (rule->GetRuleType() == ZelTransformation::RuleType::kConstructFeature) {
      return FieldKind::kConstructed;
    }
    if (rule->GetPair().step == ZelTransformation::Step::kDateTimeHandle) {
      return FieldKind::kFromDateTime;
    }
    handle = GetHandle(rule->GetSourceIndex());
  }
  return FieldKind::kTransformed;
}

void ZelVariableHandleList::BeginPass() {
  pending_.clear();
  for (int i = 0; i < Count(); ++i) {
    if (handles_[i]->NeedsStatistics()) pending_.push_back(i);
  }
  const auto* pairs = dynamic_cast<const ZelStatistic::ZelBivarContCont*>(listStatistic_.get());
  if (pairs != nullptr && !pairs->IsInformationCollected()) {
    for (int i : pairs->GetFieldIndices()) {
      if (i >= 0 && i < Count()) pending_.push_back(i);
    }
    std::sort(pending_.begin(), pending_.end());
    pending_.erase(std::unique(pending_.begin(), pending_.end()), pending_.end());
  }
  live_.clear();
  std::vector<ZelStatistic::ZelStatistics*> statistics;
  for (int i : pending_) {
    statistics.clear();
    handles_[i]->AppendLiveStatistics(&statistics);
    for (ZelStatistic::ZelStatistics* statistic : statistics) {
      live_.push_back({statistic, handles_[i].get()});
    }
  }
}

TorStatus ZelVariableHandleList::ProcessRecord(const RawRecord& record) {
  TorStatus result;
  for (const LiveStatistic& live : live_) {
    result = live.statistic->AddRecord(record);
    if (result.IsError()) {
      live.field->SetStatus(result);
      break;
    }
  }
  if (!result.IsError() && listStatistic_ != nullptr &&
      !listStatistic_->IsInformationCollected()) {
    result = listStatistic_->AddRecord(record);
  }
  status_ = result;
  return result;
}

TorStatus ZelVariableHandleList::ProcessBatch(const ZelBatch& batch) {
  TorStatus result;
  byRecord_.clear();
  for (auto& kind : sideBySide_) kind.clear();
  for (const LiveStatistic& live : live_) {
    if (!live.statistic->TakesBatches()) {
      byRecord_.push_back(live);
      continue;
    }
    const int kind = live.statistic->SideBySideKind();
    if (kind != ZelStatistic::ZelStatistics::kAlone) {
      sideBySide_[static_cast<std::size_t>(kind)].push_back(live.statistic);
      continue;
    }
    result = live.statistic->AddBatch(batch);
    if (result.IsError()) {
      live.field->SetStatus(result);
      status_ = result;
      return result;
    }
  }
  for (const auto& kind : sideBySide_) {
    if (kind.empty()) continue;
    result = kind.front()->AddBatchSideBySide(kind.data(), kind.size(), batch);
    if (result.IsError()) {
      for (const LiveStatistic& live : live_) {
        if (live.statistic->GetStatus().IsError()) {
          live.field->SetStatus(live.statistic->GetStatus());
          break;
        }
      }
      status_ = result;
      return result;
    }
  }
  ZelStatistic::ZelStatistics* list =
      listStatistic_ != nullptr && !listStatistic_->IsInformationCollected() ? listStatistic_.get()
                                                                             : nullptr;
  if (list != nullptr && list->TakesBatches()) {
    result = list->AddBatch(batch);
    list = nullptr;
  }
  if (!result.IsError() && (!byRecord_.empty() || list != nullptr)) {
    for (std::size_t k = 0; k < batch.Rows() && !result.IsError(); ++k) {
      const RawRecord& record = batch.Record(k);
      for (const LiveStatistic& live : byRecord_) {
        result = live.statistic->AddRecord(record);
        if (result.IsError()) {
          live.field->SetStatus(result);
          break;
        }
      }
      if (!result.IsError() && list != nullptr) result = list->AddRecord(record);
    }
  }
  status_ = result;
  return result;
}

TorStatus ZelVariableHandleList::EndPass() {
  TorStatus result;
  for (int i : pending_) {
    result = handles_[i]->EndPass();
    if (result.IsError()) break;
  }
  if (!result.IsError() && listStatistic_ != nullptr &&
      !listStatistic_->IsInformationCollected()) {
    result = listStatistic_->Finalize();
  }
  status_ = result;
  return result;
}

void ZelVariableHandleList::Display(std::ostream& out) const {
  out << "Display ZelVariableHandleList begin,\n"
      << "Var Count: " << Count() << "\n"
      << "Valid Var Count: " << GetValidCount() << "\n";
  for (int i = 0; i < Count(); ++i) {
    out << "Index: " << i << "\n";
    handles_[i]->Display(out, true);
  }
  out << "End of display ZelVariableHandleList\n";
}
