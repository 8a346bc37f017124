// Matrices and the symmetric eigen decomposition on Eigen3.
#include "torcommon13r/TorMatrix.h"

#include <Eigen/Dense>

#include <algorithm>
#include <numeric>

namespace TorMath_1_3 {

namespace {
std::size_t Lower(int i, int j) {
  if (j > i) std::swap(i, j);
  return static_cast<std::size_t>(i) * (i + 1) / 2 + j;
}
}  // namespace

TorSymMatrix::TorSymMatrix(int order, bool flag)
    : order_(std::max(order, 0)), flag_(flag),
      values_(static_cast<std::size_t>(order_) * (order_ + 1) / 2, 0.0) {}

void TorSymMatrix::SetElem(int i, int j, double value) {
  if (i < 0 || j < 0 || i >= order_ || j >= order_) return;
  values_[Lower(i, j)] = value;
}

double TorSymMatrix::GetElem(int i, int j) const {
  if (i < 0 || j < 0 || i >= order_ || j >= order_) return 0.0;
  return values_[Lower(i, j)];
}

TorRectMatrix::TorRectMatrix(int rows, int cols) { Resize(rows, cols); }

void TorRectMatrix::Resize(int rows, int cols) {
  rows_ = std::max(rows, 0);
  cols_ = std::max(cols, 0);
  values_.assign(static_cast<std::size_t>(rows_) * cols_, 0.0);
}

void TorRectMatrix::SetElem(int i, int j, double value) {
  if (i < 0 || j < 0 || i >= rows_ || j >= cols_) return;
  values_[static_cast<std::size_t>(i) * cols_ + j] = value;
}

double TorRectMatrix::GetElem(int i, int j) const {
  if (i < 0 || j < 0 || i >= rows_ || j >= cols_) return 0.0;
  return values_[static_cast<std::size_t>(i) * cols_ + j];
}

void TorEigenValues::SetHMatrix(const TorSymMatrix& matrix) { matrix_ = matrix; }

int TorEigenValues::GetSorted(std::vector<double>& values, TorRectMatrix& vectors,
                              bool descending) const {
  const int n = matrix_.GetNRows();
  values.clear();
  vectors.Resize(n, n);
  if (n == 0) return 0;
  Eigen::MatrixXd a(n, n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) a(i, j) = matrix_.GetElem(i, j);
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(a);
  if (solver.info() != Eigen::Success) return 0;
  // Eigen gives ascending order.
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  if (descending) std::reverse(order.begin(), order.end());
  for (int k = 0; k < n; ++k) {
    values.push_back(solver.eigenvalues()(order[k]));
    for (int i = 0; i < n; ++i) vectors.SetElem(i, k, solver.eigenvectors()(i, order[k]));
  }
  return n;
}

}  // namespace TorMath_1_3
