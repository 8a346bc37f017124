#include "statistics/ZelUnivarContHistogram.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelHistogramBins.h"
#include "torcommon13r/TorVariable.h"
#include "statistics/ZelUnivarCont.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

constexpr double kBoundTolerance = kHistogramBoundTolerance;

// Integer, real, date, time and timestamp values have a position on the line.
inline bool IsContinuousStorage(uint8_t storage) {
  constexpr unsigned kContinuous = (1u << TorCommon_1_3::kStorageInteger) |
                                   (1u << TorCommon_1_3::kStorageReal) |
                                   (1u << TorCommon_1_3::kStorageDate) |
                                   (1u << TorCommon_1_3::kStorageTime) |
                                   (1u << TorCommon_1_3::kStorageTimestamp);
  return storage < 32 && ((kContinuous >> storage) & 1u) != 0;
}

}  // namespace

ZelUnivarContHistogram::ZelUnivarContHistogram(const ZelSettings* settings, uint32_t fieldIndex)
    : ZelStatistics(settings, kUnivarContHistogram), fieldIndex_(fieldIndex) {}

TorStatus ZelUnivarContHistogram::SetUpHistogram(const ZelStatistics& univariate) {
  if (status_.IsError()) return status_;
  const auto* cont = dynamic_cast<const ZelUnivarCont*>(&univariate);
  if (cont == nullptr) return Fail(ZelStatusCode::kInconsistent);
  const ZelContSummary& summary = cont->GetSummary();
  binCount_ = kBinCount;
  upperBounds_.assign(kBinCount, 0.0);
  counts_.assign(kBinCount, 0);
  means_.assign(kBinCount, 0.0);
  weights_.assign(kBinCount, 0.0);
  const double minimum = summary.GetMinimum();
  const double width = (summary.GetMaximum() - minimum) / static_cast<double>(kBinCount);
  minimum_ = minimum;
  width_ = width;
  inverseWidth_ = 1.0 / width;
  for (uint64_t i = 0; i < kBinCount; ++i) {
    upperBounds_[i] = minimum + static_cast<double>(i + 1) * width;
  }
  // The last bin reaches past the maximum so that rounding in the bounds
  // cannot push the largest value out of the histogram.
  upperBounds_.back() = summary.GetMaximum() + 1.0;
  paddedBounds_.assign(1, -std::numeric_limits<double>::infinity());
  paddedBounds_.insert(paddedBounds_.end(), upperBounds_.begin(), upperBounds_.end());
  return status_;
}

