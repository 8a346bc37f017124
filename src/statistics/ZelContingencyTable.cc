#include "statistics/ZelContingencyTable.h"

namespace ZelStatistic {

void ZelContingencyTable::Resize(int rows, int columns) {
  rows_ = rows > 0 ? rows : 0;
  columns_ = columns > 0 ? columns : 0;
  frequency_.assign(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_), 0.0);
  weighted_.assign(frequency_.size(), 0.0);
}

double ZelContingencyTable::RowTotal(int i) const {
  double total = 0.0;
  for (int j = 0; j < columns_; ++j) total += Frequency(i, j);
  return total;
}

double ZelContingencyTable::ColumnTotal(int j) const {
  double total = 0.0;
  for (int i = 0; i < rows_; ++i) total += Frequency(i, j);
  return total;
}

double ZelContingencyTable::Total() const {
  double total = 0.0;
  for (double cell : frequency_) total += cell;
  return total;
}

void ZelContingencyTable::RemoveEmptyRows() {
  int kept = 0;
  for (int i = 0; i < rows_; ++i) {
    if (RowTotal(i) == 0.0) continue;
    for (int j = 0; j < columns_; ++j) {
      frequency_[Cell(kept, j)] = frequency_[Cell(i, j)];
      weighted_[Cell(kept, j)] = weighted_[Cell(i, j)];
    }
    ++kept;
  }
  rows_ = kept;
  frequency_.resize(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_));
  weighted_.resize(frequency_.size());
}

}  // namespace ZelStatistic
