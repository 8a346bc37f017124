#include "statistics/ZelBivarContTargetContPredictivePower.h"

#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBivarContCont.h"
#include "torcommon13r/TorVariable.h"

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

bool IsNumber(const RawData& value) {
  return !value.IsMissing() && (value.GetStorage() == TorCommon_1_3::kStorageInteger ||
                                value.GetStorage() == TorCommon_1_3::kStorageReal);
}

}  // namespace

ZelBivarContTargetContPredictivePower::ZelBivarContTargetContPredictivePower(
    const ZelSettings* settings, uint32_t inputIndex, uint32_t targetIndex)
    : ZelStatistics(settings, kBivariateContTargetContPredictivePower),
      inputIndex_(inputIndex),
      targetIndex_(targetIndex) {}

TorStatus ZelBivarContTargetContPredictivePower::CopyFrom(const ZelStatistics& other) {
  if (status_.IsError()) return status_;
  if (other.GetType() != kBivariateContCont) return Fail(ZelStatusCode::kUnsupportedKind);
  const auto* list = dynamic_cast<const ZelBivarContCont*>(&other);
  if (list == nullptr) return Fail(ZelStatusCode::kInconsistent);
  const int target = list->FindPosition(static_cast<int>(targetIndex_));
  const int input = list->FindPosition(static_cast<int>(inputIndex_));
  if (target < 0 || input < 0) return Fail(ZelStatusCode::kUnsupportedKind);
  targetVariance_ = list->GetCovariances().GetElem(target, target);
  inputVariance_ = list->GetCovariances().GetElem(input, input);
  covariance_ = list->GetCovariances().GetElem(target, input);
  correlation_ = list->GetCorrelations().GetElem(target, input);
  collected_ = true;
  return status_;
}

TorStatus ZelBivarContTargetContPredictivePower::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  const RawData& input = record[inputIndex_];
  const RawData& target = record[targetIndex_];
  if (!IsNumber(input) || !IsNumber(target)) return status_;
  const double x = input.GetReal();
  const double y = target.GetReal();
  const double f = FrequencyWeight(record);
  const double w = f * AnalysisWeight(record);
  input_.Add(x, x, f, w);
  cross_.Add(x, y, f, w);
  target_.Add(y, y, f, w);
  return status_;
}

TorStatus ZelBivarContTargetContPredictivePower::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const ZelBatchColumn& input = batch.Column(static_cast<int>(inputIndex_));
  const ZelBatchColumn& target = batch.Column(static_cast<int>(targetIndex_));
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    if (input.missing[k] != 0 || target.missing[k] != 0) continue;
    if (!input.IsNumber(k) || !target.IsNumber(k)) continue;
    const double x = input.reals[k];
    const double y = target.reals[k];
    const double f = frequencies != nullptr ? frequencies[k] : 1.0;
    const double w = f * (analysis != nullptr ? analysis[k] : 1.0);
    input_.Add(x, x, f, w);
    cross_.Add(x, y, f, w);
    target_.Add(y, y, f, w);
  }
  return status_;
}

TorStatus ZelBivarContTargetContPredictivePower::Finalize() {
  collected_ = true;
  inputVariance_ = input_.Covariance();
  covariance_ = cross_.Covariance();
  targetVariance_ = target_.Covariance();
  const double product = targetVariance_ * inputVariance_;
  correlation_ = targetVariance_ > 0.0 && inputVariance_ > 0.0 ? covariance_ / std::sqrt(product)
                                                               : 0.0;
  return status_;
}

}  // namespace ZelStatistic
