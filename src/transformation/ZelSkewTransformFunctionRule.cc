#include "transformation/ZelSkewTransformFunctionRule.h"

#include <algorithm>
#include <cmath>

#include "statistics/ZelBoxCox.h"
#include "statistics/ZelFormat.h"
#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelSkewTransformFunctionRule::ZelSkewTransformFunctionRule()
    : ZelFunctionTransformRule({Step::kHandleContinuousFeatures, Action::kSkewTransformContFeature},
                               kFunctionId) {}

void ZelSkewTransformFunctionRule::SetBoxCox(double lambda, double minimum) {
  signedLog_ = false;
  lambda_ = ZelStatistic::RoundAsFormatted(lambda);
  minimum_ = ZelStatistic::RoundAsFormatted(minimum);
  shift_ = ZelStatistic::RoundAsFormatted(minimum - 1.0);
  AddParameter(lambda_);
  AddParameter(shift_);
}

void ZelSkewTransformFunctionRule::SetSignedLog() {
  signedLog_ = true;
  AddTextParameter("signedLog");
}

double ZelSkewTransformFunctionRule::Transform(double x) const {
  if (signedLog_) return ZelStatistic::SignedLog(x);
  // The operations of the document's expression, in its order.
  const double v = std::max(x, minimum_) - shift_;
  return lambda_ == 0.0 ? std::log(v) : (std::pow(v, lambda_) - 1.0) / lambda_;
}

const RawData& ZelSkewTransformFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  const int storage = input->GetStorage();
  const bool number =
      storage == TorCommon_1_3::kStorageInteger || storage == TorCommon_1_3::kStorageReal;
  const double y = number && !input->IsMissing() ? Transform(input->GetReal()) : NAN;
  if (std::isfinite(y)) {
    output_.SetDouble(y);
  } else {
    output_.SetMissingValue(TorCommon_1_3::kStorageReal);
  }
  return output_;
}

}  // namespace ZelTransformation
