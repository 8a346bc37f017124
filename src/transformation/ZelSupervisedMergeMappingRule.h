// ZelSupervisedMergeMappingRule: the rule of a field whose categories were
// merged because they relate alike to the target (MergeCatFeatureForAsso):
// each source category maps to the number of its group.
#ifndef ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDMERGEMAPPINGRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDMERGEMAPPINGRULE_H_

#include "transformation/ZelCategoryMappingRule.h"

namespace ZelTransformation {

class ZelSupervisedMergeMappingRule : public ZelCategoryMappingRule {
 public:
  using ZelCategoryMappingRule::ZelCategoryMappingRule;
  int GetMappingKind() const override { return 2; }
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDMERGEMAPPINGRULE_H_
