// ZelDateTimeFunctionRule: one calendar part (year, month, day, hour, minute,
// second; weekday, month and hour as categories) or one elapsed duration
// (years, months, days, hours, minutes, seconds since the reference) of a
// date or time field. Durations carry the reference as their first
// parameter: a day number for dates, seconds for times.
#ifndef ZELCRAFT_TRANSFORMATION_ZELDATETIMEFUNCTIONRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELDATETIMEFUNCTIONRULE_H_

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelDateTimeFunctionRule : public ZelFunctionTransformRule {
 public:
  // Average lengths used by the date durations, in days.
  static constexpr double kDaysPerYear = 365.25;
  static constexpr double kDaysPerMonth = 30.4375;

  // The function id is the action minus one.
  explicit ZelDateTimeFunctionRule(const ZelOperationPair& pair);

  // Durations are reals, parts integers. A missing input, an input of the
  // wrong kind for the action (a time for a date part, say) or a date
  // outside the calendar's range gives a missing value.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;

  static bool IsDuration(uint32_t action);
  static bool IsDateAction(uint32_t action);
  static bool IsTimeAction(uint32_t action);
  // The weekday, month and hour derived as nominal fields.
  static bool IsCategory(uint32_t action);

 private:
  void ApplyDate(double dayNumber);
  void ApplyTime(double seconds);
  void SetMissing();

  double reference_ = 0.0;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELDATETIMEFUNCTIONRULE_H_
