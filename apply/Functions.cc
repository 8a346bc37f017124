#include "Functions.h"

#include <algorithm>
#include <cmath>

#include "Calendar.h"

namespace zelapply {

void Arithmetic(Op op, const Value& a, const Value& b, Value* out) {
  const bool binary = op != Op::kLn && op != Op::kExp && op != Op::kAbs;
  if (a.missing || !a.IsNumeric() || (binary && (b.missing || !b.IsNumeric()))) {
    out->SetMissing(ValueType::kReal);
    return;
  }
  const double x = a.AsDouble();
  const double y = binary ? b.AsDouble() : 0.0;
  double result;
  switch (op) {
    case Op::kAdd:
      result = x + y;
      break;
    case Op::kSubtract:
      result = x - y;
      break;
    case Op::kMultiply:
      result = x * y;
      break;
    case Op::kDivide:
      result = x / y;
      break;
    case Op::kLn:
      result = std::log(x);
      break;
    case Op::kExp:
      result = std::exp(x);
      break;
    case Op::kAbs:
      result = std::fabs(x);
      break;
    case Op::kMax:
      result = std::max(x, y);
      break;
    case Op::kThreshold:
      result = x > y ? 1.0 : 0.0;
      break;
    default:
      result = std::pow(x, y);
      break;
  }
  if (std::isfinite(result)) {
    out->SetReal(result);
  } else {
    out->SetMissing(ValueType::kReal);
  }
}

void TrimEnd(const Value& in, Value* out) {
  if (in.missing || in.type != ValueType::kString) {
    out->Assign(in);
    return;
  }
  const std::size_t last = in.text.find_last_not_of(" \t");
  const std::size_t length = last == std::string::npos ? 0 : last + 1;
  out->SetText(std::string_view(in.text).substr(0, length));
}

void DateDifference(const Value& in, const Value& reference, double divisor, Value* out) {
  if (in.missing || in.type != ValueType::kDate || reference.missing || !reference.IsNumeric()) {
    out->SetMissing(ValueType::kReal);
    return;
  }
  out->SetReal((in.real - reference.AsDouble()) / divisor);
}

void DatePart(const Value& in, int part, Value* out) {
  CivilDate date;
  // As in the build, the parts of a fractional day number are those of the
  // day it is truncated to, toward zero.
  if (in.missing || in.type != ValueType::kDate ||
      !CivilFromDayNumber(std::trunc(in.real), &date)) {
    out->SetMissing(ValueType::kInteger);
    return;
  }
  out->SetInteger(part == 0 ? date.year : part == 1 ? date.month : date.day);
}

void TimeDifference(const Value& in, const Value& reference, double divisor, Value* out) {
  if (in.missing || in.type != ValueType::kTime || reference.missing || !reference.IsNumeric()) {
    out->SetMissing(ValueType::kReal);
    return;
  }
  out->SetReal((in.real - reference.AsDouble()) / divisor);
}

void TimePart(const Value& in, int part, Value* out) {
  int hour, minute, second;
  if (in.missing || in.type != ValueType::kTime ||
      !SplitTimeOfDay(in.real, &hour, &minute, &second)) {
    out->SetMissing(ValueType::kInteger);
    return;
  }
  out->SetInteger(part == 0 ? hour : part == 1 ? minute : second);
}

void OutlierHandle(const Value& x, const Value& mean, const Value& sd, const Value& cutoff,
                   const Value& weight, int method, Value* out) {
  if (x.missing) {
    out->Assign(x);
    return;
  }
  // A record without a usable weight took no part in the build.
  if (mean.missing || sd.missing || cutoff.missing || weight.missing || !weight.IsNumeric() ||
      !(weight.AsDouble() > 0.0)) {
    out->SetMissing(x.type);
    return;
  }
  // Texts and other values count as 0, as in the build.
  const double v = x.type == ValueType::kInteger || x.type == ValueType::kReal ? x.AsDouble() : 0.0;
  const double half = sd.AsDouble() * cutoff.AsDouble() / std::sqrt(weight.AsDouble());
  const double lower = mean.AsDouble() - half;
  const double upper = mean.AsDouble() + half;
  if (v < lower || v > upper) {
    if (method == 0) {
      out->SetReal(v < lower ? lower : upper);
    } else {
      out->SetMissing(x.type);
    }
    return;
  }
  out->Assign(x);
}

}  // namespace zelapply
