#include "statistics/ZelContSummary.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "frame/ZelVectorLevel.h"
#include "frame/ZelLanesAvx2.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatchColumn;
using ZelFrame::ZelWideVectors;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::TorStatus;

ZelContSummary::ZelContSummary(bool noMoments, uint64_t distinctLimit)
    : minimum_(std::numeric_limits<double>::max()),
      maximum_(-std::numeric_limits<double>::max()),
      table_(distinctLimit),
      noMoments_(noMoments),
      distinctLimit_(distinctLimit) {}

TorStatus ZelContSummary::Add(const RawData& value, int64_t count, double weight) {
  if (status_.IsError()) return status_;
  if (value.IsMissing()) {
    AddMissing(count);
    return status_;
  }
  switch (value.GetStorage()) {
    case TorCommon_1_3::kStorageInteger:
    case TorCommon_1_3::kStorageReal:
    case TorCommon_1_3::kStorageDate:
    case TorCommon_1_3::kStorageTime:
      AddValue(value.GetReal(), count, weight);
      return status_;
    default:
      status_ = TorStatus(ZelStatusCode::kBadValueType, false);
      return status_;
  }
}

void ZelContSummary::AddMissing(int64_t count) { missingCount_ += count; }

namespace {

bool IsNumeric(int storage) {
  return storage == TorCommon_1_3::kStorageInteger || storage == TorCommon_1_3::kStorageReal ||
         storage == TorCommon_1_3::kStorageDate || storage == TorCommon_1_3::kStorageTime;
}

}  // namespace

// Rows [begin, rows) of `count` summaries side by side, each value through
// AddValue.
void ZelContSummary::AddSideBySide(ZelContSummary* const* summaries,
                                const ZelBatchColumn* const* columns, std::size_t count,
                                std::size_t begin, std::size_t rows, const double* frequencies,
                                const double* analysis) {
  constexpr std::size_t kGroup = 4;
  for (std::size_t first = 0; first < count; first += kGroup) {
    const std::size_t n = std::min(kGroup, count - first);
    ZelContSummary* const* s = summaries + first;
    const ZelBatchColumn* const* c = columns + first;
    for (std::size_t k = begin; k < rows; ++k) {
      const double frequency = frequencies != nullptr ? frequencies[k] : 1.0;
      const auto whole = static_cast<int64_t>(frequency);
      const double weight = frequency * (analysis != nullptr ? analysis[k] : 1.0);
      for (std::size_t g = 0; g < n; ++g) {
        if (s[g]->status_.IsError()) continue;
        if (c[g]->missing[k] != 0) {
          s[g]->missingCount_ += whole;
          continue;
        }
        if (IsNumeric(c[g]->storage[k])) {
          s[g]->AddValue(c[g]->reals[k], whole, weight);
        } else {
          s[g]->status_ = TorStatus(ZelStatusCode::kBadValueType, false);
        }
      }
    }
  }
}

// The unit-weight update of AddValue for N summaries whose tables are full
// and whose shift is set, with their running state held in registers over
// the rows rather than in memory. Stops before a row where one of them
// meets a value that is not a number, and returns that row (or `rows`).
template <std::size_t N>
ZEL_ONE_LANE_KERNEL std::size_t ZelContSummary::AddUnitWeights(ZelContSummary* const* s, const ZelBatchColumn* const* c,
                                        std::size_t rows) {
  int64_t valid[N], missing[N];
  ZelMomentSums<double> sums[N];
  for (std::size_t g = 0; g < N; ++g) {
    valid[g] = s[g]->validCount_;
    missing[g] = s[g]->missingCount_;
    sums[g] = s[g]->MomentSums();
  }
  std::size_t k = 0;
  for (; k < rows; ++k) {
    bool numbers = true;
    for (std::size_t g = 0; g < N; ++g) {
      numbers = numbers && (c[g]->missing[k] != 0 || IsNumeric(c[g]->storage[k]));
    }
    if (!numbers) break;
    for (std::size_t g = 0; g < N; ++g) {
      if (c[g]->missing[k] != 0) {
        ++missing[g];
        continue;
      }
      ++valid[g];
      AddMomentRecord<true>(&sums[g], c[g]->reals[k], 1.0, true);
    }
  }
  for (std::size_t g = 0; g < N; ++g) {
    s[g]->validCount_ = valid[g];
    s[g]->missingCount_ = missing[g];
    s[g]->SetMomentSums(sums[g]);
  }
  return k;
}

