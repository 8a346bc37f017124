#include "transformation/ZelOrdinalSMergeTrans.h"

#include <algorithm>

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

bool ZelOrdinalSMergeTrans::BuildCandidatePairs(const std::vector<uint32_t>& candidates,
                                                int group) {
  const std::size_t count = candidates.size();
  if (count < 2) return false;
  if (group < 0) {
    for (std::size_t k = 0; k + 1 < count; ++k) AddPair(candidates[k], candidates[k + 1]);
    return true;
  }
  const auto at = std::find(candidates.begin(), candidates.end(), static_cast<uint32_t>(group));
  if (at == candidates.end()) return true;
  if (at != candidates.begin()) AddPair(*(at - 1), *at);
  if (at + 1 != candidates.end()) AddPair(*at, *(at + 1));
  return true;
}

TorStatus ZelOrdinalSMergeTrans::BuildMapping() {
  // candidates_ holds the final groups ascending by their largest category.
  const std::size_t groups = candidates_.size();
  std::size_t label = 0;
  for (std::size_t position = 0; position < SourceCategoryCount(); ++position) {
    while (label + 1 < groups &&
           static_cast<int32_t>(position) > groups_[candidates_[label]]->orderKey) {
      ++label;
    }
    MapCategory(position, label);
  }
  return TorStatus();
}

}  // namespace ZelTransformation
