// ZelBivarContTargetCat: a categorical input against a continuous target:
// per input category the mean, second moment, count and weight of the
// target, and the target's second moment over all counted records. It feeds
// the analysis of variance of categorical feature selection and the share of
// the target's variation the categories explain (predictive power).
#ifndef ZELCRAFT_STATISTICS_ZELBIVARCONTTARGETCAT_H_
#define ZELCRAFT_STATISTICS_ZELBIVARCONTTARGETCAT_H_

#include "statistics/ZelBivarGroupedMoments.h"

namespace ZelStatistic {

class ZelBivarContTargetCat : public ZelBivarGroupedMoments {
 public:
  ZelBivarContTargetCat(const ZelSettings* settings, uint32_t inputIndex, uint32_t targetIndex);

  // The input's categories (210011 when its statistic has no list).
  TorCommon_1_3::TorStatus InitCategories(const ZelStatistics* input, const ZelStatistics* target);

  double GetTargetSecondMoment() const { return Overall().m2; }
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELBIVARCONTTARGETCAT_H_
