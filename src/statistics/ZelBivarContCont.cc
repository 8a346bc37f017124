#include "statistics/ZelBivarContCont.h"

#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorVariable.h"

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
    if (value.IsMissing()) continue;
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
  for (int field : fields_) {
    const ZelBatchColumn& column = batch.Column(field);
    for (std::size_t k = 0; k < rows; ++k) {
      if (column.missing[k] == 0 && !column.IsNumber(k)) return Fail(ZelStatusCode::kBadValueType);
    }
    columns_.push_back(&column);
  }
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  weights_.resize(rows);
  for (std::size_t k = 0; k < rows; ++k) {
    const double f = frequencies != nullptr ? frequencies[k] : 1.0;
    weights_[k] = f * (analysis != nullptr ? analysis[k] : 1.0);
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
