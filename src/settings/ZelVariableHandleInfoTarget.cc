// The statistics of a field against the target, and its predictive power.
#include "frame/ZelStatusCodes.h"
#include "settings/ZelVariableHandleInfo.h"
#include "statistics/ZelBivarCatTargetCat.h"
#include "statistics/ZelBivarCatTargetCont.h"
#include "statistics/ZelBivarCatTargetContPredictivePower.h"
#include "statistics/ZelBivarContCont.h"
#include "statistics/ZelBivarContTargetCat.h"
#include "statistics/ZelBivarContTargetContPredictivePower.h"
#include "statistics/ZelPredictivePowerCalculator.h"

using TorCommon_1_3::TorStatus;
using ZelStatistic::ZelStatistics;

namespace {

// The bivariate statistic of a continuous or categorical input against the
// target, initialised from both univariate statistics; null with `status`
// set when it cannot be made.
template <typename Statistic, typename... Flags>
ZelStatistics* MakeBivariate(const ZelSettings* settings, uint32_t input, uint32_t target,
                             const ZelStatistics* inputUnivariate,
                             const ZelStatistics* targetUnivariate, TorStatus* status,
                             Flags... flags) {
  auto statistic = std::make_unique<Statistic>(settings, input, target, flags...);
  *status = statistic->InitCategories(inputUnivariate, targetUnivariate);
  return status->IsError() ? nullptr : statistic.release();
}

}  // namespace

TorStatus ZelVariableHandleInfo::MakeTargetStatistic(int index, const ZelVariableHandleInfo& target,
                                                     int targetIndex,
                                                     std::unique_ptr<ZelStatistics>* made) const {
  const auto input = static_cast<uint32_t>(index);
  const auto targetField = static_cast<uint32_t>(targetIndex);
  const ZelStatistics* targetUnivariate = target.GetUnivariate();
  TorStatus status;
  if (IsContinuous()) {
    if (!target.IsCategorical()) return TorStatus(ZelStatusCode::kUnsupportedKind, false);
    made->reset(MakeBivariate<ZelStatistic::ZelBivarCatTargetCont>(
        settings_, input, targetField, univariate_.get(), targetUnivariate, &status));
  } else if (IsCategorical()) {
    if (target.IsCategorical()) {
      made->reset(MakeBivariate<ZelStatistic::ZelBivarCatTargetCat>(
          settings_, input, targetField, univariate_.get(), targetUnivariate, &status,
          target.IsNominal()));
    } else {
      made->reset(MakeBivariate<ZelStatistic::ZelBivarContTargetCat>(
          settings_, input, targetField, univariate_.get(), targetUnivariate, &status));
    }
  }
  return status;
}

TorStatus ZelVariableHandleInfo::CreateTargetStatistic(const Pair&, int index,
                                                       ZelVariableHandleInfo* target,
                                                       int targetIndex) {
  if (IsTarget() || univariate_ == nullptr || target == nullptr ||
      target->GetUnivariate() == nullptr) {
    status_ = TorStatus(ZelStatusCode::kMissingStatistic, false);
    return status_;
  }
  targetStatistic_.reset();
  status_ = MakeTargetStatistic(index, *target, targetIndex, &targetStatistic_);
  return status_;
}

TorStatus ZelVariableHandleInfo::CreateOperationStatistic(const Pair& pair, int index,
                                                          ZelVariableHandleInfo* target,
                                                          int targetIndex,
                                                          const ZelStatistics* list) {
  if (target == nullptr || univariate_ == nullptr || target->GetUnivariate() == nullptr) {
    status_ = TorStatus(ZelStatusCode::kMissingObject, false);
    return status_;
  }
  if (pair != Pair()) {
    status_ = TorStatus(ZelStatusCode::kUnsupportedKind, false);
    return status_;
  }
  targetHandle_ = target;
  operationStatistic_.reset();
  const auto input = static_cast<uint32_t>(index);
  const auto targetField = static_cast<uint32_t>(targetIndex);
  const ZelStatistics* targetUnivariate = target->GetUnivariate();
  status_ = TorStatus();
  if (IsContinuous() && target->IsCategorical()) {
    operationStatistic_.reset(MakeBivariate<ZelStatistic::ZelBivarCatTargetContPredictivePower>(
        settings_, input, targetField, univariate_.get(), targetUnivariate, &status_));
  } else if (IsContinuous() && target->IsContinuous()) {
    if (list == nullptr) {
      status_ = TorStatus(ZelStatusCode::kMissingObject, false);
      return status_;
    }
    auto statistic = std::make_unique<ZelStatistic::ZelBivarContTargetContPredictivePower>(
        settings_, input, targetField);
    // A field derived after the list was made is not in it: such a field
    // takes the next pass instead.
    const auto* pairs = dynamic_cast<const ZelStatistic::ZelBivarContCont*>(list);
    const bool covered = pairs != nullptr && pairs->FindPosition(index) >= 0 &&
                         pairs->FindPosition(targetIndex) >= 0;
    if (covered || pairs == nullptr) status_ = statistic->CopyFrom(*list);
    if (status_.IsError()) return status_;
    operationStatistic_ = std::move(statistic);
  } else if (IsCategorical()) {
    // Merged categories are new fields: a fresh table, not the target statistic.
    status_ = MakeTargetStatistic(index, *target, targetIndex, &operationStatistic_);
  }
  if (operationStatistic_ != nullptr) predictivePower_ = true;
  return status_;
}

TorStatus ZelVariableHandleInfo::GetPredictivePower(double* power) const {
  ZelStatistic::ZelPredictivePowerCalculator calculator;
  const TorStatus computed = calculator.ComputePredictivePower(this, targetHandle_);
  if (!computed.IsError()) *power = calculator.GetPredictivePower();
  return computed;
}
