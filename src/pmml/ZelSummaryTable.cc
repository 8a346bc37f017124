#include "pmml/ZelSummaryTable.h"

#include <set>
#include <string_view>

#include "frame/ZelStatusCodes.h"
#include "pmml/ZelSummaryVocabulary.h"
#include "settings/ZelVariableHandleList.h"
#include "transformation/ZelDateTimeFunctionRule.h"

namespace ZelSummary {

using TorCommon_1_3::TorStatus;
using ZelTransformation::ZelDateTimeFunctionRule;
using ZelTransformation::ZelTransformRule;
namespace Action = ZelTransformation::Action;

namespace {

TorStatus BadRecord() { return TorStatus(ZelStatusCode::kBadSummaryRecord, false); }

}  // namespace

ActionInfo::~ActionInfo() = default;

TorStatus SummaryTable::SetStepCounts(uint32_t step, int inputs, int outputs) {
  if (step >= static_cast<uint32_t>(kSteps)) return BadRecord();
  std::optional<StepSumInfo>& record = steps_[step];
  if (!record) {
    record.emplace();
    record->step = static_cast<int>(step);
    record->inputFeatures = inputs;
  }
  record->outputFeatures = outputs;
  return TorStatus();
}

const StepSumInfo* SummaryTable::GetStep(int step) const {
  if (step < 0 || step >= kSteps || !steps_[step]) return nullptr;
  return &*steps_[step];
}

int SummaryTable::GetActionCount(int action) const {
  return action >= 0 && action < kActions ? actionCounts_[action] : 0;
}

TorStatus SummaryTable::Collect(double processingSeconds) {
  counts_ = SummaryCounts();
  counts_.processingSeconds = processingSeconds;
  actionCounts_.fill(0);
  for (auto& record : steps_) {
    if (record) record->actions.clear();
  }
  if (fields_ == nullptr || fields_->GetSettings() == nullptr) {
    return TorStatus(ZelStatusCode::kSummaryFailed, false);
  }
  CountFields();
  counts_.originalFieldsNotUsed = CountOriginalFieldsNotUsed();
  return CollectActions();
}

void SummaryTable::CountFields() {
  for (int i = 0; i < fields_->Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_->GetHandle(i);
    if (!field->IsDerived()) {
      if (field->IsTarget()) {
        ++counts_.target;
      } else if (!field->IsWeight()) {
        ++counts_.originalInputFields;
      }
    }
    if (field->IsExcluded()) continue;
    switch (fields_->GetFieldKind(i)) {
      case FieldKind::kHostInput:
        ++counts_.recommendedOriginalFields;
        ++counts_.recommendedTotal;
        break;
      case FieldKind::kConstructed:
        ++counts_.recommendedConstructed;
        ++counts_.recommendedTotal;
        break;
      case FieldKind::kFromDateTime:
        ++counts_.recommendedDerivedFromDateTime;
        ++counts_.recommendedTotal;
        break;
      case FieldKind::kTransformed:
        ++counts_.recommendedTransformationsOfOriginalFields;
        ++counts_.recommendedTotal;
        break;
      case FieldKind::kHostTarget:
        ++counts_.recommendedTarget;
        break;
      case FieldKind::kDerivedTarget:
        ++counts_.recommendedTransformTarget;
        break;
      default:
        break;
    }
  }
}

int SummaryTable::CountOriginalFieldsNotUsed() const {
  // A derived field stands for the host field its chain starts from; a
  // constructed one for the roots of all its inputs. The used names go into
  // a set, so a header of many fields costs n log n, not n squared.
  auto rootName = [this](int index) -> const std::string* {
    const ZelVariableHandleInfo* field = fields_->GetHandle(index);
    if (field != nullptr && field->IsDerived()) {
      field = fields_->GetHandle(fields_->GetRootIndex(index));
    }
    return field != nullptr ? &field->GetName() : nullptr;
  };
  std::set<std::string_view> used;
  auto use = [&](int index) {
    if (const std::string* name = rootName(index)) used.insert(*name);
  };
  for (int i = 0; i < fields_->Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_->GetHandle(i);
    if (field->IsExcluded()) continue;
    const ZelTransformRule* rule = field->IsDerived() ? field->GetRule() : nullptr;
    if (rule != nullptr && rule->GetRuleType() == ZelTransformation::RuleType::kConstructFeature) {
      for (int input : rule->GetInputIndices()) use(input);
    } else {
      use(i);
    }
  }
  int unused = 0;
  for (int i = 0; i < fields_->Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_->GetHandle(i);
    if (!field->IsDerived() && !field->IsTarget() && !field->IsWeight() &&
        used.count(field->GetName()) == 0) {
      ++unused;
    }
  }
  return unused;
}

TorStatus SummaryTable::CollectActions() {
  const ZelSettings& settings = *fields_->GetSettings();
  for (int i = 0; i < fields_->Count(); ++i) {
    const ZelVariableHandleInfo* field = fields_->GetHandle(i);
    const uint32_t excludedBy = field->IsExcluded() ? field->GetExcludedReason().action : 0;
    if (field->IsDerived()) {
      const ZelTransformRule* rule = field->GetRule();
      if (rule == nullptr) return BadRecord();
      const uint32_t action = rule->GetPair().action;
      if (action >= static_cast<uint32_t>(kActions)) return BadRecord();
      // A trimmed copy nobody needed and the durations of a unit not chosen
      // were never offered to the user.
      const bool dropped =
          (action == Action::kTrimTrailing && excludedBy == Action::kExcludeTrimTrailFeature) ||
          (ZelDateTimeFunctionRule::IsDuration(action) && (excludedBy == Action::kSelectDateBestDuration ||
                                  excludedBy == Action::kSelectTimeBestDuration));
      if (!dropped) {
        if (!IsCountedDerivation(static_cast<int>(action))) return BadRecord();
        const TorStatus recorded =
            RecordAction(rule->GetPair().step, action,
                         SummaryNumbers(static_cast<int>(action), rule, settings));
        if (recorded.IsError()) return recorded;
      }
    }
    if (!field->IsExcluded()) continue;
    if (excludedBy >= static_cast<uint32_t>(kActions)) return BadRecord();
    if (!IsListedExclusion(static_cast<int>(excludedBy))) continue;
    const TorStatus recorded =
        RecordAction(field->GetExcludedReason().step, excludedBy,
                     SummaryNumbers(static_cast<int>(excludedBy), nullptr, settings));
    if (recorded.IsError()) return recorded;
  }
  return TorStatus();
}

TorStatus SummaryTable::RecordAction(uint32_t step, uint32_t action,
                                     std::vector<double> parameters) {
  if (step >= static_cast<uint32_t>(kSteps) || action >= static_cast<uint32_t>(kActions)) {
    return BadRecord();
  }
  if (++actionCounts_[action] > 1) return TorStatus();
  std::optional<StepSumInfo>& record = steps_[step];
  if (!record) {
    record.emplace();
    record->step = static_cast<int>(step);
  }
  auto info = std::make_unique<ActionInfo>(static_cast<int>(action));
  info->NumericParameters() = std::move(parameters);
  record->actions.push_back(std::move(info));
  return TorStatus();
}

}  // namespace ZelSummary
