#include "transformation/ZelTargetMeanRule.h"

#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

const RawData& ZelTargetMeanRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  double mean = prior_;
  if (!input->IsMissing()) {
    if (input->GetStorage() == TorCommon_1_3::kStorageString) {
      const auto it = texts_.find(input->GetString());
      if (it != texts_.end()) mean = it->second;
    } else {
      const auto it = numbers_.find(input->GetReal());
      if (it != numbers_.end()) mean = it->second;
    }
  }
  output_.SetDouble(mean);
  return output_;
}

}  // namespace ZelTransformation
