// ZelCheckTypeFunctionRule: a field recast to another measurement level. The
// values pass through unchanged; only the level of the derived field differs
// from its source (continuous to ordinal or ordinal to continuous).
#ifndef ZELCRAFT_TRANSFORMATION_ZELCHECKTYPEFUNCTIONRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELCHECKTYPEFUNCTIONRULE_H_

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelCheckTypeFunctionRule : public ZelFunctionTransformRule {
 public:
  static constexpr int kScaleToOrdinalFunctionId = 14;
  static constexpr int kOrdinalToScaleFunctionId = 15;

  // kTypeOrdinalToScale (ordinal to continuous) or kTypeScaleToOrdinal
  // (continuous to ordinal).
  explicit ZelCheckTypeFunctionRule(const ZelOperationPair& pair);

  // The input value; the previous output when the input lies outside the
  // record.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELCHECKTYPEFUNCTIONRULE_H_
