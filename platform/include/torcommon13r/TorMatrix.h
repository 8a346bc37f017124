// Dense matrices and the symmetric eigen decomposition: TorSymMatrix (a
// symmetric matrix), TorRectMatrix (a rectangular one, holding eigenvectors
// as columns) and TorEigenValues.
#ifndef TORCOMMON13R_TORMATRIX_H_
#define TORCOMMON13R_TORMATRIX_H_

#include <vector>

namespace TorMath_1_3 {

class TorSymMatrix {
 public:
  // `flag` is kept for the host's use; the matrix starts at zero.
  explicit TorSymMatrix(int order = 0, bool flag = false);
  int GetNRows() const { return order_; }
  bool GetFlag() const { return flag_; }
  // Sets (i, j) and (j, i).
  void SetElem(int i, int j, double value);
  double GetElem(int i, int j) const;

 private:
  int order_;
  bool flag_;
  std::vector<double> values_;  // lower triangle, row by row
};

class TorRectMatrix {
 public:
  TorRectMatrix(int rows = 0, int cols = 0);
  int GetNRows() const { return rows_; }
  int GetNCols() const { return cols_; }
  void Resize(int rows, int cols);
  void SetElem(int i, int j, double value);
  double GetElem(int i, int j) const;

 private:
  int rows_;
  int cols_;
  std::vector<double> values_;  // row-major
};

class TorEigenValues {
 public:
  void SetHMatrix(const TorSymMatrix& matrix);
  // Fills `values` with the eigenvalues (descending when `descending`, else
  // ascending) and `vectors` with the matching unit eigenvectors as columns.
  // Returns the number of eigenvalues found (0 when the decomposition failed).
  int GetSorted(std::vector<double>& values, TorRectMatrix& vectors, bool descending) const;

 private:
  TorSymMatrix matrix_;
};

}  // namespace TorMath_1_3

#endif  // TORCOMMON13R_TORMATRIX_H_
