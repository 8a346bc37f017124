#include "statistics/ZelBivarContCont.h"

#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelPairLanes.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

ZelBivarContCont::ZelBivarContCont(const ZelSettings* settings,
                                   const std::vector<int>& fieldIndices)
    : ZelStatistics(settings, kBivariateContCont),
      fields_(fieldIndices),
      pairs_(fieldIndices.size() * (fieldIndices.size() + 1) / 2),
      values_(fieldIndices.size()),
      valid_(fieldIndices.size()) {}

int ZelBivarContCont::FindPosition(int fieldIndex) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i] == fieldIndex) return static_cast<int>(i);
  }
  return -1;
}

TorStatus ZelBivarContCont::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  std::size_t count = 0;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const RawData& value = record[static_cast<std::size_t>(fields_[i])];
    if (value.IsMissing()) {
      lockstep_ = false;
      continue;
    }
    if (value.GetStorage() != TorCommon_1_3::kStorageInteger &&
        value.GetStorage() != TorCommon_1_3::kStorageReal) {
      return Fail(ZelStatusCode::kBadValueType);
    }
    values_[count] = value.GetReal();
    valid_[count++] = i;
  }
  const double f = FrequencyWeight(record);
  const double w = f * AnalysisWeight(record);
  for (std::size_t a = 0; a < count; ++a) {
    for (std::size_t b = 0; b <= a; ++b) Pair(valid_[a], valid_[b]).Add(values_[a], values_[b], f, w);
  }
  return status_;
}

TorStatus ZelBivarContCont::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const std::size_t rows = batch.Rows();
  columns_.clear();
  // Whole columns at once, without an early exit, so that the loop goes a
  // vector of bytes at a time; a bad value stops the batch before any sum moves.
  bool complete = true;
  for (int field : fields_) {
    const ZelBatchColumn& column = batch.Column(field);
    const uint8_t* missing = column.missing.data();
    const uint8_t* storage = column.storage.data();
    uint8_t bad = 0;
    uint8_t gaps = 0;
    for (std::size_t k = 0; k < rows; ++k) {
      const uint8_t kind = storage[k];
      bad |= static_cast<uint8_t>((missing[k] == 0) & (kind != TorCommon_1_3::kStorageInteger) &
                                  (kind != TorCommon_1_3::kStorageReal));
      gaps |= missing[k];
    }
    if (bad != 0) return Fail(ZelStatusCode::kBadValueType);
    complete = complete && gaps == 0;
    columns_.push_back(&column);
  }
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  weights_.resize(rows);
  for (std::size_t k = 0; k < rows; ++k) {
    const double f = frequencies != nullptr ? frequencies[k] : 1.0;
    weights_[k] = f * (analysis != nullptr ? analysis[k] : 1.0);
  }
  if (lockstep_ && !columns_.empty()) {
    if (complete && PairsShareSums()) {
      AddInLockstep(rows, frequencies);
      return status_;
    }
    lockstep_ = false;
  }
  // Pairs in groups, each pair still meeting the rows in order: its sums do
  // not depend on the other pairs, and the pairs of a group are updated
  // side by side, so their chains of divisions overlap.
  const std::size_t order = columns_.size();
  std::size_t a = 0;
  std::size_t b = 0;
  for (;;) {
    std::array<std::size_t, kGroup> as{};
    std::array<std::size_t, kGroup> bs{};
    std::size_t n = 0;
    for (; n < kGroup && a < order; ++n) {
      as[n] = a;
      bs[n] = b;
      if (++b > a) {
        ++a;
        b = 0;
      }
    }
    if (n == 0) break;
    if (n == kGroup) {
      AddGroup(as, bs, rows, frequencies);
    } else {
      for (std::size_t g = 0; g < n; ++g) AddPair(as[g], bs[g], rows, frequencies);
    }
  }
  return status_;
}

bool ZelBivarContCont::PairsShareSums() const {
  // Bitwise, so that a mean shared by all pairs of a field is each pair's
  // own to the last bit (and a NaN matches itself).
  const ZelPairMoments& first = pairs_.front();
  const std::size_t order = fields_.size();
  for (std::size_t a = 0; a < order; ++a) {
    const double mean = pairs_[a * (a + 1) / 2 + a].meanX;
    for (std::size_t b = 0; b <= a; ++b) {
      const ZelPairMoments& pair = pairs_[a * (a + 1) / 2 + b];
      const double meanY = pairs_[b * (b + 1) / 2 + b].meanX;
      if (!SameBits(pair.frequency, first.frequency) || !SameBits(pair.weight, first.weight) ||
          !SameBits(pair.meanX, mean) || !SameBits(pair.meanY, meanY)) {
        return false;
      }
    }
  }
  return true;
}

