#include "FunctionTable.h"

namespace zelapply {

namespace {

// An average year and month, as the elapsed durations count them.
constexpr double kDaysPerYear = 365.25;
constexpr double kDaysPerMonth = 30.4375;

const FunctionEntry kFunctions[] = {
    {"+", Op::kAdd, 2, 0, 1.0, false},
    {"-", Op::kSubtract, 2, 0, 1.0, false},
    {"*", Op::kMultiply, 2, 0, 1.0, false},
    {"/", Op::kDivide, 2, 0, 1.0, false},
    {"ln", Op::kLn, 1, 0, 1.0, false},
    {"exp", Op::kExp, 1, 0, 1.0, false},
    {"pow", Op::kPow, 2, 0, 1.0, false},
    {"abs", Op::kAbs, 1, 0, 1.0, false},
    // PMML's max takes any number of arguments; documents write two.
    {"max", Op::kMax, 2, 0, 1.0, false},
    {"threshold", Op::kThreshold, 2, 0, 1.0, false},
    {"trimend", Op::kTrimEnd, 1, 0, 1.0, true},
    {"date_years_difference", Op::kDateDifference, 2, 0, kDaysPerYear, true},
    {"date_months_difference", Op::kDateDifference, 2, 0, kDaysPerMonth, true},
    {"date_days_difference", Op::kDateDifference, 2, 0, 1.0, true},
    {"year-from-date", Op::kDatePart, 1, 0, 1.0, true},
    {"month-from-date", Op::kDatePart, 1, 1, 1.0, true},
    {"day-from-date", Op::kDatePart, 1, 2, 1.0, true},
    {"time_hours_difference", Op::kTimeDifference, 2, 0, 3600.0, true},
    {"time_minutes_difference", Op::kTimeDifference, 2, 0, 60.0, true},
    {"time_seconds_difference", Op::kTimeDifference, 2, 0, 1.0, true},
    {"hour-from-time", Op::kTimePart, 1, 0, 1.0, true},
    {"minute-from-time", Op::kTimePart, 1, 1, 1.0, true},
    {"second-from-time", Op::kTimePart, 1, 2, 1.0, true},
    {"recast_to_ordinal", Op::kCopy, 1, 0, 1.0, true},
    {"recast_to_scale", Op::kCopy, 1, 0, 1.0, true},
    // Value, treatment method, robust mean, robust SD, cutoff, analysis weight.
    {"outlierHandle", Op::kOutlier, 6, 0, 1.0, true},
    {"reorder", Op::kCopy, 1, 0, 1.0, true},
};

}  // namespace

const FunctionEntry* FindFunction(std::string_view name) {
  for (const FunctionEntry& entry : kFunctions) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

}  // namespace zelapply
