#include "statistics/ZelPairLanes.h"

#include "frame/ZelLanesAvx2.h"
#include "frame/ZelLanesAvx512.h"

using ZelFrame::VectorLevelInUse;
using ZelFrame::ZelVectorLevel;

namespace ZelStatistic {

namespace {

#ifdef ZEL_WIDE_VECTORS

using ZelFrame::ZelLaneOf;
using ZelFrame::ZelLanes4;
using ZelFrame::ZelLanes8;

// Fields go W to a vector of lane type L, NV vectors to a row; lanes past
// the last field repeat it and are never written back. Pair (a, b), b <= a,
// lives in lane b % W of co[a][b / W]: the deviation of a broadcast times
// the vector of b's deviations, so each lane runs the steps of
// ZelPairMoments::Add. The chain from one row's means to the next
// (deviation, weighting, division, sum) sets the pace; the co-moments hang
// off it. With every weight 1 the weighting is left out.
template <class L, int NV, bool kUnit>
ZEL_LANE_INLINE void LockstepLanes(std::size_t order, const double* const* columns,
                                   std::size_t rows, const double* frequencies,
                                   const double* weights, ZelLockstepSums* sums) {
  using Of = ZelLaneOf<L>;
  constexpr int W = static_cast<int>(Of::kWidth);
  constexpr int kFields = NV * W;
  const double* cols[kFields];
  double lanes[kFields];
  for (int i = 0; i < kFields; ++i) {
    const std::size_t field = static_cast<std::size_t>(i) < order ? i : order - 1;
    cols[i] = columns[field];
    lanes[i] = sums->means[field];
  }
  L m[NV];
  for (int v = 0; v < NV; ++v) m[v] = Of::Load(lanes + W * v);
  L co[kFields][NV];
  for (int a = 0; a < kFields; ++a) {
    for (int j = 0; j <= a / W; ++j) {
      for (int l = 0; l < W; ++l) {
        const std::size_t b = static_cast<std::size_t>(W * j + l);
        const std::size_t row = static_cast<std::size_t>(a);
        lanes[l] = row < order && b <= row ? sums->coMoments[row * (row + 1) / 2 + b] : 0.0;
      }
      co[a][j] = Of::Load(lanes);
    }
  }
  double frequency = sums->frequency;
  double weight = sums->weight;
  alignas(64) double d[kFields];
  for (std::size_t k = 0; k < rows; ++k) {
    const double w = weights[k];
    frequency += frequencies != nullptr ? frequencies[k] : 1.0;
    weight += w;
    if (weight <= 0.0) continue;
    const double shareOfRow = PairShare(w, weight);
    const L share(shareOfRow);
    L dv[NV];
#pragma GCC unroll 4
    for (int v = 0; v < NV; ++v) {
      dv[v] = Of::Row(cols + W * v, k) - m[v];
      Of::Store(d + W * v, dv[v]);
    }
    if (shareOfRow != 0.0) {
#pragma GCC unroll 16
      for (int a = 0; a < kFields; ++a) {
        const L da(d[a]);
        for (int j = 0; j <= a / W; ++j) co[a][j] = CoMomentStep(co[a][j], da, dv[j], share);
      }
    }
    const L w8(w);
    const L total(weight);
#pragma GCC unroll 4
    for (int v = 0; v < NV; ++v) m[v] = MeanStep<kUnit>(m[v], dv[v], w8, total);
  }
  sums->frequency = frequency;
  sums->weight = weight;
  for (int v = 0; v < NV; ++v) Of::Store(lanes + W * v, m[v]);
  for (std::size_t a = 0; a < order; ++a) sums->means[a] = lanes[a];
  constexpr std::size_t kWidth = Of::kWidth;
  for (std::size_t a = 0; a < order; ++a) {
    for (std::size_t j = 0; j <= a / kWidth; ++j) {
      Of::Store(lanes, co[a][j]);
      for (std::size_t l = 0; l < kWidth && kWidth * j + l <= a; ++l) {
        sums->coMoments[a * (a + 1) / 2 + kWidth * j + l] = lanes[l];
      }
    }
  }
}

template <int NV, bool kUnit>
__attribute__((target("avx2"), flatten)) void LockstepAvx2(std::size_t order,
                                                           const double* const* columns,
                                                           std::size_t rows,
                                                           const double* frequencies,
                                                           const double* weights,
                                                           ZelLockstepSums* sums) {
  LockstepLanes<ZelLanes4, NV, kUnit>(order, columns, rows, frequencies, weights, sums);
}

// Up to eight fields in one vector: thirty-two registers hold all the sums,
// so nothing goes to memory in the loop.
template <bool kUnit>
__attribute__((target("avx512f"), flatten)) void LockstepAvx512(std::size_t order,
                                                               const double* const* columns,
                                                               std::size_t rows,
                                                               const double* frequencies,
                                                               const double* weights,
                                                               ZelLockstepSums* sums) {
  LockstepLanes<ZelLanes8, 1, kUnit>(order, columns, rows, frequencies, weights, sums);
}

template <bool kUnit>
bool LockstepAvx2For(std::size_t order, const double* const* columns, std::size_t rows,
                     const double* frequencies, const double* weights, ZelLockstepSums* sums) {
  switch ((order + 3) / 4) {
    case 1:
      LockstepAvx2<1, kUnit>(order, columns, rows, frequencies, weights, sums);
      return true;
    case 2:
      LockstepAvx2<2, kUnit>(order, columns, rows, frequencies, weights, sums);
      return true;
    case 3:
      LockstepAvx2<3, kUnit>(order, columns, rows, frequencies, weights, sums);
      return true;
    case 4:
      LockstepAvx2<4, kUnit>(order, columns, rows, frequencies, weights, sums);
      return true;
    default:
      return false;
  }
}

// Lane g runs AddPairRecord for pair g, W pairs to a vector of lane type L.
template <class L>
ZEL_LANE_INLINE void PairsLanes(ZelPairMoments* pairs, const ZelPairColumns* columns,
                                std::size_t rows, const double* frequencies,
                                const double* weights) {
  using Of = ZelLaneOf<L>;
  constexpr std::size_t W = Of::kWidth;
  double in[5][W];
  for (std::size_t g = 0; g < W; ++g) {
    in[0][g] = pairs[g].frequency;
    in[1][g] = pairs[g].weight;
    in[2][g] = pairs[g].meanX;
    in[3][g] = pairs[g].meanY;
    in[4][g] = pairs[g].coMoment;
  }
  ZelPairSums<L> s{Of::Load(in[0]), Of::Load(in[1]), Of::Load(in[2]), Of::Load(in[3]),
                   Of::Load(in[4])};
  const double* xs[W];
  const double* ys[W];
  const uint8_t* xMissing[W];
  const uint8_t* yMissing[W];
  for (std::size_t g = 0; g < W; ++g) {
    xs[g] = columns[g].x;
    ys[g] = columns[g].y;
    xMissing[g] = columns[g].xMissing;
    yMissing[g] = columns[g].yMissing;
  }
  for (std::size_t k = 0; k < rows; ++k) {
    const auto counts = Of::Present(xMissing, k) & Of::Present(yMissing, k);
    if (!Of::Any(counts)) continue;
    AddPairRecord(&s, Of::Row(xs, k), Of::Row(ys, k),
                  L(frequencies != nullptr ? frequencies[k] : 1.0), L(weights[k]), counts);
  }
  Of::Store(in[0], s.frequency);
  Of::Store(in[1], s.weight);
  Of::Store(in[2], s.meanX);
  Of::Store(in[3], s.meanY);
  Of::Store(in[4], s.coMoment);
  for (std::size_t g = 0; g < W; ++g) {
    pairs[g].frequency = in[0][g];
    pairs[g].weight = in[1][g];
    pairs[g].meanX = in[2][g];
    pairs[g].meanY = in[3][g];
    pairs[g].coMoment = in[4][g];
  }
}

__attribute__((target("avx2"), flatten)) void FourPairsAvx2(ZelPairMoments* pairs,
                                                            const ZelPairColumns* columns,
                                                            std::size_t rows,
                                                            const double* frequencies,
                                                            const double* weights) {
  PairsLanes<ZelLanes4>(pairs, columns, rows, frequencies, weights);
}

#endif  // ZEL_WIDE_VECTORS

}  // namespace

bool AddLockstepRowsWide(std::size_t order, const double* const* columns, std::size_t rows,
                         const double* frequencies, const double* weights,
                         ZelLockstepSums* sums) {
#ifdef ZEL_WIDE_VECTORS
  const ZelVectorLevel level = VectorLevelInUse();
  if (order == 0 || level == ZelVectorLevel::kPlain) return false;
  bool unit = true;
  for (std::size_t k = 0; k < rows; ++k) unit &= weights[k] == 1.0;
  if (level == ZelVectorLevel::kAvx512 && order <= 8) {
    if (unit) {
      LockstepAvx512<true>(order, columns, rows, frequencies, weights, sums);
    } else {
      LockstepAvx512<false>(order, columns, rows, frequencies, weights, sums);
    }
    return true;
  }
  return unit ? LockstepAvx2For<true>(order, columns, rows, frequencies, weights, sums)
              : LockstepAvx2For<false>(order, columns, rows, frequencies, weights, sums);
#else
  (void)order;
  (void)columns;
  (void)rows;
  (void)frequencies;
  (void)weights;
  (void)sums;
  return false;
#endif
}

bool AddFourPairsWide(ZelPairMoments* pairs, const ZelPairColumns* columns, std::size_t rows,
                      const double* frequencies, const double* weights) {
#ifdef ZEL_WIDE_VECTORS
  if (VectorLevelInUse() == ZelVectorLevel::kPlain) return false;
  FourPairsAvx2(pairs, columns, rows, frequencies, weights);
  return true;
#else
  (void)pairs;
  (void)columns;
  (void)rows;
  (void)frequencies;
  (void)weights;
  return false;
#endif
}

}  // namespace ZelStatistic
