#include "transformation/ZelReorderFunctionRule.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

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

void ZelReorderFunctionRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  const ZelBatchColumn* input = batch.Find(GetSourceIndex());
  if (input == nullptr) return ZelTransformRule::ApplyBatch(batch, out);
  out->CopyFrom(*input, batch.Rows());
}

}  // namespace ZelTransformation
