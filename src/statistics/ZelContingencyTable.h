// ZelContingencyTable: a table of input categories (rows) against target
// categories (columns) holding, per cell, the record count (sum of frequency
// weights) and the weighted count (sum of frequency times analysis weight).
// Plain data, so that the association tests and predictive power can work on
// tables a statistic filled as well as on tables built from merged groups.
#ifndef ZELCRAFT_STATISTICS_ZELCONTINGENCYTABLE_H_
#define ZELCRAFT_STATISTICS_ZELCONTINGENCYTABLE_H_

#include <vector>

namespace ZelStatistic {

class ZelContingencyTable {
 public:
  ZelContingencyTable() = default;
  ZelContingencyTable(int rows, int columns) { Resize(rows, columns); }

  // All cells zero.
  void Resize(int rows, int columns);
  int Rows() const { return rows_; }
  int Columns() const { return columns_; }

  double Frequency(int i, int j) const { return frequency_[Cell(i, j)]; }
  double Weighted(int i, int j) const { return weighted_[Cell(i, j)]; }
  void Add(int i, int j, double frequency, double weighted) {
    frequency_[Cell(i, j)] += frequency;
    weighted_[Cell(i, j)] += weighted;
  }
  // The weighted count follows the frequency: a table without analysis
  // weights.
  void Set(int i, int j, double frequency) { Set(i, j, frequency, frequency); }
  void Set(int i, int j, double frequency, double weighted) {
    frequency_[Cell(i, j)] = frequency;
    weighted_[Cell(i, j)] = weighted;
  }

  // The cells row by row, for a statistic's state.
  std::vector<double>& FrequencyCells() { return frequency_; }
  std::vector<double>& WeightedCells() { return weighted_; }
  const std::vector<double>& FrequencyCells() const { return frequency_; }
  const std::vector<double>& WeightedCells() const { return weighted_; }

  double RowTotal(int i) const;
  double ColumnTotal(int j) const;
  double Total() const;
  // Drops the rows whose counts sum to 0: categories no counted record fell in.
  void RemoveEmptyRows();

 private:
  std::size_t Cell(int i, int j) const {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(j);
  }

  int rows_ = 0;
  int columns_ = 0;
  std::vector<double> frequency_;  // row-major
  std::vector<double> weighted_;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELCONTINGENCYTABLE_H_
