// WeightTally: reads the weight values row by row as the data is read, and
// asks the component's weight rule (ZelWeightRule) how each row counts, so
// that what the component would refuse or silently drop is known before the
// build, with the line or row it is on: the component itself can only say
// that a pass's weights went out of range, not where. Rows whose weight is
// missing, zero or negative are counted. Weight columns that hold text are
// refused earlier, while the columns are planned.
#ifndef ZELCRAFT_IO_WEIGHTTALLY_H_
#define ZELCRAFT_IO_WEIGHTTALLY_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/ZelWeightRule.h"
#include "io/FieldPlan.h"
#include "io/SourceLocation.h"
#include "status/Status.h"

namespace zelio {

class WeightTally {
 public:
  // Finds the weight columns among the plans by the names in `roles`.
  WeightTally(const std::vector<FieldPlan>& plans, const FieldRoles& roles);

  // The weight columns; -1 for a role without one.
  std::ptrdiff_t frequencyColumn() const { return frequency_; }
  std::ptrdiff_t analysisColumn() const { return analysis_; }

  // Adds the row found at `where` (a file's line, a frame's row), given the
  // values of its weight cells (null when missing or when the role has no
  // column); a limit exceeded, naming that place (and the column), when a
  // weight or the totals pass what the component can count.
  zelstatus::Status AddRow(const double* frequency, const double* analysis,
                           const SourceLocation& where);
  // How many records a row with these weight values (null when missing)
  // counts for: its whole-record frequency weight (1 without one), or 0 when
  // a weight is missing, zero or negative.
  double Records(const double* frequency, const double* analysis) const;
  // Rows that will not count.
  int64_t dropped() const { return dropped_; }

 private:
  // The weight of the row in `column` as the component takes it; 0 when
  // missing or not positive.
  double Take(std::ptrdiff_t column, const double* value, bool frequency) const;

  const std::vector<FieldPlan>& plans_;
  std::ptrdiff_t frequency_ = -1;  // column index, -1 when none
  std::ptrdiff_t analysis_ = -1;
  ZelWeightRule::Totals totals_;
  int64_t dropped_ = 0;
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_WEIGHTTALLY_H_
