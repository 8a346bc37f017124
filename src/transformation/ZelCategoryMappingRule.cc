#include "transformation/ZelCategoryMappingRule.h"

#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

const char* const ZelCategoryMappingRule::kDefaultText = "";

const RawData& ZelCategoryMappingRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr || input->IsMissing()) {
    output_.SetMissingValue(input != nullptr ? input->GetStorage() : TorCommon_1_3::kStorageReal);
    return output_;
  }
  if (input->GetStorage() == TorCommon_1_3::kStorageString) {
    const auto found = textMapping_.find(input->GetString());
    if (found != textMapping_.end()) {
      output_.SetString(found->second);
    } else {
      output_.SetString(kDefaultText, 0);
    }
    return output_;
  }
  const auto found = numericMapping_.find(input->GetReal());
  const double mapped = found != numericMapping_.end() ? found->second : kDefaultNumber;
  if (input->GetStorage() == TorCommon_1_3::kStorageInteger) {
    output_.SetInteger(static_cast<int64_t>(mapped));
  } else {
    output_.SetDouble(mapped);
  }
  return output_;
}

}  // namespace ZelTransformation
