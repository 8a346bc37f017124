// ZelBivarCatTargetCont: a continuous input against a categorical target:
// per target category the mean, second moment, count and weight of the
// input. Supervised binning cuts the input along the target categories whose
// input means do not differ significantly.
#ifndef ZELCRAFT_STATISTICS_ZELBIVARCATTARGETCONT_H_
#define ZELCRAFT_STATISTICS_ZELBIVARCATTARGETCONT_H_

#include "statistics/ZelBivarGroupedMoments.h"

namespace ZelStatistic {

class ZelBivarCatTargetCont : public ZelBivarGroupedMoments {
 public:
  ZelBivarCatTargetCont(const ZelSettings* settings, uint32_t inputIndex, uint32_t targetIndex);

  // The target's categories (210011 when its statistic has no list); the
  // input's statistic is not needed.
  TorCommon_1_3::TorStatus InitCategories(const ZelStatistics* input, const ZelStatistics* target);
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELBIVARCATTARGETCONT_H_
