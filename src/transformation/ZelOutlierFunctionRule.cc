#include "transformation/ZelOutlierFunctionRule.h"

#include <cmath>

#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelOutlierFunctionRule::ZelOutlierFunctionRule(const ZelOperationPair& pair)
    : ZelFunctionTransformRule(pair, pair.action == Action::kSetOutliersToMissing
                                         ? kSetMissingFunctionId
                                         : kTrimFunctionId) {}

const RawData& ZelOutlierFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  output_ = *input;
  const std::vector<double>& p = GetParameters();
  if (input->IsMissing() || p.size() < kParameterCount) return output_;
  double v = 0.0;
  if (input->GetStorage() == TorCommon_1_3::kStorageInteger ||
      input->GetStorage() == TorCommon_1_3::kStorageReal) {
    v = input->GetReal();
  }
  const double analysis = WeightAt(working, p[kAnalysisWeightIndex], 1.0);
  // Without an analysis weight the band is the same for every record.
  const double spread = p[kRobustStdDev] * p[kCutoff];
  const double half = analysis == 1.0 ? spread : spread / std::sqrt(analysis);
  const double lower = p[kRobustMean] - half;
  const double upper = p[kRobustMean] + half;
  if (!(v < lower) && !(v > upper)) return output_;
  // Whole records, as the frequency weight counts everywhere.
  const double frequency = std::trunc(WeightAt(working, p[kFrequencyWeightIndex], 1.0));
  outlierCount_ += static_cast<int64_t>(frequency);
  if (GetPair().action == Action::kSetOutliersToMissing) {
    output_.SetMissing(true);
  } else {
    output_.SetDouble(v < lower ? lower : upper);
  }
  return output_;
}

}  // namespace ZelTransformation
