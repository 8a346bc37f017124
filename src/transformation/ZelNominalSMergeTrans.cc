#include "transformation/ZelNominalSMergeTrans.h"

#include <algorithm>
#include <utility>

#include "frame/ZelStatusCodes.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

bool ZelNominalSMergeTrans::BuildCandidatePairs(const std::vector<uint32_t>& candidates,
                                                int group) {
  const std::size_t count = candidates.size();
  if (count < 2) return false;
  if (group < 0) {
    for (std::size_t a = 0; a < count; ++a) {
      for (std::size_t b = a + 1; b < count; ++b) AddPair(candidates[a], candidates[b]);
    }
    return true;
  }
  // The group with each other candidate, the one of smaller order key first.
  const auto at = std::find(candidates.begin(), candidates.end(), static_cast<uint32_t>(group));
  if (at == candidates.end()) return true;
  for (auto other = candidates.begin(); other != candidates.end(); ++other) {
    if (other < at) AddPair(*other, *at);
    if (other > at) AddPair(*at, *other);
  }
  return true;
}

TorStatus ZelNominalSMergeTrans::BuildMapping() {
  struct Total {
    int64_t count;
    int32_t orderKey;
    uint32_t group;
  };
  std::vector<Total> totals;
  for (uint32_t g : candidates_) {
    int64_t sum = 0;
    for (int member : groups_[g]->members) {
      const int64_t count = CategoryCount(static_cast<std::size_t>(member));
      if (count < 0) return TorStatus(ZelStatusCode::kNoStatisticalValue, false);
      sum += count;
    }
    totals.push_back({sum, groups_[g]->orderKey, g});
  }
  std::sort(totals.begin(), totals.end(), [](const Total& a, const Total& b) {
    return a.count != b.count ? a.count < b.count : a.orderKey < b.orderKey;
  });
  for (std::size_t label = 0; label < totals.size(); ++label) {
    for (int member : groups_[totals[label].group]->members) {
      MapCategory(static_cast<std::size_t>(member), label);
    }
  }
  for (int position : withoutTarget_) MapCategory(static_cast<std::size_t>(position), 0);
  return TorStatus();
}

}  // namespace ZelTransformation
