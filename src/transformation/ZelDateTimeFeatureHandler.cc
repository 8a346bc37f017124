#include "transformation/ZelDateTimeFeatureHandler.h"

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"
#include "statistics/ZelUnivarCont.h"
#include "transformation/ZelDateTimeFunctionRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

namespace {

// What each date/time action derives: the field kind, its storage and the
// step suffix of its intermediate name.
struct DerivedKind {
  int kind;
  int storage;
  StepSuffix suffix;
};

DerivedKind KindOf(uint32_t action) {
  using TorCommon_1_3::kStorageInteger;
  using TorCommon_1_3::kStorageReal;
  constexpr int kOrdinal = MeasureKind::kOrdinal;
  constexpr int kContinuous = MeasureKind::kContinuous;
  switch (action) {
    case Action::kDateDurationsYear:
      return {kContinuous, kStorageReal, StepSuffix::kDurationYears};
    case Action::kDateDurationsMonth:
      return {kContinuous, kStorageReal, StepSuffix::kDurationMonths};
    case Action::kDateDurationsDay:
      return {kContinuous, kStorageReal, StepSuffix::kDurationDays};
    case Action::kDateElementYear:
      return {kOrdinal, kStorageInteger, StepSuffix::kYear};
    case Action::kDateElementMonth:
      return {kOrdinal, kStorageInteger, StepSuffix::kMonth};
    case Action::kDateElementDay:
      return {kOrdinal, kStorageInteger, StepSuffix::kDay};
    case Action::kTimeDurationsHour:
      return {kContinuous, kStorageReal, StepSuffix::kDurationHours};
    case Action::kTimeDurationsMinute:
      return {kContinuous, kStorageReal, StepSuffix::kDurationMinutes};
    case Action::kTimeDurationsSecond:
      return {kContinuous, kStorageReal, StepSuffix::kDurationSeconds};
    case Action::kTimeElementHour:
      return {kOrdinal, kStorageInteger, StepSuffix::kHour};
    case Action::kTimeElementMinute:
      return {kOrdinal, kStorageInteger, StepSuffix::kMinute};
    case Action::kDateElementWeekday:
      return {MeasureKind::kNominal, kStorageInteger, StepSuffix::kWeekday};
    case Action::kDateElementMonthCategory:
      return {MeasureKind::kNominal, kStorageInteger, StepSuffix::kMonthCategory};
    case Action::kTimeElementHourCategory:
      return {MeasureKind::kNominal, kStorageInteger, StepSuffix::kHourCategory};
    default:
      return {kOrdinal, kStorageInteger, StepSuffix::kSecond};
  }
}

// Whether the duration of `action` (a date or a time duration) survives when
// its largest value is m. The three durations of one source measure the same
// span, so exactly one of them passes: the largest unit in which m reaches 1,
// or the smallest unit when m stays below one of the middle unit.
bool DurationFits(uint32_t action, double m) {
  switch (action) {
    case Action::kDateDurationsYear:
      return m >= 1.0;
    case Action::kDateDurationsMonth:
      return m >= 1.0 && m < 12.0;
    case Action::kDateDurationsDay:
      return m < ZelDateTimeFunctionRule::kDaysPerMonth;
    case Action::kTimeDurationsHour:
      return m >= 1.0;
    case Action::kTimeDurationsMinute:
      return m >= 1.0 && m < 60.0;
    default:
      return m < 60.0;
  }
}

// Unit 0 (automatic) creates all three durations, 1 to 3 only the first,
// second or third.
bool UnitAllows(int unit, int position) { return unit == 0 || unit == position; }

}  // namespace

TorStatus ZelDateTimeFeatureHandler::Check() { return CheckStep(Step::kDateTimeHandle); }

TorStatus ZelDateTimeFeatureHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  if (pair_.action == Action::kSelectDateBestDuration ||
      pair_.action == Action::kSelectTimeBestDuration) {
    return SelectDuration(field);
  }
  switch (field->GetStorage()) {
    case TorCommon_1_3::kStorageDate:
      return DeriveAll(*field, index, DatePlan());
    case TorCommon_1_3::kStorageTime:
      return DeriveAll(*field, index, TimePlan());
    default:
      return TorStatus();
  }
}

