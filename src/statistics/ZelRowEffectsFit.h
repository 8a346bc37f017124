// ZelRowEffectsFit: the maximum-likelihood fit of the row-effects model of a
// table against an ordinal target, in log form
//   log F_ij = a_i + b_j + θ_i t_j + log(1 / w̄_ij),  t_j = s_j − s̄,
// over the rows and columns that hold records (the others fit 0). Newton
// steps with step halving on the likelihood converge fast enough that the
// fit, when it stops, is far closer to the maximum than its stopping rule.
#ifndef ZELCRAFT_STATISTICS_ZELROWEFFECTSFIT_H_
#define ZELCRAFT_STATISTICS_ZELROWEFFECTSFIT_H_

#include <vector>

#include "torcommon13r/TorStatus.h"
#include "statistics/ZelContingencyTable.h"

namespace ZelStatistic {

class ZelRowEffectsFit {
 public:
  explicit ZelRowEffectsFit(const ZelContingencyTable& observed);

  // False when the records hold fewer than two distinct scores.
  bool IsIdentified() const { return fixed1_ >= 0; }
  // Fills `fitted` row-major; 210015 when the iteration does not settle.
  TorCommon_1_3::TorStatus Run(std::vector<double>* fitted);

 private:
  struct Parameters {
    std::vector<double> a, b, theta;
  };

  void Fitted(const Parameters& p, std::vector<double>* f) const;
  double LogLikelihood(const std::vector<double>& f) const;
  bool Direction(const std::vector<double>& f, Parameters* step) const;

  const ZelContingencyTable& o_;
  int rows_;
  int columns_;
  std::vector<double> logOffsets_;
  std::vector<double> rowTotals_;
  std::vector<double> columnTotals_;
  std::vector<double> t_;
  // Two active columns with different scores keep b_j fixed: that removes
  // the two directions in which the parameters move without changing any
  // fitted count. The others are free.
  int fixed1_ = -1;
  std::vector<int> free_;
  Parameters start_;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELROWEFFECTSFIT_H_
