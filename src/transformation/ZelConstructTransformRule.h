// ZelConstructTransformRule: a constructed feature (ConstructContFeature),
// the weighted sum Σ c_i × x_i of a group of continuous fields. It is
// missing as soon as one input is missing.
#ifndef ZELCRAFT_TRANSFORMATION_ZELCONSTRUCTTRANSFORMRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELCONSTRUCTTRANSFORMRULE_H_

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelConstructTransformRule : public ZelTransformRule {
 public:
  using ZelTransformRule::ZelTransformRule;

  int GetRuleType() const override { return RuleType::kConstructFeature; }
  // The sum as a real, over the inputs and their coefficients (the numeric
  // parameters, in input order); integers count as their value, values of
  // other storage as 0. A rule whose inputs and coefficients differ in
  // number gives 0.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;

 private:
  std::vector<const ZelFrame::ZelBatchColumn*> inputs_;  // of the batch being computed
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELCONSTRUCTTRANSFORMRULE_H_
