#include "transformation/ZelCheckTypeFunctionRule.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelCheckTypeFunctionRule::ZelCheckTypeFunctionRule(const ZelOperationPair& pair)
    : ZelFunctionTransformRule(pair, pair.action == Action::kTypeOrdinalToScale
                                         ? kOrdinalToScaleFunctionId
                                         : kScaleToOrdinalFunctionId) {}

const RawData& ZelCheckTypeFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  // Plain assignment reuses the output's string buffer.
  if (input != nullptr) output_ = *input;
  return output_;
}

}  // namespace ZelTransformation
