// ZelPredictivePowerCalculator: how well one input predicts the target, on a
// scale from 0 to 1, from the input's predictive statistic: the squared
// correlation for a continuous input and target; the share of the target's
// variation its categories explain for a categorical input and continuous
// target; Cramér's V of the input (categories, or equal-width bins of a
// continuous input) against the target's categories for a categorical target.
#ifndef ZELCRAFT_STATISTICS_ZELPREDICTIVEPOWERCALCULATOR_H_
#define ZELCRAFT_STATISTICS_ZELPREDICTIVEPOWERCALCULATOR_H_

#include "torcommon13r/TorStatus.h"
#include "statistics/ZelContingencyTable.h"

class ZelVariableHandleInfo;

namespace ZelStatistic {

class ZelPredictivePowerCalculator {
 public:
  virtual ~ZelPredictivePowerCalculator();

  // Reads the input's operation statistic: 210006 when either handle is
  // missing, 210007 when the statistic does not fit the pair of kinds.
  TorCommon_1_3::TorStatus ComputePredictivePower(const ZelVariableHandleInfo* input,
                                                  const ZelVariableHandleInfo* target);
  double GetPredictivePower() const { return power_; }
  TorCommon_1_3::TorStatus GetStatus() const { return status_; }

 private:
  double power_ = 0.0;
  TorCommon_1_3::TorStatus status_;
};

// sqrt(χ² / (N m)) with m one less than the smaller count of non-empty rows
// and non-empty columns; 0 when m is 0. Empty rows and columns add nothing.
double CramersV(const ZelContingencyTable& table);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELPREDICTIVEPOWERCALCULATOR_H_
