// ZelOrdinalSMergeTrans: supervised merging of an ordinal input, which only
// ever joins neighbouring groups. The final groups are numbered 0, 1, … in
// their categories' order; a category without target information joins the
// group of the next larger category, or the last group when none follows.
#ifndef ZELCRAFT_TRANSFORMATION_ZELORDINALSMERGETRANS_H_
#define ZELCRAFT_TRANSFORMATION_ZELORDINALSMERGETRANS_H_

#include <vector>

#include "transformation/ZelSupervisedMergeTransformation.h"

namespace ZelTransformation {

class ZelOrdinalSMergeTrans : public ZelSupervisedMergeTransformation {
 public:
  using ZelSupervisedMergeTransformation::ZelSupervisedMergeTransformation;

 protected:
  // Each candidate with the next one.
  bool BuildCandidatePairs(const std::vector<uint32_t>& candidates, int group) override;
  TorCommon_1_3::TorStatus BuildMapping() override;
  StepSuffix Suffix() const override { return StepSuffix::kMergeOrdinalHasTarget; }
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELORDINALSMERGETRANS_H_
