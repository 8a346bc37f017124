#include "io/WeightTally.h"

#include "frame/ZelWeightRule.h"

namespace zelio {

using zelstatus::Status;

namespace {

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
  if (plans_[static_cast<std::size_t>(column)].missing.Matches(weight)) return 0.0;
  if (frequency) weight = ZelWeightRule::RoundFrequency(weight);
  return ZelWeightRule::Counts(weight) ? weight : 0.0;
}

double WeightTally::Records(const double* frequency, const double* analysis) const {
  return Take(analysis_, analysis, false) > 0.0 ? Take(frequency_, frequency, true) : 0.0;
}

Status WeightTally::AddRow(const double* frequencyValue, const double* analysisValue,
                           const SourceLocation& where) {
  if (frequency_ < 0 && analysis_ < 0) return Status();
  const double frequency = Take(frequency_, frequencyValue, true);
  const double analysis = Take(analysis_, analysisValue, false);
  if (ZelWeightRule::TooLarge(frequency, true)) {
    return Status::LimitExceeded(
        where.WithColumn(static_cast<std::size_t>(frequency_) + 1).Words() +
        ": the frequency weight of '" + plans_[static_cast<std::size_t>(frequency_)].name +
        "' is 2^63 or more; weights count whole records in 64 bits");
  }
  if (frequency == 0.0 || analysis == 0.0) {
    ++dropped_;
    return Status();
  }
  switch (totals_.Add(frequency, analysis)) {
    case ZelWeightRule::Totals::Fit::kTooManyRecords:
      return Status::LimitExceeded(where.Words() +
                                   ": the frequency weights add up to 2^63 or more records");
    case ZelWeightRule::Totals::Fit::kNotFinite:
      return Status::LimitExceeded(where.Words() +
                                   ": the weights add up past the largest number a double holds");
    case ZelWeightRule::Totals::Fit::kFits:
      break;
  }
  return Status();
}

}  // namespace zelio
