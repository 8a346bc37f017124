#include "transformation/ZelReorderFunctionRule.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelReorderFunctionRule::ZelReorderFunctionRule(const ZelOperationPair& pair)
    : ZelFunctionTransformRule(pair, pair.action == Action::kReorderCatFeature
                                         ? kFeatureFunctionId
                                         : kTargetFunctionId) {}

const RawData& ZelReorderFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  // Plain assignment reuses the output's string buffer.
  if (input != nullptr) output_ = *input;
  return output_;
}

}  // namespace ZelTransformation
