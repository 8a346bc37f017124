#include "statistics/ZelBivarContTargetContPredictivePower.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBivarContCont.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

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
  if (MomentsShareSums()) {
    ZelBivarContTargetContPredictivePower* self = this;
    if (frequencies == nullptr && analysis == nullptr) {
      AddShared<1, true>(&self, batch, nullptr, nullptr);
    } else {
      AddShared<1, false>(&self, batch, frequencies, analysis);
    }
    return status_;
  }
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

bool ZelBivarContTargetContPredictivePower::MomentsShareSums() const {
  // Bitwise, so that a NaN matches itself and a shared mean is each pair's
  // own to the last bit.
  return SameBits(input_.frequency, cross_.frequency) &&
         SameBits(target_.frequency, cross_.frequency) &&
         SameBits(input_.weight, cross_.weight) && SameBits(target_.weight, cross_.weight) &&
         SameBits(input_.meanX, cross_.meanX) && SameBits(input_.meanY, cross_.meanX) &&
         SameBits(target_.meanX, cross_.meanY) && SameBits(target_.meanY, cross_.meanY);
}

template <std::size_t N, bool kUnit>
void ZelBivarContTargetContPredictivePower::AddShared(
    ZelBivarContTargetContPredictivePower* const* s, const ZelBatch& batch,
    const double* frequencies, const double* analysis) {
  // The three pairs of a statistic meet the same rows with the same weights:
  // the sums, the share of a row and the two means are worked out once, with
  // the very operations of ZelPairMoments::Add. Without weights every weight
  // is 1, and a deviation times 1 is the deviation itself.
  const ZelBatchColumn* input[N];
  const ZelBatchColumn* target[N];
  double frequency[N], weight[N], meanX[N], meanY[N], coXX[N], coXY[N], coYY[N];
  for (std::size_t g = 0; g < N; ++g) {
    input[g] = &batch.Column(static_cast<int>(s[g]->inputIndex_));
    target[g] = &batch.Column(static_cast<int>(s[g]->targetIndex_));
    frequency[g] = s[g]->cross_.frequency;
    weight[g] = s[g]->cross_.weight;
    meanX[g] = s[g]->cross_.meanX;
    meanY[g] = s[g]->cross_.meanY;
    coXX[g] = s[g]->input_.coMoment;
    coXY[g] = s[g]->cross_.coMoment;
    coYY[g] = s[g]->target_.coMoment;
  }
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    const double f = kUnit || frequencies == nullptr ? 1.0 : frequencies[k];
    const double w = kUnit ? 1.0 : f * (analysis != nullptr ? analysis[k] : 1.0);
    for (std::size_t g = 0; g < N; ++g) {
      const ZelBatchColumn& x = *input[g];
      const ZelBatchColumn& y = *target[g];
      if (x.missing[k] != 0 || y.missing[k] != 0) continue;
      if (!x.IsNumber(k) || !y.IsNumber(k)) continue;
      frequency[g] += f;
      weight[g] += w;
      if (weight[g] <= 0.0) continue;
      const double share = PairShare(w, weight[g]);
      const double dx = x.reals[k] - meanX[g];
      const double dy = y.reals[k] - meanY[g];
      if (share != 0.0) {
        coXX[g] = CoMomentStep(coXX[g], dx, dx, share);
        coXY[g] = CoMomentStep(coXY[g], dx, dy, share);
        coYY[g] = CoMomentStep(coYY[g], dy, dy, share);
      }
      meanX[g] = MeanStep<kUnit>(meanX[g], dx, w, weight[g]);
      meanY[g] = MeanStep<kUnit>(meanY[g], dy, w, weight[g]);
    }
  }
  for (std::size_t g = 0; g < N; ++g) {
    ZelBivarContTargetContPredictivePower& p = *s[g];
    for (ZelPairMoments* pair : {&p.input_, &p.cross_, &p.target_}) {
      pair->frequency = frequency[g];
      pair->weight = weight[g];
    }
    p.input_.meanX = p.input_.meanY = p.cross_.meanX = meanX[g];
    p.target_.meanX = p.target_.meanY = p.cross_.meanY = meanY[g];
    p.input_.coMoment = coXX[g];
    p.cross_.coMoment = coXY[g];
    p.target_.coMoment = coYY[g];
  }
}

TorStatus ZelBivarContTargetContPredictivePower::AddBatchSideBySide(
    ZelStatistics* const* statistics, std::size_t count, const ZelBatch& batch) {
  // Without weights, statistics whose pairs share their sums go up to four
  // to a loop; any other goes alone.
  const bool unit = FrequencyWeights(batch) == nullptr && AnalysisWeights(batch) == nullptr;
  std::vector<ZelBivarContTargetContPredictivePower*>& together = together_;
  together.clear();
  TorStatus result;
  for (std::size_t i = 0; i < count; ++i) {
    auto* s = static_cast<ZelBivarContTargetContPredictivePower*>(statistics[i]);
    if (unit && !s->status_.IsError() && s->MomentsShareSums()) {
      together.push_back(s);
    } else {
      const TorStatus status = s->AddBatch(batch);
      if (!result.IsError()) result = status;
    }
  }
  for (std::size_t first = 0; first < together.size(); first += 4) {
    ZelBivarContTargetContPredictivePower* const* s = together.data() + first;
    switch (std::min<std::size_t>(4, together.size() - first)) {
      case 1: AddShared<1, true>(s, batch, nullptr, nullptr); break;
      case 2: AddShared<2, true>(s, batch, nullptr, nullptr); break;
      case 3: AddShared<3, true>(s, batch, nullptr, nullptr); break;
      default: AddShared<4, true>(s, batch, nullptr, nullptr); break;
    }
  }
  return result;
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
