#include "statistics/ZelBivarCatTargetContPredictivePower.h"

#include <algorithm>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarCont.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

constexpr double kBoundTolerance = 1e-14;

}  // namespace

ZelBivarCatTargetContPredictivePower::ZelBivarCatTargetContPredictivePower(
    const ZelSettings* settings, uint32_t inputIndex, uint32_t targetIndex)
    : ZelStatistics(settings, kBivariateCatTargetContPredictivePower),
      inputIndex_(inputIndex),
      targetIndex_(targetIndex) {}

TorStatus ZelBivarCatTargetContPredictivePower::InitCategories(const ZelStatistics* input,
                                                               const ZelStatistics* target) {
  const auto* cont = dynamic_cast<const ZelUnivarCont*>(input);
  if (cont == nullptr) return Fail(ZelStatusCode::kInconsistent);
  const TorStatus listed = targets_.InitFrom(target);
  if (listed.IsError()) return Fail(listed.GetCode());
  const int bins = targets_.Count();
  const double minimum = cont->GetSummary().GetMinimum();
  const double maximum = cont->GetSummary().GetMaximum();
  const double width = bins > 0 ? (maximum - minimum) / bins : 0.0;
  bounds_.assign(static_cast<std::size_t>(bins), 0.0);
  double bound = minimum;
  for (double& b : bounds_) {
    bound += width;
    b = bound;
  }
  // Past the maximum, so that rounding in the bounds keeps every value in.
  if (!bounds_.empty()) bounds_.back() = maximum + 1.0;
  table_.Resize(bins, bins);
  return status_;
}

int ZelBivarCatTargetContPredictivePower::FindBin(double x) const {
  const auto bin = std::partition_point(bounds_.begin(), bounds_.end(), [x](double bound) {
    return !(x - bound < kBoundTolerance);
  });
  return bin == bounds_.end() ? -1 : static_cast<int>(bin - bounds_.begin());
}

TorStatus ZelBivarCatTargetContPredictivePower::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  const RawData& input = record[inputIndex_];
  const RawData& target = record[targetIndex_];
  if (input.IsMissing() || target.IsMissing()) return status_;
  int bin = -1;
  switch (input.GetStorage()) {
    case TorCommon_1_3::kStorageInteger:
    case TorCommon_1_3::kStorageReal:
    case TorCommon_1_3::kStorageDate:
    case TorCommon_1_3::kStorageTime:
    case TorCommon_1_3::kStorageTimestamp:
      bin = FindBin(input.GetReal());
      break;
    default:
      break;
  }
  if (bin < 0) return Fail(ZelStatusCode::kNumericalFailure);
  const int category = targets_.GetCategoryIndex(target);
  if (category < 0) return status_;
  const double f = FrequencyWeight(record);
  table_.Add(bin, category, f, f * AnalysisWeight(record));
  total_ += f;
  return status_;
}

TorStatus ZelBivarCatTargetContPredictivePower::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const ZelBatchColumn& input = batch.Column(static_cast<int>(inputIndex_));
  const ZelBatchColumn& target = batch.Column(static_cast<int>(targetIndex_));
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  memo_.Clear();
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    if (input.missing[k] != 0 || target.missing[k] != 0) continue;
    int bin = -1;
    switch (input.storage[k]) {
      case TorCommon_1_3::kStorageInteger:
      case TorCommon_1_3::kStorageReal:
      case TorCommon_1_3::kStorageDate:
      case TorCommon_1_3::kStorageTime:
      case TorCommon_1_3::kStorageTimestamp:
        bin = FindBin(input.reals[k]);
        break;
      default:
        break;
    }
    if (bin < 0) return Fail(ZelStatusCode::kNumericalFailure);
    const int category = targets_.GetCategoryIndex(target, k, &memo_);
    if (category < 0) continue;
    const double f = frequencies != nullptr ? frequencies[k] : 1.0;
    table_.Add(bin, category, f, f * (analysis != nullptr ? analysis[k] : 1.0));
    total_ += f;
  }
  return status_;
}

TorStatus ZelBivarCatTargetContPredictivePower::Finalize() {
  collected_ = true;
  return status_;
}

}  // namespace ZelStatistic
