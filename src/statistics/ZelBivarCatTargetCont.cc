#include "statistics/ZelBivarCatTargetCont.h"

namespace ZelStatistic {

ZelBivarCatTargetCont::ZelBivarCatTargetCont(const ZelSettings* settings, uint32_t inputIndex,
                                             uint32_t targetIndex)
    : ZelBivarGroupedMoments(settings, kBivariateCatTargetCont, inputIndex, targetIndex, false) {}

TorCommon_1_3::TorStatus ZelBivarCatTargetCont::InitCategories(const ZelStatistics*,
                                                               const ZelStatistics* target) {
  return InitGroups(target);
}

}  // namespace ZelStatistic