ZelDateTimeFeatureHandler::Plan ZelDateTimeFeatureHandler::DatePlan() const {
  const ZelSettings& s = *Settings();
  return {{s.extractYear, s.extractMonth, s.extractDay},
          {Action::kDateElementYear, Action::kDateElementMonth, Action::kDateElementDay},
          s.computeDateDuration,
          s.dateDurationUnit,
          s.referenceDate.seconds / 86400.0,
          {Action::kDateDurationsYear, Action::kDateDurationsMonth, Action::kDateDurationsDay},
          {s.extractWeekday, s.extractMonthCategory},
          {Action::kDateElementWeekday, Action::kDateElementMonthCategory}};
}

ZelDateTimeFeatureHandler::Plan ZelDateTimeFeatureHandler::TimePlan() const {
  const ZelSettings& s = *Settings();
  return {{s.extractHour, s.extractMinute, s.extractSecond},
          {Action::kTimeElementHour, Action::kTimeElementMinute, Action::kTimeElementSecond},
          s.computeTimeDuration,
          s.timeDurationUnit,
          s.referenceTime.seconds,
          {Action::kTimeDurationsHour, Action::kTimeDurationsMinute, Action::kTimeDurationsSecond},
          {s.extractHourCategory, false},
          {Action::kTimeElementHourCategory, Action::kUnknown}};
}

TorStatus ZelDateTimeFeatureHandler::DeriveAll(const ZelVariableHandleInfo& field, int index,
                                               const Plan& plan) {
  for (int i = 0; i < 3; ++i) {
    if (!plan.parts[i]) continue;
    const TorStatus status = Derive(field, index, plan.partActions[i]);
    if (status.IsError()) return status;
  }
  for (int i = 0; i < 2; ++i) {
    if (!plan.categories[i]) continue;
    const TorStatus status = Derive(field, index, plan.categoryActions[i]);
    if (status.IsError()) return status;
  }
  if (!plan.durations) return TorStatus();
  reference_ = plan.reference;
  for (int i = 0; i < 3; ++i) {
    if (!UnitAllows(plan.unit, i + 1)) continue;
    const TorStatus status = Derive(field, index, plan.durationActions[i]);
    if (status.IsError()) return status;
  }
  return TorStatus();
}

TorStatus ZelDateTimeFeatureHandler::Derive(const ZelVariableHandleInfo& field, int index,
                                            uint32_t action) {
  const DerivedKind what = KindOf(action);
  const std::string name = field.GetName() + Settings()->GetStepSuffix(what.suffix);
  const int derived = fields_->AddDerivedField(name, field.GetLabel(), what.kind, false,
                                               what.storage, {Step::kDateTimeHandle, action});
  if (derived < 0) return fields_->GetStatus();
  ZelTransformRule* rule = fields_->GetHandle(derived)->GetRule();
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  rule->AddInput(field.GetName(), index);
  if (ZelDateTimeFunctionRule::IsDuration(action)) rule->AddParameter(reference_);
  return TorStatus();
}

TorStatus ZelDateTimeFeatureHandler::SelectDuration(ZelVariableHandleInfo* field) {
  const ZelSettings& s = *Settings();
  const ZelTransformRule* rule = field->IsDerived() ? field->GetRule() : nullptr;
  if (rule != nullptr && rule->GetPair().step == Step::kDateTimeHandle &&
      ZelDateTimeFunctionRule::IsDuration(rule->GetPair().action)) {
    const auto* univariate =
        dynamic_cast<const ZelStatistic::ZelUnivarCont*>(field->GetUnivariate());
    if (univariate == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
    const uint32_t action = rule->GetPair().action;
    const bool isDate = ZelDateTimeFunctionRule::IsDateAction(action);
    const bool applies = pair_.action == Action::kSelectDateBestDuration
                             ? isDate && s.computeDateDuration && s.dateDurationUnit == 0
                             : !isDate && s.computeTimeDuration && s.timeDurationUnit == 0;
    // An all-missing source leaves the maximum at the lowest double, so only
    // the smallest unit survives.
    if (applies && !DurationFits(action, univariate->GetSummary().GetMaximum())) {
      field->Exclude(pair_);
    }
  }
  const int storage = field->GetStorage();
  if (storage == TorCommon_1_3::kStorageDate || storage == TorCommon_1_3::kStorageTime ||
      storage == TorCommon_1_3::kStorageTimestamp) {
    field->Exclude({Step::kDateTimeHandle, Action::kDateTimeSourceDone});
  }
  return TorStatus();
}

}  // namespace ZelTransformation
