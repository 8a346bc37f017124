#include "io/WeightTally.h"

#include <cmath>

#include "torcommon13r/TorVariable.h"

namespace zelio {

namespace {

// Counts are signed 64-bit: a whole-record weight must stay below 2^63.
constexpr double kCountLimit = 9223372036854775808.0;

std::ptrdiff_t ColumnOf(const std::vector<FieldPlan>& plans, const std::string& name) {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < plans.size(); ++i) {
    if (plans[i].name == name) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

}  // namespace

WeightTally::WeightTally(const std::vector<FieldPlan>& plans, const FieldRoles& roles)
    : plans_(plans),
      frequency_(ColumnOf(plans, roles.frequencyWeight)),
      analysis_(ColumnOf(plans, roles.analysisWeight)) {}

double WeightTally::Take(std::ptrdiff_t column, const double* value, bool frequency) const {
  if (column < 0) return 1.0;
  if (value == nullptr) return 0.0;
  double weight = *value;
  if (plans_[static_cast<std::size_t>(column)].IsUserMissing(weight)) return 0.0;
  // Whole records, rounded half up in floating point, as the component does.
  if (frequency) weight = std::trunc(weight + 0.5);
  return weight > 0.0 ? weight : 0.0;
}

double WeightTally::Records(const double* frequency, const double* analysis) const {
  return Take(analysis_, analysis, false) > 0.0 ? Take(frequency_, frequency, true) : 0.0;
}

bool WeightTally::AddRow(const double* frequencyValue, const double* analysisValue,
                         int64_t line, std::string* error) {
  if (frequency_ < 0 && analysis_ < 0) return true;
  const double frequency = Take(frequency_, frequencyValue, true);
  const double analysis = Take(analysis_, analysisValue, false);
  auto where = [line] { return "line " + std::to_string(line); };
  if (frequency >= kCountLimit) {
    *error = where() + ", column " + std::to_string(frequency_ + 1) +
             ": the frequency weight of '" + plans_[static_cast<std::size_t>(frequency_)].name +
             "' is 2^63 or more; weights count whole records in 64 bits";
    return false;
  }
  if (frequency == 0.0 || analysis == 0.0) {
    ++dropped_;
    return true;
  }
  momentWeight_ += frequency * analysis;
  if (__builtin_add_overflow(records_, static_cast<int64_t>(frequency), &records_)) {
    *error = where() + ": the frequency weights add up to 2^63 or more records";
    return false;
  }
  if (!std::isfinite(momentWeight_)) {
    *error = where() + ": the weights add up past the largest number a double holds";
    return false;
  }
  return true;
}

}  // namespace zelio
