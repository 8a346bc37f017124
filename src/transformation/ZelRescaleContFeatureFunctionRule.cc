#include "transformation/ZelRescaleContFeatureFunctionRule.h"

#include <algorithm>

#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelRescaleContFeatureFunctionRule::ZelRescaleContFeatureFunctionRule(const ZelOperationPair& pair)
    : ZelFunctionTransformRule(pair, pair.action == Action::kMinMaxContFeature
                                         ? kMinMaxFunctionId
                                         : kZscoreFunctionId) {}

void ZelRescaleContFeatureFunctionRule::SetZscore(double targetMean, double targetStdDev,
                                                  double fieldStdDev, double fieldMean) {
  targetMean_ = targetMean;
  targetStdDev_ = targetStdDev;
  fieldStdDev_ = fieldStdDev;
  fieldMean_ = fieldMean;
}

void ZelRescaleContFeatureFunctionRule::SetMinMax(double newMinimum, double newMaximum,
                                                  double fieldMinimum, double fieldMaximum) {
  newMinimum_ = newMinimum;
  newMaximum_ = newMaximum;
  fieldMinimum_ = fieldMinimum;
  fieldMaximum_ = fieldMaximum;
}

double ZelRescaleContFeatureFunctionRule::Rescale(double value) const {
  if (IsZscore()) return (value - fieldMean_) * targetStdDev_ / fieldStdDev_ + targetMean_;
  return (newMaximum_ - newMinimum_) * (value - fieldMinimum_) / (fieldMaximum_ - fieldMinimum_) +
         newMinimum_;
}

const RawData& ZelRescaleContFeatureFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  if (input->IsMissing()) {
    output_.SetMissingValue(TorCommon_1_3::kStorageReal);
    return output_;
  }
  // Dates and times never get here: the date and time step sets them aside.
  const int storage = input->GetStorage();
  const bool number =
      storage == TorCommon_1_3::kStorageInteger || storage == TorCommon_1_3::kStorageReal;
  output_.SetDouble(Rescale(number ? input->GetReal() : 0.0));
  return output_;
}

void ZelRescaleContFeatureFunctionRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  const ZelBatchColumn* input = batch.Find(GetSourceIndex());
  if (input == nullptr) return ZelTransformRule::ApplyBatch(batch, out);
  const std::size_t rows = batch.Rows();
  std::fill_n(out->storage.begin(), rows, TorCommon_1_3::kStorageReal);
  std::copy_n(input->missing.begin(), rows, out->missing.begin());
  for (std::size_t k = 0; k < rows; ++k) {
    out->reals[k] = Rescale(input->IsNumber(k) ? input->reals[k] : 0.0);
  }
}

}  // namespace ZelTransformation
