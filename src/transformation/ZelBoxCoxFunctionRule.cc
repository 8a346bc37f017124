#include "transformation/ZelBoxCoxFunctionRule.h"

#include <algorithm>
#include <cmath>

#include "statistics/ZelBoxCox.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

namespace {

// Beyond this a truncated value no longer fits a 64-bit integer.
constexpr double kLargestWhole = 9.2e18;

}  // namespace

ZelBoxCoxFunctionRule::ZelBoxCoxFunctionRule()
    : ZelFunctionTransformRule({Step::kHandleTarget, Action::kRescaleScaleTarget}, kFunctionId) {}

void ZelBoxCoxFunctionRule::SetTransform(double lambda, double shift, double transformedStdDev,
                                         double transformedMean, double desiredStdDev,
                                         double desiredMean) {
  lambda_ = lambda;
  shift_ = shift;
  transformedStdDev_ = transformedStdDev;
  transformedMean_ = transformedMean;
  desiredStdDev_ = desiredStdDev;
  desiredMean_ = desiredMean;
}

const RawData& ZelBoxCoxFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  if (input->IsMissing()) {
    output_.SetMissingValue(input->GetStorage());
    return output_;
  }
  const double x = input->GetReal();
  const double y = ZelStatistic::BoxCoxTransform(x, shift_, lambda_);
  const double z = desiredStdDev_ / transformedStdDev_ * (y - transformedMean_) + desiredMean_;
  if (!(x - shift_ > 0.0) || !std::isfinite(z)) {
    output_.SetMissingValue(input->GetStorage());
  } else if (input->GetStorage() == TorCommon_1_3::kStorageReal) {
    output_.SetDouble(z);
  } else if (std::fabs(z) < kLargestWhole) {
    output_.SetInteger(static_cast<int64_t>(std::trunc(z)));
  } else {
    output_.SetMissingValue(input->GetStorage());
  }
  return output_;
}

void ZelBoxCoxFunctionRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  const ZelBatchColumn* input = batch.Find(GetSourceIndex());
  if (input == nullptr) return ZelTransformRule::ApplyBatch(batch, out);
  const std::size_t rows = batch.Rows();
  std::copy_n(input->storage.begin(), rows, out->storage.begin());
  for (std::size_t k = 0; k < rows; ++k) {
    out->missing[k] = 1;
    if (input->missing[k] != 0) continue;
    const double x = input->reals[k];
    const double y = ZelStatistic::BoxCoxTransform(x, shift_, lambda_);
    const double z = desiredStdDev_ / transformedStdDev_ * (y - transformedMean_) + desiredMean_;
    if (!(x - shift_ > 0.0) || !std::isfinite(z)) continue;
    if (input->storage[k] == TorCommon_1_3::kStorageReal) {
      out->missing[k] = 0;
      out->reals[k] = z;
    } else if (std::fabs(z) < kLargestWhole) {
      out->missing[k] = 0;
      out->storage[k] = TorCommon_1_3::kStorageInteger;
      out->integers[k] = static_cast<int64_t>(std::trunc(z));
      out->reals[k] = static_cast<double>(out->integers[k]);
    }
  }
}

}  // namespace ZelTransformation
