// ZelPValueCatFeature: the p-value of the test that a categorical input and
// the target are not associated. With a continuous target it is the F test
// of a one-way analysis of variance over the input's categories; with a
// categorical target a chi-square test on the table of input categories by
// target categories: Pearson's statistic for a nominal target, and for an
// ordinal target the likelihood ratio of the row-effects model against
// independence. Expected counts honour analysis weights. It works on plain
// per-category summaries and tables, so that callers can test tables they
// build themselves (merged groups, for instance).
#ifndef ZELCRAFT_STATISTICS_ZELPVALUECATFEATURE_H_
#define ZELCRAFT_STATISTICS_ZELPVALUECATFEATURE_H_

#include <vector>

#include "torcommon13r/TorStatus.h"
#include "statistics/ZelCategoryMoments.h"
#include "statistics/ZelContingencyTable.h"

namespace ZelStatistic {

class ZelPValueCatFeature {
 public:
  virtual ~ZelPValueCatFeature();

  // The target's moments per input category. The p-value, or -1.0 with the
  // failure in GetStatus(); 0.0 when the target does not vary within the
  // categories at all.
  double PValueContTarget(const std::vector<ZelCategoryMoments>& categories);
  // Input categories (rows) by target categories (columns). The p-value, or
  // -1.0 with the failure in GetStatus(); 1.0 for a target of one category,
  // which nothing can be associated with.
  double PValueCatTarget(const ZelContingencyTable& table, bool ordinalTarget);

  // Success, or the failure of the last call.
  TorCommon_1_3::TorStatus GetStatus() const { return status_; }
  // The test statistic (F, Pearson's chi-square or G²) and its degrees of
  // freedom (the second only for F) of the last call that computed one.
  double GetStatistic() const { return statistic_; }
  double GetDegreesOfFreedom() const { return df1_; }
  double GetDenominatorDegreesOfFreedom() const { return df2_; }

 private:
  double Fail(int code);
  // 1 − the distribution function, -1.0 with 210015 when it has no value.
  double UpperTail(double cdf);

  TorCommon_1_3::TorStatus status_;
  double statistic_ = 0.0;
  double df1_ = 0.0;
  double df2_ = 0.0;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELPVALUECATFEATURE_H_
