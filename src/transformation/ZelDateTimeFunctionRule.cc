#include "transformation/ZelDateTimeFunctionRule.h"

#include <cmath>

#include "torcommon13r/TorVariable.h"
#include "settings/ZelCalendar.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelDateTimeFunctionRule::ZelDateTimeFunctionRule(const ZelOperationPair& pair)
    : ZelFunctionTransformRule(pair, static_cast<int>(pair.action) - 1) {}

bool ZelDateTimeFunctionRule::IsDuration(uint32_t action) {
  return (action >= Action::kDateDurationsYear && action <= Action::kDateDurationsDay) ||
         (action >= Action::kTimeDurationsHour && action <= Action::kTimeDurationsSecond);
}

bool ZelDateTimeFunctionRule::IsDateAction(uint32_t action) {
  return (action >= Action::kDateDurationsYear && action <= Action::kDateElementDay) ||
         action == Action::kDateElementWeekday || action == Action::kDateElementMonthCategory;
}

bool ZelDateTimeFunctionRule::IsTimeAction(uint32_t action) {
  return (action >= Action::kTimeDurationsHour && action <= Action::kTimeElementSecond) ||
         action == Action::kTimeElementHourCategory;
}

bool ZelDateTimeFunctionRule::IsCategory(uint32_t action) {
  return action == Action::kDateElementWeekday || action == Action::kDateElementMonthCategory ||
         action == Action::kTimeElementHourCategory;
}

void ZelDateTimeFunctionRule::SetMissing() {
  output_.SetMissingValue(IsDuration(GetPair().action) ? TorCommon_1_3::kStorageReal
                                                       : TorCommon_1_3::kStorageInteger);
}

const RawData& ZelDateTimeFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  const uint32_t action = GetPair().action;
  if (IsDuration(action)) reference_ = GetParameters().empty() ? 0.0 : GetParameters().front();
  if (input->IsMissing()) {
    SetMissing();
  } else if (input->GetStorage() == TorCommon_1_3::kStorageDate && IsDateAction(action)) {
    ApplyDate(input->GetDouble());
  } else if (input->GetStorage() == TorCommon_1_3::kStorageTime && IsTimeAction(action)) {
    ApplyTime(input->GetDouble());
  } else {
    SetMissing();
  }
  return output_;
}

void ZelDateTimeFunctionRule::ApplyDate(double dayNumber) {
  const uint32_t action = GetPair().action;
  switch (action) {
    case Action::kDateDurationsYear:
      output_.SetDouble((dayNumber - reference_) / kDaysPerYear);
      return;
    case Action::kDateDurationsMonth:
      output_.SetDouble((dayNumber - reference_) / kDaysPerMonth);
      return;
    case Action::kDateDurationsDay:
      output_.SetDouble(dayNumber - reference_);
      return;
    case Action::kDateElementWeekday: {
      // 1970-01-01, day 0, was a Thursday: ISO weekday 4.
      const double day = std::floor(dayNumber);
      if (!(std::fabs(day) < 1e15)) {
        SetMissing();
        return;
      }
      const auto shifted = static_cast<int64_t>(day) + 3;
      output_.SetInteger((shifted % 7 + 7) % 7 + 1);
      return;
    }
    default:
      break;
  }
  int year = 0;
  int month = 0;
  int day = 0;
  // Parts belong to the day the value is truncated to (toward zero); the
  // category parts, written as floor arithmetic, to the day it falls in.
  const double whole = IsCategory(action) ? std::floor(dayNumber) : std::trunc(dayNumber);
  if (!ZelCalendar::CivilFromDayNumber(whole, year, month, day)) {
    SetMissing();
    return;
  }
  const bool isMonth =
      action == Action::kDateElementMonth || action == Action::kDateElementMonthCategory;
  output_.SetInteger(action == Action::kDateElementYear ? year : isMonth ? month : day);
}

void ZelDateTimeFunctionRule::ApplyTime(double seconds) {
  const uint32_t action = GetPair().action;
  switch (action) {
    case Action::kTimeDurationsHour:
      output_.SetDouble((seconds - reference_) / 3600.0);
      return;
    case Action::kTimeDurationsMinute:
      output_.SetDouble((seconds - reference_) / 60.0);
      return;
    case Action::kTimeDurationsSecond:
      output_.SetDouble(seconds - reference_);
      return;
    case Action::kTimeElementHourCategory: {
      // The hour of the time of day the seconds fall in, earlier days
      // wrapping: -1 second is hour 23.
      const double ofDay = seconds - 86400.0 * std::floor(seconds / 86400.0);
      const double hour = std::floor(ofDay / 3600.0);
      if (!(hour >= 0.0 && hour < 24.0)) {
        SetMissing();
        return;
      }
      output_.SetInteger(static_cast<int64_t>(hour));
      return;
    }
    default:
      break;
  }
  int hour = 0;
  int minute = 0;
  int second = 0;
  if (!ZelCalendar::SplitTimeOfDay(seconds, hour, minute, second)) {
    SetMissing();
    return;
  }
  output_.SetInteger(action == Action::kTimeElementHour     ? hour
                     : action == Action::kTimeElementMinute ? minute
                                                            : second);
}

}  // namespace ZelTransformation
