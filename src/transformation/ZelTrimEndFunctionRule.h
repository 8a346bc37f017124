// ZelTrimEndFunctionRule: the copy of a text field without trailing blanks
// and tabs. It remembers whether any value actually lost characters, which
// decides after the first pass whether the copy or the source is kept.
#ifndef ZELCRAFT_TRANSFORMATION_ZELTRIMENDFUNCTIONRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELTRIMENDFUNCTIONRULE_H_

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelTrimEndFunctionRule : public ZelFunctionTransformRule {
 public:
  static constexpr int kFunctionId = 1;

  // Always the pair (HandleStringFeature, TrimTrailing).
  ZelTrimEndFunctionRule();

  // A missing input stays missing; otherwise the text up to its last
  // character that is neither a blank nor a tab ("" when there is none).
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;

  // Set once some value was shortened; never cleared.
  bool IsChanged() const { return changed_; }

 private:
  bool changed_ = false;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELTRIMENDFUNCTIONRULE_H_
