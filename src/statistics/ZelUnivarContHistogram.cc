#include "statistics/ZelUnivarContHistogram.h"

#include <algorithm>
#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"
#include "statistics/ZelUnivarCont.h"

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

constexpr double kBoundTolerance = 1e-14;

}  // namespace

ZelUnivarContHistogram::ZelUnivarContHistogram(const ZelSettings* settings, uint32_t fieldIndex)
    : ZelStatistics(settings, kUnivarContHistogram), fieldIndex_(fieldIndex) {}

TorStatus ZelUnivarContHistogram::SetUpHistogram(const ZelStatistics& univariate) {
  if (status_.IsError()) return status_;
  const auto* cont = dynamic_cast<const ZelUnivarCont*>(&univariate);
  if (cont == nullptr) return Fail(ZelStatusCode::kInconsistent);
  const ContSummary& summary = cont->GetSummary();
  binCount_ = kBinCount;
  upperBounds_.assign(kBinCount, 0.0);
  counts_.assign(kBinCount, 0);
  means_.assign(kBinCount, 0.0);
  weights_.assign(kBinCount, 0.0);
  const double minimum = summary.GetMinimum();
  const double width = (summary.GetMaximum() - minimum) / static_cast<double>(kBinCount);
  minimum_ = minimum;
  width_ = width;
  for (uint64_t i = 0; i < kBinCount; ++i) {
    upperBounds_[i] = minimum + static_cast<double>(i + 1) * width;
  }
  // The last bin reaches past the maximum so that rounding in the bounds
  // cannot push the largest value out of the histogram.
  upperBounds_.back() = summary.GetMaximum() + 1.0;
  return status_;
}

uint64_t ZelUnivarContHistogram::FindBin(double x) const {
  // The bounds ascend, so the bins x lies beyond form a prefix.
  const auto beyond = [this, x](uint64_t bin) {
    return !(x - upperBounds_[bin] < kBoundTolerance);
  };
  const uint64_t n = upperBounds_.size();
  const double guess = (x - minimum_) / width_;
  if (!(width_ > 0.0) || !std::isfinite(guess)) {
    const auto bin = std::partition_point(upperBounds_.begin(), upperBounds_.end(),
                                          [x](double bound) { return !(x - bound < kBoundTolerance); });
    return static_cast<uint64_t>(bin - upperBounds_.begin());
  }
  // The equal widths place x within a bin or two of its own; the walk
  // settles the bounds' rounding and the tolerance exactly as a search would.
  uint64_t bin = guess <= 0.0 ? 0 : std::min(static_cast<uint64_t>(guess), n - 1);
  while (bin > 0 && !beyond(bin - 1)) --bin;
  while (bin < n && beyond(bin)) ++bin;
  return bin;
}

TorStatus ZelUnivarContHistogram::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  const RawData& value = record[fieldIndex_];
  if (value.IsMissing()) return status_;
  switch (value.GetStorage()) {
    case TorCommon_1_3::kStorageInteger:
    case TorCommon_1_3::kStorageReal:
    case TorCommon_1_3::kStorageDate:
    case TorCommon_1_3::kStorageTime:
    case TorCommon_1_3::kStorageTimestamp:
      break;
    default:
      return Fail(ZelStatusCode::kBadValueType);
  }
  const double x = value.GetReal();
  const uint64_t bin = FindBin(x);
  if (bin >= binCount_) return Fail(ZelStatusCode::kNumericalFailure);
  const double frequency = FrequencyWeight(record);
  const double weight = frequency * AnalysisWeight(record);
  weights_[bin] += weight;
  if (weights_[bin] > 0.0) means_[bin] += (x - means_[bin]) * weight / weights_[bin];
  counts_[bin] += CountIncrement(frequency);
  return status_;
}

TorStatus ZelUnivarContHistogram::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const ZelBatchColumn& column = batch.Column(static_cast<int>(fieldIndex_));
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    if (column.missing[k] != 0) continue;
    switch (column.storage[k]) {
      case TorCommon_1_3::kStorageInteger:
      case TorCommon_1_3::kStorageReal:
      case TorCommon_1_3::kStorageDate:
      case TorCommon_1_3::kStorageTime:
      case TorCommon_1_3::kStorageTimestamp:
        break;
      default:
        return Fail(ZelStatusCode::kBadValueType);
    }
    const double x = column.reals[k];
    const uint64_t bin = FindBin(x);
    if (bin >= binCount_) return Fail(ZelStatusCode::kNumericalFailure);
    const double frequency = frequencies != nullptr ? frequencies[k] : 1.0;
    const double weight = frequency * (analysis != nullptr ? analysis[k] : 1.0);
    weights_[bin] += weight;
    if (weights_[bin] > 0.0) means_[bin] += (x - means_[bin]) * weight / weights_[bin];
    counts_[bin] += CountIncrement(frequency);
  }
  return status_;
}

TorStatus ZelUnivarContHistogram::Finalize() {
  collected_ = true;
  return status_;
}

}  // namespace ZelStatistic
