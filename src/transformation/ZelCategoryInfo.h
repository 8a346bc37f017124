// CategoryInfo: one group of source categories in the supervised merge
// search, with what the target looks like within it: the counts per target
// category against a categorical target (CategoryInfoCatTarget), or the
// target's moments against a continuous one (CategoryInfoContTarget). A
// group is never removed; merging deactivates two and appends their union.
#ifndef ZELCRAFT_TRANSFORMATION_ZELCATEGORYINFO_H_
#define ZELCRAFT_TRANSFORMATION_ZELCATEGORYINFO_H_

#include <cstdint>
#include <vector>

#include "statistics/ZelCategoryMoments.h"

namespace ZelTransformation {

class CategoryInfo {
 public:
  virtual ~CategoryInfo();

  uint32_t id = 0;  // position in the group list
  bool active = true;
  std::vector<int> members;  // source category positions, ascending
  int32_t orderKey = -1;     // the largest member
};

class CategoryInfoCatTarget : public CategoryInfo {
 public:
  std::vector<double> frequencies;  // Σ f per target category
  std::vector<double> weighted;     // Σ f × a per target category
};

class CategoryInfoContTarget : public CategoryInfo {
 public:
  ZelStatistic::ZelCategoryMoments target;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELCATEGORYINFO_H_
