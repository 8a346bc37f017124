// WeightTally: reads the weight columns row by row as the data is stored,
// the way the component will read them, so that what the component would
// refuse or silently drop is known before the build. A frequency weight is
// rounded to whole records; the records' count must fit 64 bits, and the
// moment weights (frequency times analysis weight) must add up to a finite
// number. Records whose weight is missing, zero or negative are counted.
#ifndef ZELCRAFT_CLI_WEIGHTTALLY_H_
#define ZELCRAFT_CLI_WEIGHTTALLY_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ColumnStore.h"
#include "FieldPlan.h"

namespace zelcli {

class WeightTally {
 public:
  // Finds the weight columns among the plans by the names in `roles`.
  WeightTally(const std::vector<FieldPlan>& plans, const FieldRoles& roles);

  // Adds row `row` of the store, read from the file's line `line`; false,
  // with `error` naming the line (and column), when a weight or the totals
  // pass what the component can count.
  bool AddRow(const ColumnStore& store, std::size_t row, int64_t line, std::string* error);
  // How many records the row counts for: its whole-record frequency weight
  // (1 without one), or 0 when a weight is missing, zero or negative.
  double Records(const ColumnStore& store, std::size_t row) const;
  // Rows that will not count.
  int64_t dropped() const { return dropped_; }

 private:
  // The weight of the row in `column` as the component takes it; 0 when
  // missing or not positive.
  double Weight(const ColumnStore& store, std::size_t row, std::ptrdiff_t column,
                bool frequency) const;

  const std::vector<FieldPlan>& plans_;
  std::ptrdiff_t frequency_ = -1;  // column index, -1 when none
  std::ptrdiff_t analysis_ = -1;
  int64_t records_ = 0;
  double momentWeight_ = 0.0;
  int64_t dropped_ = 0;
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_WEIGHTTALLY_H_
