#include "pmml/ZelCalendarPMML.h"

#include "transformation/ZelOperation.h"

namespace ZelPMML {

namespace {

namespace Action = ZelTransformation::Action;

Expression Number(double value) { return MakeConstant(value); }

Expression Floor(Expression x) { return MakeApply("floor", std::move(x)); }

// floor(x / divisor)
Expression FloorDiv(Expression x, double divisor) {
  return Floor(MakeApply("/", std::move(x), Number(divisor)));
}

// floor(factor * x / divisor)
Expression ScaledFloorDiv(double factor, Expression x, double divisor) {
  return FloorDiv(MakeApply("*", Number(factor), std::move(x)), divisor);
}

// Day 0 is a Thursday (ISO 4): floor(d + 4) - 7 * floor((d + 3) / 7).
Expression Weekday(const std::string& d) {
  Expression week = FloorDiv(MakeApply("+", MakeFieldRef(d), Number(3)), 7);
  return MakeApply("-", Floor(MakeApply("+", MakeFieldRef(d), Number(4))),
                   MakeApply("*", Number(7), std::move(week)));
}

// The month of the Julian day number floor(d) + 2440588, by the integer
// algorithm of Fliegel and Van Flandern; its divisions are floors, which
// equal its truncations for every day after 4714 BC.
Expression Month(const std::string& d) {
  auto l1 = [&d]() { return MakeApply("+", Floor(MakeFieldRef(d)), Number(2509157)); };
  auto n = [&l1]() { return ScaledFloorDiv(4, l1(), 146097); };
  auto l2 = [&]() {
    return MakeApply("-", l1(),
                     FloorDiv(MakeApply("+", MakeApply("*", Number(146097), n()), Number(3)), 4));
  };
  auto i = [&l2]() {
    return ScaledFloorDiv(4000, MakeApply("+", l2(), Number(1)), 1461001);
  };
  auto l3 = [&]() {
    return MakeApply("+", MakeApply("-", l2(), ScaledFloorDiv(1461, i(), 4)), Number(31));
  };
  auto j = [&l3]() { return ScaledFloorDiv(80, l3(), 2447); };
  // j + 2 - 12 * floor(j / 11)
  return MakeApply("-", MakeApply("+", j(), Number(2)),
                   MakeApply("*", Number(12), FloorDiv(j(), 11)));
}

// floor(t / 3600) - 24 * floor(t / 86400): the hour of the day t falls in.
Expression Hour(const std::string& t) {
  return MakeApply("-", FloorDiv(MakeFieldRef(t), 3600),
                   MakeApply("*", Number(24), FloorDiv(MakeFieldRef(t), 86400)));
}

}  // namespace

Expression MakeCalendarPart(uint32_t action, const std::string& source) {
  switch (action) {
    case Action::kDateElementWeekday:
      return Weekday(source);
    case Action::kDateElementMonthCategory:
      return Month(source);
    case Action::kTimeElementHourCategory:
      return Hour(source);
    default:
      return nullptr;
  }
}

}  // namespace ZelPMML