void ZelBivarContCont::AddInLockstep(std::size_t rows, const double* frequencies) {
  // Every pair has met every row so far: all share the frequency and weight
  // sums, and a pair's means are those of its two fields. Each mean and the
  // weight share of a row are then worked out once instead of once per
  // pair, with the very operations ZelPairMoments::Add does.
  const std::size_t order = columns_.size();
  ZelLockstepSums sums;
  sums.frequency = pairs_.front().frequency;
  sums.weight = pairs_.front().weight;
  means_.resize(order);
  deviations_.resize(order);
  for (std::size_t a = 0; a < order; ++a) means_[a] = Pair(a, a).meanX;
  coMoments_.resize(pairs_.size());
  for (std::size_t p = 0; p < pairs_.size(); ++p) coMoments_[p] = pairs_[p].coMoment;
  sums.means = means_.data();
  sums.coMoments = coMoments_.data();
  reals_.resize(order);
  for (std::size_t a = 0; a < order; ++a) reals_[a] = columns_[a]->reals.data();
  if (!AddLockstepRowsWide(order, reals_.data(), rows, frequencies, weights_.data(), &sums)) {
    for (std::size_t k = 0; k < rows; ++k) {
      const double w = weights_[k];
      sums.frequency += frequencies != nullptr ? frequencies[k] : 1.0;
      sums.weight += w;
      const double weight = sums.weight;
      if (weight <= 0.0) continue;
      const double share = PairShare(w, weight);
      for (std::size_t a = 0; a < order; ++a) deviations_[a] = reals_[a][k] - means_[a];
      double* co = coMoments_.data();
      for (std::size_t a = 0; a < order && share != 0.0; ++a) {
        const double da = deviations_[a];
        for (std::size_t b = 0; b <= a; ++b, ++co) {
          *co = CoMomentStep(*co, da, deviations_[b], share);
        }
      }
      for (std::size_t a = 0; a < order; ++a) {
        means_[a] = MeanStep<false>(means_[a], deviations_[a], w, weight);
      }
    }
  }
  for (std::size_t a = 0; a < order; ++a) {
    for (std::size_t b = 0; b <= a; ++b) {
      ZelPairMoments& pair = Pair(a, b);
      pair.frequency = sums.frequency;
      pair.weight = sums.weight;
      pair.meanX = means_[a];
      pair.meanY = means_[b];
      pair.coMoment = coMoments_[a * (a + 1) / 2 + b];
    }
  }
}

void ZelBivarContCont::AddPair(std::size_t a, std::size_t b, std::size_t rows,
                               const double* frequencies) {
  const ZelBatchColumn& x = *columns_[a];
  const ZelBatchColumn& y = *columns_[b];
  ZelPairMoments& pair = Pair(a, b);
  for (std::size_t k = 0; k < rows; ++k) {
    if ((x.missing[k] | y.missing[k]) != 0) continue;
    pair.Add(x.reals[k], y.reals[k], frequencies != nullptr ? frequencies[k] : 1.0, weights_[k]);
  }
}

void ZelBivarContCont::AddGroup(const std::array<std::size_t, kGroup>& as,
                                const std::array<std::size_t, kGroup>& bs, std::size_t rows,
                                const double* frequencies) {
  std::array<ZelPairMoments, kGroup> pairs;
  std::array<ZelPairColumns, kGroup> lanes;
  std::array<const double*, kGroup> xs{};
  std::array<const double*, kGroup> ys{};
  std::array<const uint8_t*, kGroup> xMissing{};
  std::array<const uint8_t*, kGroup> yMissing{};
  for (std::size_t g = 0; g < kGroup; ++g) {
    pairs[g] = Pair(as[g], bs[g]);
    xs[g] = columns_[as[g]]->reals.data();
    ys[g] = columns_[bs[g]]->reals.data();
    xMissing[g] = columns_[as[g]]->missing.data();
    yMissing[g] = columns_[bs[g]]->missing.data();
    lanes[g] = ZelPairColumns{xs[g], ys[g], xMissing[g], yMissing[g]};
  }
  if (AddFourPairsWide(pairs.data(), lanes.data(), rows, frequencies, weights_.data())) {
    for (std::size_t g = 0; g < kGroup; ++g) Pair(as[g], bs[g]) = pairs[g];
    return;
  }
  for (std::size_t k = 0; k < rows; ++k) {
    const double f = frequencies != nullptr ? frequencies[k] : 1.0;
    const double w = weights_[k];
    for (std::size_t g = 0; g < kGroup; ++g) {
      if ((xMissing[g][k] | yMissing[g][k]) == 0) pairs[g].Add(xs[g][k], ys[g][k], f, w);
    }
  }
  for (std::size_t g = 0; g < kGroup; ++g) Pair(as[g], bs[g]) = pairs[g];
}

TorStatus ZelBivarContCont::Finalize() {
  collected_ = true;
  const int order = static_cast<int>(fields_.size());
  counts_ = TorMath_1_3::TorSymMatrix(order);
  covariances_ = TorMath_1_3::TorSymMatrix(order);
  correlations_ = TorMath_1_3::TorSymMatrix(order);
  for (int i = 0; i < order; ++i) {
    for (int j = 0; j <= i; ++j) {
      const ZelPairMoments& pair = Pair(i, j);
      counts_.SetElem(i, j, pair.frequency);
      covariances_.SetElem(i, j, pair.Covariance());
    }
  }
  // Each variance is taken over the records where its field alone is valid.
  for (int i = 0; i < order; ++i) {
    for (int j = 0; j <= i; ++j) {
      const double product = covariances_.GetElem(i, i) * covariances_.GetElem(j, j);
      const double r = counts_.GetElem(i, j) > 0.0 && product > 0.0
                           ? covariances_.GetElem(i, j) / std::sqrt(product)
                           : 0.0;
      correlations_.SetElem(i, j, r);
    }
  }
  return status_;
}

}  // namespace ZelStatistic