uint64_t ZelUnivarContHistogram::FindBin(double x) const {
  // The bounds ascend, so the bins x lies beyond form a prefix.
  const auto beyond = [this, x](uint64_t bin) {
    return !(x - upperBounds_[bin] < kBoundTolerance);
  };
  const uint64_t n = upperBounds_.size();
  const double guess = (x - minimum_) * inverseWidth_;
  if (!(width_ > 0.0) || !std::isfinite(guess)) {
    const auto bin = std::partition_point(upperBounds_.begin(), upperBounds_.end(),
                                          [x](double bound) { return !(x - bound < kBoundTolerance); });
    return static_cast<uint64_t>(bin - upperBounds_.begin());
  }
  // The equal widths place x within a bin or two of its own. The walk
  // settles the bounds' rounding and the tolerance exactly as a search
  // would, from wherever it starts: the first loop leaves `bin` past every
  // bin x lies beyond, the second stops at the first bin it does not. So
  // the guess only decides how far the walk goes, and a product by the
  // inverse width (a rounding away from the quotient) or GuessBins' guess a
  // millionth of a bin low places every value in the same bin.
  // Clamped as a double: a guess past 2^64 has no whole number to become.
  const double last = static_cast<double>(n - 1);
  uint64_t bin = guess <= 0.0 ? 0 : guess >= last ? n - 1 : static_cast<uint64_t>(guess);
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

std::size_t ZelUnivarContHistogram::PlaceBatch(const ZelBatch& batch, int* failure) {
  const ZelBatchColumn& column = batch.Column(static_cast<int>(fieldIndex_));
  const std::size_t rows = batch.Rows();
  // The bins depend on the bounds alone: all of them first, up to the first
  // value that fails; the sums then take the rows before it in order.
  std::size_t end = rows;
  bool missing = false;
  // Eight rows at a time while they are all present reals or all present
  // integers, the usual columns.
  std::size_t k = 0;
  constexpr uint64_t kReals = 0x0101010101010101ULL * TorCommon_1_3::kStorageReal;
  constexpr uint64_t kIntegers = 0x0101010101010101ULL * TorCommon_1_3::kStorageInteger;
  for (; k + 8 <= rows; k += 8) {
    uint64_t absent;
    uint64_t storage;
    std::memcpy(&absent, column.missing.data() + k, sizeof absent);
    std::memcpy(&storage, column.storage.data() + k, sizeof storage);
    if (absent != 0 || (storage != kReals && storage != kIntegers)) break;
  }
  for (; k < rows; ++k) {
    missing |= column.missing[k] != 0;
    if (column.missing[k] == 0 && !IsContinuousStorage(column.storage[k])) {
      end = k;
      break;
    }
  }
  *failure = end < rows ? ZelStatusCode::kBadValueType : 0;
  bins_.resize(rows);
  const double* x = column.reals.data();
  std::size_t unsettled = end;
  if (width_ > 0.0 && !missing) {
    unsettled = GuessBins(x, end, minimum_, inverseWidth_, paddedBounds_.data(),
                          static_cast<uint32_t>(binCount_ - 1), bins_.data());
  } else {
    std::fill(bins_.begin(), bins_.begin() + static_cast<std::ptrdiff_t>(end), kNoBin);
  }
  for (std::size_t row = 0; row < end && unsettled > 0; ++row) {
    if (bins_[row] != kNoBin || column.missing[row] != 0) continue;
    --unsettled;
    const uint64_t bin = FindBin(x[row]);
    if (bin >= binCount_) {
      *failure = ZelStatusCode::kNumericalFailure;
      return row;
    }
    bins_[row] = static_cast<uint32_t>(bin);
  }
  return end;
}

TorStatus ZelUnivarContHistogram::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  if (frequencies == nullptr && analysis == nullptr) {
    ZelStatistics* self = this;
    return AddBatchSideBySide(&self, 1, batch);
  }
  int failure = 0;
  const std::size_t end = PlaceBatch(batch, &failure);
  const double* x = batch.Column(static_cast<int>(fieldIndex_)).reals.data();
  for (std::size_t k = 0; k < end; ++k) {
    const uint32_t bin = bins_[k];
    if (bin == kNoBin) continue;
    const double frequency = frequencies != nullptr ? frequencies[k] : 1.0;
    const double weight = frequency * (analysis != nullptr ? analysis[k] : 1.0);
    weights_[bin] += weight;
    if (weights_[bin] > 0.0) means_[bin] += (x[k] - means_[bin]) * weight / weights_[bin];
    counts_[bin] += CountIncrement(frequency);
  }
  if (failure != 0) return Fail(failure);
  return status_;
}

TorStatus ZelUnivarContHistogram::AddBatchSideBySide(ZelStatistics* const* statistics,
                                                     std::size_t count, const ZelBatch& batch) {
  if (FrequencyWeights(batch) != nullptr || AnalysisWeights(batch) != nullptr) {
    return ZelStatistics::AddBatchSideBySide(statistics, count, batch);
  }
  sums_.clear();
  failures_.assign(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    auto* histogram = static_cast<ZelUnivarContHistogram*>(statistics[i]);
    if (histogram->status_.IsError()) continue;
    const std::size_t end = histogram->PlaceBatch(batch, &failures_[i]);
    sums_.push_back({batch.Column(static_cast<int>(histogram->fieldIndex_)).reals.data(),
                     histogram->bins_.data(), end, histogram->binCount_,
                     histogram->weights_.data(), histogram->means_.data(),
                     histogram->counts_.data(), false});
  }
  AddUnweightedToBins(sums_.data(), sums_.size());
  TorStatus result;
  for (std::size_t i = 0; i < count; ++i) {
    auto* histogram = static_cast<ZelUnivarContHistogram*>(statistics[i]);
    if (failures_[i] != 0) histogram->Fail(failures_[i]);
    if (!result.IsError() && histogram->status_.IsError()) result = histogram->status_;
  }
  return result;
}

TorStatus ZelUnivarContHistogram::Finalize() {
  collected_ = true;
  return status_;
}

}  // namespace ZelStatistic
