#include "statistics/ZelBivarContTargetCat.h"

namespace ZelStatistic {

ZelBivarContTargetCat::ZelBivarContTargetCat(const ZelSettings* settings, uint32_t inputIndex,
                                             uint32_t targetIndex)
    : ZelBivarGroupedMoments(settings, kBivariateContTargetCat, inputIndex, targetIndex, true) {}

TorCommon_1_3::TorStatus ZelBivarContTargetCat::InitCategories(const ZelStatistics* input,
                                                               const ZelStatistics*) {
  return InitGroups(input);
}

}  // namespace ZelStatistic