#ifdef ZEL_WIDE_VECTORS
// The same update for up to W * V summaries, W to a vector of lane type L
// and all V vectors in one loop, so that their chains of divisions overlap
// instead of each waiting for its own. A lane whose row is missing keeps
// its values, and a lane without a summary of its own runs on the first
// one's and is dropped. Runs over rows [0, end), where every value is
// missing or a number.
template <class L, std::size_t V>
ZEL_LANE_INLINE void ZelContSummary::AddUnitWeightsLanes(ZelContSummary* const* s,
                                                         const ZelBatchColumn* const* c,
                                                         std::size_t n, std::size_t end) {
  using Of = ZelFrame::ZelLaneOf<L>;
  constexpr std::size_t W = Of::kWidth;
  constexpr std::size_t kLanes = W * V;
  const double* x[kLanes];
  const uint8_t* absent[kLanes];
  const ZelContSummary* lane[kLanes];
  for (std::size_t j = 0; j < kLanes; ++j) {
    const std::size_t i = j < n ? j : 0;
    x[j] = c[i]->reals.data();
    absent[j] = c[i]->missing.data();
    lane[j] = s[i];
  }
  // Field by field, lane by lane: the sums as V vectors and back.
  constexpr auto kScalar = ZelMomentSums<double>::Fields();
  constexpr auto kVector = ZelMomentSums<L>::Fields();
  ZelMomentSums<L> sums[V];
  for (std::size_t v = 0; v < V; ++v) {
    for (std::size_t i = 0; i < kScalar.size(); ++i) {
      double in[W];
      for (std::size_t h = 0; h < W; ++h) in[h] = lane[W * v + h]->MomentSums().*kScalar[i];
      sums[v].*kVector[i] = Of::Load(in);
    }
  }
  const L one(1.0);
  for (std::size_t k = 0; k < end; ++k) {
    for (std::size_t v = 0; v < V; ++v) {
      const std::size_t j = W * v;
      AddMomentRecord<true>(&sums[v], Of::Row(x + j, k), one, Of::Present(absent + j, k));
    }
  }
  for (std::size_t v = 0; v < V; ++v) {
    for (std::size_t h = 0; h < W && W * v + h < n; ++h) {
      ZelMomentSums<double> one = s[W * v + h]->MomentSums();
      for (std::size_t i = 0; i < kScalar.size(); ++i) {
        double out[W];
        Of::Store(out, sums[v].*kVector[i]);
        one.*kScalar[i] = out[h];
      }
      s[W * v + h]->SetMomentSums(one);
    }
  }
}

template <std::size_t V>
__attribute__((target("avx2"), flatten)) void ZelContSummary::AddUnitWeightsWide(
    ZelContSummary* const* s, const ZelBatchColumn* const* c, std::size_t n, std::size_t end) {
  AddUnitWeightsLanes<ZelFrame::ZelLanes4, V>(s, c, n, end);
  for (std::size_t i = 0; i < n; ++i) {
    int64_t missing = 0;
    if (c[i]->AnyMissing(end)) {
      for (std::size_t k = 0; k < end; ++k) missing += c[i]->missing[k] != 0 ? 1 : 0;
    }
    s[i]->missingCount_ += missing;
    s[i]->validCount_ += static_cast<int64_t>(end) - missing;
  }
}
#endif

void ZelContSummary::AddColumns(ZelContSummary* const* summaries, const ZelBatchColumn* const* columns,
                             std::size_t count, std::size_t rows, const double* frequencies,
                             const double* analysis) {
  if (frequencies != nullptr || analysis != nullptr) {
    AddSideBySide(summaries, columns, count, 0, rows, frequencies, analysis);
    return;
  }
  // Unit weights: summaries past their table and their first value take the
  // lean update, several side by side; the others, and the rows from a value
  // that is not a number on, the general one.
  std::vector<ZelContSummary*> lean;
  std::vector<const ZelBatchColumn*> leanColumns;
  std::vector<ZelContSummary*> general;
  std::vector<const ZelBatchColumn*> generalColumns;
  for (std::size_t i = 0; i < count; ++i) {
    const ZelContSummary* summary = summaries[i];
    const bool steady = !summary->status_.IsError() && !summary->noMoments_ &&
                        summary->shifted_ && summary->table_.Full();
    (steady ? lean : general).push_back(summaries[i]);
    (steady ? leanColumns : generalColumns).push_back(columns[i]);
  }
  AddSideBySide(general.data(), generalColumns.data(), general.size(), 0, rows, nullptr,
                nullptr);
#ifdef ZEL_WIDE_VECTORS
  // Eight at a time in two vectors of four where the processor has them,
  // over the rows before any value that is not a number; a summary or two
  // alone gain nothing from lanes of their own.
  if (ZelWideVectors() && lean.size() > 2) {
    for (std::size_t i = 0; i < lean.size(); i += 8) {
      const std::size_t n = std::min<std::size_t>(8, lean.size() - i);
      std::size_t done = rows;
      for (std::size_t j = i; j < i + n; ++j) {
        const ZelBatchColumn& column = *leanColumns[j];
        if (column.AllNumbers(done)) continue;
        for (std::size_t k = 0; k < done; ++k) {
          if (column.missing[k] == 0 && !IsNumeric(column.storage[k])) done = k;
        }
      }
      if (n > 4) {
        AddUnitWeightsWide<2>(&lean[i], &leanColumns[i], n, done);
      } else {
        AddUnitWeightsWide<1>(&lean[i], &leanColumns[i], n, done);
      }
      if (done < rows) AddSideBySide(&lean[i], &leanColumns[i], n, done, rows, nullptr, nullptr);
    }
    return;
  }
#endif
  for (std::size_t i = 0; i < lean.size(); i += 2) {
    const std::size_t n = std::min<std::size_t>(2, lean.size() - i);
    const std::size_t done = n == 2 ? AddUnitWeights<2>(&lean[i], &leanColumns[i], rows)
                                    : AddUnitWeights<1>(&lean[i], &leanColumns[i], rows);
    if (done < rows) AddSideBySide(&lean[i], &leanColumns[i], n, done, rows, nullptr, nullptr);
  }
}

