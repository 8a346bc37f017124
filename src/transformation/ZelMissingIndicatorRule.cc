#include "transformation/ZelMissingIndicatorRule.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

const RawData& ZelMissingIndicatorRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  output_.SetInteger(input->IsMissing() ? 1 : 0);
  return output_;
}

}  // namespace ZelTransformation
