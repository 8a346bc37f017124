// ZelMissingValueMappingRule: the copy of a field in which a missing value
// becomes the field's mean (continuous), mode (nominal) or median (ordinal).
// The replacement is the first numeric parameter, or for a text field the
// first text parameter; present values pass unchanged.
#ifndef ZELCRAFT_TRANSFORMATION_ZELMISSINGVALUEMAPPINGRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELMISSINGVALUEMAPPINGRULE_H_

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelMissingValueMappingRule : public ZelValueMappingTransformRule {
 public:
  // kHandleMissingValue with one of the replacements by kind and role,
  // kReplaceMissingScaleTarget to kReplaceMissingOrdinalFeature.
  explicit ZelMissingValueMappingRule(const ZelOperationPair& pair)
      : ZelValueMappingTransformRule(pair) {}

  // A missing value takes the replacement in the storage it was read with:
  // an integer takes the replacement, to the 15 significant digits the
  // document gives it, truncated toward zero; a real takes it
  // as it is, a text the replacement text. A missing value of another
  // storage, or without a replacement of its kind, stays missing.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELMISSINGVALUEMAPPINGRULE_H_
