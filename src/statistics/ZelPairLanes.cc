#include "statistics/ZelPairLanes.h"

#include "statistics/ZelFourLanes.h"

using ZelFrame::VectorLevelInUse;
using ZelFrame::ZelVectorLevel;

namespace ZelStatistic {

namespace {

#ifdef ZEL_WIDE_VECTORS

// Fields go four to a vector, NV vectors to a row; lanes past the last field
// repeat it and are never written back. Pair (a, b), b <= a, lives in lane
// b % 4 of co[a][b / 4]: the deviation of a broadcast times the vector of b's
// deviations, so each lane multiplies da * db and then the share, as the
// plain loop does. The chain from one row's means to the next (deviation,
// weighting, division, sum) sets the pace; the co-moments hang off it. With
// every weight 1 the weighting is left out: a deviation times 1 is itself.
template <int NV, bool kUnit>
__attribute__((target("avx2"))) void LockstepAvx2(std::size_t order,
                                                  const double* const* columns,
                                                  std::size_t rows, const double* frequencies,
                                                  const double* weights, ZelLockstepSums* sums) {
  constexpr int kFields = NV * 4;
  const double* cols[kFields];
  alignas(32) double lanes[kFields];
  for (int i = 0; i < kFields; ++i) {
    const std::size_t field = static_cast<std::size_t>(i) < order ? i : order - 1;
    cols[i] = columns[field];
    lanes[i] = sums->means[field];
  }
  __m256d m[NV];
  for (int v = 0; v < NV; ++v) m[v] = _mm256_load_pd(lanes + 4 * v);
  __m256d co[kFields][NV];
  for (int a = 0; a < kFields; ++a) {
    for (int j = 0; j <= a / 4; ++j) {
      for (int l = 0; l < 4; ++l) {
        const std::size_t b = static_cast<std::size_t>(4 * j + l);
        const std::size_t row = static_cast<std::size_t>(a);
        lanes[l] = row < order && b <= row ? sums->coMoments[row * (row + 1) / 2 + b] : 0.0;
      }
      co[a][j] = _mm256_load_pd(lanes);
    }
  }
  double frequency = sums->frequency;
  double weight = sums->weight;
  alignas(32) double d[kFields];
  for (std::size_t k = 0; k < rows; ++k) {
    const double w = weights[k];
    frequency += frequencies != nullptr ? frequencies[k] : 1.0;
    weight += w;
    if (weight <= 0.0) continue;
    const double shareOfRow = w - w * w / weight;
    const __m256d share = _mm256_set1_pd(shareOfRow);
    __m256d dv[NV];
#pragma GCC unroll 4
    for (int v = 0; v < NV; ++v) {
      dv[v] = _mm256_sub_pd(FourLaneRow(cols + 4 * v, k), m[v]);
      _mm256_store_pd(d + 4 * v, dv[v]);
    }
    // As ZelPairMoments: a share of 0 adds nothing.
    if (shareOfRow != 0.0) {
#pragma GCC unroll 16
      for (int a = 0; a < kFields; ++a) {
        const __m256d da = _mm256_broadcast_sd(d + a);
        for (int j = 0; j <= a / 4; ++j) {
          co[a][j] = _mm256_add_pd(co[a][j], _mm256_mul_pd(_mm256_mul_pd(da, dv[j]), share));
        }
      }
    }
    const __m256d total = _mm256_set1_pd(weight);
#pragma GCC unroll 4
    for (int v = 0; v < NV; ++v) {
      const __m256d step = kUnit ? dv[v] : _mm256_mul_pd(dv[v], _mm256_set1_pd(w));
      m[v] = _mm256_add_pd(m[v], _mm256_div_pd(step, total));
    }
  }
  sums->frequency = frequency;
  sums->weight = weight;
  for (int v = 0; v < NV; ++v) _mm256_store_pd(lanes + 4 * v, m[v]);
  for (std::size_t a = 0; a < order; ++a) sums->means[a] = lanes[a];
  for (std::size_t a = 0; a < order; ++a) {
    for (std::size_t j = 0; j <= a / 4; ++j) {
      _mm256_store_pd(lanes, co[a][j]);
      for (std::size_t l = 0; l < 4 && 4 * j + l <= a; ++l) {
        sums->coMoments[a * (a + 1) / 2 + 4 * j + l] = lanes[l];
      }
    }
  }
}

// AVX-512 carries fused multiply-adds, which the compiler may form from a
// product and a sum written with the plain intrinsics. The rounding forms
// (at the current rounding: the plain instructions) are opaque to it, so
// every product and sum rounds apart, as the plain loop rounds them; the
// masked forms with every lane set keep the compiler's headers from reading
// an undefined vector.
constexpr int kRound = _MM_FROUND_CUR_DIRECTION;
__attribute__((target("avx512f"))) inline __m512d Add8(__m512d a, __m512d b) {
  return _mm512_mask_add_round_pd(a, 0xFF, a, b, kRound);
}
__attribute__((target("avx512f"))) inline __m512d Sub8(__m512d a, __m512d b) {
  return _mm512_mask_sub_round_pd(a, 0xFF, a, b, kRound);
}
__attribute__((target("avx512f"))) inline __m512d Mul8(__m512d a, __m512d b) {
  return _mm512_mask_mul_round_pd(a, 0xFF, a, b, kRound);
}
__attribute__((target("avx512f"))) inline __m512d Div8(__m512d a, __m512d b) {
  return _mm512_mask_div_round_pd(a, 0xFF, a, b, kRound);
}

// Up to eight fields in one vector, the same layout as LockstepAvx2 with
// eight lanes: pair (a, b) in lane b of co[a]. Thirty-two registers hold all
// the sums, so nothing goes to memory in the loop.
template <bool kUnit>
__attribute__((target("avx512f"))) void LockstepAvx512(std::size_t order,
                                                      const double* const* columns,
                                                      std::size_t rows, const double* frequencies,
                                                      const double* weights,
                                                      ZelLockstepSums* sums) {
  const double* cols[8];
  alignas(64) double lanes[8];
  for (std::size_t i = 0; i < 8; ++i) {
    const std::size_t field = i < order ? i : order - 1;
    cols[i] = columns[field];
    lanes[i] = sums->means[field];
  }
  __m512d m = _mm512_load_pd(lanes);
  __m512d co[8];
  for (std::size_t a = 0; a < 8; ++a) {
    for (std::size_t b = 0; b < 8; ++b) {
      lanes[b] = a < order && b <= a ? sums->coMoments[a * (a + 1) / 2 + b] : 0.0;
    }
    co[a] = _mm512_load_pd(lanes);
  }
  double frequency = sums->frequency;
  double weight = sums->weight;
  for (std::size_t k = 0; k < rows; ++k) {
    const double w = weights[k];
    frequency += frequencies != nullptr ? frequencies[k] : 1.0;
    weight += w;
    if (weight <= 0.0) continue;
    const double shareOfRow = w - w * w / weight;
    const __m512d share = _mm512_set1_pd(shareOfRow);
    const __m512d x = _mm512_set_pd(cols[7][k], cols[6][k], cols[5][k], cols[4][k], cols[3][k],
                                    cols[2][k], cols[1][k], cols[0][k]);
    const __m512d dv = Sub8(x, m);
    if (shareOfRow != 0.0) {
#pragma GCC unroll 8
      for (int a = 0; a < 8; ++a) {
        const __m512d da = _mm512_mask_permutexvar_pd(dv, 0xFF, _mm512_set1_epi64(a), dv);
        co[a] = Add8(co[a], Mul8(Mul8(da, dv), share));
      }
    }
    const __m512d step = kUnit ? dv : Mul8(dv, _mm512_set1_pd(w));
    m = Add8(m, Div8(step, _mm512_set1_pd(weight)));
  }
  sums->frequency = frequency;
  sums->weight = weight;
  _mm512_store_pd(lanes, m);
  for (std::size_t a = 0; a < order; ++a) sums->means[a] = lanes[a];
  for (std::size_t a = 0; a < order; ++a) {
    _mm512_store_pd(lanes, co[a]);
    for (std::size_t b = 0; b <= a; ++b) sums->coMoments[a * (a + 1) / 2 + b] = lanes[b];
  }
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

__attribute__((target("avx2"))) inline __m256d LoadLanes(const ZelPairMoments* pairs,
                                                         double ZelPairMoments::*member) {
  return _mm256_set_pd(pairs[3].*member, pairs[2].*member, pairs[1].*member, pairs[0].*member);
}

__attribute__((target("avx2"))) inline void StoreLanes(__m256d v, ZelPairMoments* pairs,
                                                       double ZelPairMoments::*member) {
  alignas(32) double lanes[4];
  _mm256_store_pd(lanes, v);
  for (int g = 0; g < 4; ++g) pairs[g].*member = lanes[g];
}

// Lane g runs ZelPairMoments::Add for pair g; a lane whose row does not
// count, or whose weight sum is not positive, keeps its values (the compare
// is true for NaN, as `weight <= 0.0` is false for it).
__attribute__((target("avx2"))) void FourPairsAvx2(ZelPairMoments* pairs,
                                                   const ZelPairColumns* columns,
                                                   std::size_t rows, const double* frequencies,
                                                   const double* weights) {
  __m256d frequency = LoadLanes(pairs, &ZelPairMoments::frequency);
  __m256d weight = LoadLanes(pairs, &ZelPairMoments::weight);
  __m256d meanX = LoadLanes(pairs, &ZelPairMoments::meanX);
  __m256d meanY = LoadLanes(pairs, &ZelPairMoments::meanY);
  __m256d coMoment = LoadLanes(pairs, &ZelPairMoments::coMoment);
  const ZelPairColumns c0 = columns[0], c1 = columns[1], c2 = columns[2], c3 = columns[3];
  const __m256d zero = _mm256_setzero_pd();
  for (std::size_t k = 0; k < rows; ++k) {
    const bool in0 = (c0.xMissing[k] | c0.yMissing[k]) == 0;
    const bool in1 = (c1.xMissing[k] | c1.yMissing[k]) == 0;
    const bool in2 = (c2.xMissing[k] | c2.yMissing[k]) == 0;
    const bool in3 = (c3.xMissing[k] | c3.yMissing[k]) == 0;
    if (!(in0 || in1 || in2 || in3)) continue;
    const __m256d counts = _mm256_castsi256_pd(
        _mm256_set_epi64x(-static_cast<int64_t>(in3), -static_cast<int64_t>(in2),
                          -static_cast<int64_t>(in1), -static_cast<int64_t>(in0)));
    const __m256d f = _mm256_set1_pd(frequencies != nullptr ? frequencies[k] : 1.0);
    const __m256d w = _mm256_set1_pd(weights[k]);
    const __m256d x = _mm256_set_pd(c3.x[k], c2.x[k], c1.x[k], c0.x[k]);
    const __m256d y = _mm256_set_pd(c3.y[k], c2.y[k], c1.y[k], c0.y[k]);
    frequency = _mm256_blendv_pd(frequency, _mm256_add_pd(frequency, f), counts);
    weight = _mm256_blendv_pd(weight, _mm256_add_pd(weight, w), counts);
    const __m256d moves = _mm256_and_pd(counts, _mm256_cmp_pd(weight, zero, _CMP_NLE_UQ));
    const __m256d dx = _mm256_sub_pd(x, meanX);
    const __m256d dy = _mm256_sub_pd(y, meanY);
    const __m256d share = _mm256_sub_pd(w, _mm256_div_pd(_mm256_mul_pd(w, w), weight));
    const __m256d shares = _mm256_and_pd(moves, _mm256_cmp_pd(share, zero, _CMP_NEQ_OQ));
    coMoment = _mm256_blendv_pd(
        coMoment, _mm256_add_pd(coMoment, _mm256_mul_pd(_mm256_mul_pd(dx, dy), share)), shares);
    meanX = _mm256_blendv_pd(
        meanX, _mm256_add_pd(meanX, _mm256_div_pd(_mm256_mul_pd(dx, w), weight)), moves);
    meanY = _mm256_blendv_pd(
        meanY, _mm256_add_pd(meanY, _mm256_div_pd(_mm256_mul_pd(dy, w), weight)), moves);
  }
  StoreLanes(frequency, pairs, &ZelPairMoments::frequency);
  StoreLanes(weight, pairs, &ZelPairMoments::weight);
  StoreLanes(meanX, pairs, &ZelPairMoments::meanX);
  StoreLanes(meanY, pairs, &ZelPairMoments::meanY);
  StoreLanes(coMoment, pairs, &ZelPairMoments::coMoment);
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