TorStatus ZelContSummary::AddColumn(const ZelBatchColumn& column, std::size_t rows,
                                 const double* frequencies, const double* analysis) {
  if (status_.IsError()) return status_;
  for (std::size_t k = 0; k < rows; ++k) {
    const double frequency = frequencies != nullptr ? frequencies[k] : 1.0;
    const auto count = static_cast<int64_t>(frequency);
    if (column.missing[k] != 0) {
      missingCount_ += count;
      continue;
    }
    switch (column.storage[k]) {
      case TorCommon_1_3::kStorageInteger:
      case TorCommon_1_3::kStorageReal:
      case TorCommon_1_3::kStorageDate:
      case TorCommon_1_3::kStorageTime:
        AddValue(column.reals[k], count, frequency * (analysis != nullptr ? analysis[k] : 1.0));
        break;
      default:
        status_ = TorStatus(ZelStatusCode::kBadValueType, false);
        return status_;
    }
  }
  return status_;
}

TorStatus ZelContSummary::Finalize() {
  frequencies_ = table_.Ascending();
  const int64_t n = validCount_;
  if (n > 1) stdDev_ = std::sqrt(m2_ / static_cast<double>(n - 1));
  const double variance = stdDev_ * stdDev_;
  if (n >= 3 && variance >= 1e-19) {
    // In floating point: with frequency weights n may pass 3e9, where the
    // product no longer fits 64 bits.
    const double count = static_cast<double>(n);
    const double divisor = (count - 2.0) * (count - 1.0);
    skewness_ = count * m3_ / (divisor * variance * stdDev_);
    // A value near the largest double overflows the sums of cubes or
    // squares: then there is no skewness to report.
    skewnessValid_ = std::isfinite(skewness_);
  } else {
    skewnessValid_ = false;
  }
  if (HasOverflowed()) return status_;
  if (n > 0) {
    int64_t running = 0;
    for (const auto& entry : frequencies_) {
      running += entry.second;
      if (static_cast<double>(running) / static_cast<double>(n) >= 0.5) {
        median_ = entry.first;
        break;
      }
    }
  }
  if (!frequencies_.empty()) {
    // Ascending walk, replaced only by a strictly larger frequency: ties go
    // to the smallest value.
    auto best = frequencies_.begin();
    for (auto it = frequencies_.begin(); it != frequencies_.end(); ++it) {
      if (it->second > best->second) best = it;
    }
    mode_ = best->first;
  }
  return status_;
}

std::vector<double> ZelContSummary::GetValues() const {
  std::vector<double> values;
  values.reserve(frequencies_.size());
  for (const auto& entry : frequencies_) values.push_back(entry.first);
  return values;
}

int64_t ZelContSummary::GetFrequency(double value) const {
  const auto it = frequencies_.find(value);
  return it != frequencies_.end() ? it->second : 0;
}

void ZelContSummary::SetFrequency(double value, int64_t count) { frequencies_[value] = count; }

void ZelContSummary::CountMissingAsValid() {
  validCount_ += missingCount_;
  missingCount_ = 0;
  skewnessValid_ = validCount_ >= 3 && stdDev_ * stdDev_ >= 1e-19 && std::isfinite(skewness_);
}

void ZelContSummary::ReplaceMissingByMean() {
  const double valid = static_cast<double>(validCount_);
  const double total = static_cast<double>(validCount_ + missingCount_);
  if (validCount_ > 0 && missingCount_ > 0 && total > 1.0) {
    const double c = std::sqrt((valid - 1.0) / (total - 1.0));
    stdDev_ *= c;
    if (c > 0.0 && total > 2.0) {
      skewness_ = (valid - 2.0) * total / ((total - 2.0) * valid) * skewness_ / c;
    }
  }
  CountMissingAsValid();
}

void ZelContSummary::ReplaceMissingByValue(double value) {
  SetFrequency(value, GetFrequency(value) + missingCount_);
  CountMissingAsValid();
}

void ZelContSummary::SetTransformed(double minimum, double maximum, double mean, double stdDev,
                                 double skewness) {
  minimum_ = minimum;
  maximum_ = maximum;
  shift_ = 0.0;
  mean_ = mean;
  stdDev_ = stdDev;
  skewness_ = skewness;
  skewnessValid_ = validCount_ > 2 && stdDev * stdDev >= 1e-19 && std::isfinite(skewness);
}

void ZelContSummary::SetExtremes(double minimum, double maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

}  // namespace ZelStatistic
