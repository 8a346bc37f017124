#include "statistics/ZelCorrelationTest.h"

#include <cmath>

#include "torcommon13r/TorDistFun.h"

namespace ZelStatistic {

double CorrelationProbability(double r, double n, int heldFixed) {
  // Rounding can carry a perfect correlation just past 1.
  if (std::fabs(r) >= 1.0) return 1.0;
  const double freedom = n - (2.0 + heldFixed);
  if (freedom <= 0.0) return 0.0;
  return TorMath_1_3::TorDistFun::CdfT(std::fabs(r * std::sqrt(freedom / (1.0 - r * r))),
                                       freedom);
}

}  // namespace ZelStatistic
