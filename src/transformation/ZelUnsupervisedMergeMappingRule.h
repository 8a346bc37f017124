// ZelUnsupervisedMergeMappingRule: the rule of a field whose sparse categories
// were merged by frequency, without a target (MergeCatFeatureForSparse): each
// source category maps to the number of its group.
#ifndef ZELCRAFT_TRANSFORMATION_ZELUNSUPERVISEDMERGEMAPPINGRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELUNSUPERVISEDMERGEMAPPINGRULE_H_

#include "transformation/ZelCategoryMappingRule.h"

namespace ZelTransformation {

class ZelUnsupervisedMergeMappingRule : public ZelCategoryMappingRule {
 public:
  using ZelCategoryMappingRule::ZelCategoryMappingRule;
  int GetMappingKind() const override { return 3; }
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELUNSUPERVISEDMERGEMAPPINGRULE_H_
