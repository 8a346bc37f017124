// CrossFit: the cross-fitted target means of prepared training data. A
// document's target mean maps each category to its smoothed mean over the
// whole training data, which is what new data gets; a model trained on
// those values would see each row's own target inside its category's mean.
// A host writing the prepared training data gives row r instead the mean
// over the rows of the other folds (fold = r mod the document's folds),
// with the smoothing toward those rows' overall mean: it reads each row's
// slice().inputs, evaluates slice() (the mapped fields' inputs, the target
// and the weights, nothing else) and hands the row to Gather, calls Finish,
// then evaluates every row again with Frame::SetTrainingRow. Every host does
// it here, so the command line, the threads and the Python package give the
// same values.
//
// Rows count as in the build: only rows whose target and category are
// present, with their frequency weight (rounded half up) times their
// analysis weight, both positive. Memory: per cross-fitted table, two
// doubles per category and fold.
#ifndef ZELCRAFT_APPLY_CROSSFIT_H_
#define ZELCRAFT_APPLY_CROSSFIT_H_

#include <cstddef>
#include <string>
#include <vector>

#include "Program.h"

namespace zelapply {

class CrossFit {
 public:
  // The program must outlive the object. error() tells a document whose
  // extension names a field the program lacks.
  explicit CrossFit(const Program& program);

  bool Active() const { return !tables_.empty() && error_.empty(); }
  const std::string& error() const { return error_; }
  // What Gather reads of a row, and the inputs that takes.
  const ProgramSlice& slice() const { return slice_; }

  // Adds training row `row`, evaluated with the document's values.
  void Gather(const Frame& frame, std::size_t row);
  // Turns the sums into each fold's means.
  void Finish();
  // The value of cross-fitted table `table` for training row `row` whose
  // category is the table's output `category` (-1: missing or unknown).
  double Mean(std::size_t table, std::size_t row, int category) const;

 private:
  struct Table {
    const MapTable* map = nullptr;
    CrossFitSpec spec;
    int target = -1;
    int frequency = -1;
    int analysis = -1;
    double categoryNumber = 0.0;
    bool numericCategory = false;
    std::size_t categories = 0;
    std::vector<double> sums;     // fold * categories + category
    std::vector<double> weights;  // likewise
    std::vector<double> means;    // fold * (categories + 1): the prior, then each category
  };
  // The target's value for the table (its indicator of the category), the
  // row's weight; false when the row does not count.
  static bool Observe(const Table& table, const Frame& frame, double* y, double* weight);

  std::vector<Table> tables_;
  ProgramSlice slice_;
  std::string error_;
};

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_CROSSFIT_H_
