#include "transformation/ZelConstructTransformRule.h"

#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

const RawData& ZelConstructTransformRule::Apply(const RawRecord& working) {
  const std::vector<double>& coefficients = GetParameters();
  if (coefficients.size() != GetInputIndices().size()) {
    output_.SetDouble(0.0);
    return output_;
  }
  double sum = 0.0;
  for (std::size_t i = 0; i < coefficients.size(); ++i) {
    const RawData* input = Input(working, i);
    if (input == nullptr || input->IsMissing()) {
      output_.SetMissingValue(TorCommon_1_3::kStorageReal);
      return output_;
    }
    const int storage = input->GetStorage();
    const bool numeric =
        storage == TorCommon_1_3::kStorageInteger || storage == TorCommon_1_3::kStorageReal;
    sum += coefficients[i] * (numeric ? input->GetReal() : 0.0);
  }
  output_.SetDouble(sum);
  return output_;
}

}  // namespace ZelTransformation
