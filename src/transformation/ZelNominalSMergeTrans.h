// ZelNominalSMergeTrans: supervised merging of a nominal input, numeric or
// text, where any two groups may merge. The final groups are numbered 0, 1,
// … by ascending record count (the sum of their categories' counts in the
// input's univariate table; equal counts by their largest category), and
// the categories without target information join group 0, the smallest.
#ifndef ZELCRAFT_TRANSFORMATION_ZELNOMINALSMERGETRANS_H_
#define ZELCRAFT_TRANSFORMATION_ZELNOMINALSMERGETRANS_H_

#include <vector>

#include "transformation/ZelSupervisedMergeTransformation.h"

namespace ZelTransformation {

class ZelNominalSMergeTrans : public ZelSupervisedMergeTransformation {
 public:
  using ZelSupervisedMergeTransformation::ZelSupervisedMergeTransformation;

 protected:
  // Every candidate with every later one.
  bool BuildCandidatePairs(const std::vector<uint32_t>& candidates, int group) override;
  // kNoStatisticalValue when a group's category is not in the univariate
  // table.
  TorCommon_1_3::TorStatus BuildMapping() override;
  StepSuffix Suffix() const override { return StepSuffix::kMergeNominalHasTarget; }
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELNOMINALSMERGETRANS_H_
