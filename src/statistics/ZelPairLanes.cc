#include "statistics/ZelPairLanes.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define ZEL_PAIR_X86 1
#include <immintrin.h>
#endif

namespace ZelStatistic {

namespace {

bool ProcessorHasAvx2() {
#ifdef ZEL_PAIR_X86
  static const bool has = __builtin_cpu_supports("avx2") != 0;
  return has;
#else
  return false;
#endif
}

bool FromEnvironment() {
  const char* chosen = std::getenv("ZEL_PAIR_LANES");
  return ProcessorHasAvx2() && (chosen == nullptr || std::strcmp(chosen, "plain") != 0);
}

std::atomic<bool>& WideInUse() {
  static std::atomic<bool> wide{FromEnvironment()};
  return wide;
}

#ifdef ZEL_PAIR_X86

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
    const __m256d share = _mm256_set1_pd(w - w * w / weight);
    __m256d dv[NV];
#pragma GCC unroll 4
    for (int v = 0; v < NV; ++v) {
      const __m256d x = _mm256_set_pd(cols[4 * v + 3][k], cols[4 * v + 2][k],
                                      cols[4 * v + 1][k], cols[4 * v][k]);
      dv[v] = _mm256_sub_pd(x, m[v]);
      _mm256_store_pd(d + 4 * v, dv[v]);
    }
#pragma GCC unroll 16
    for (int a = 0; a < kFields; ++a) {
      const __m256d da = _mm256_broadcast_sd(d + a);
#pragma GCC unroll 4
      for (int j = 0; j <= a / 4; ++j) {
        co[a][j] = _mm256_add_pd(co[a][j], _mm256_mul_pd(_mm256_mul_pd(da, dv[j]), share));
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

#endif  // ZEL_PAIR_X86

}  // namespace

bool PairLanesWide() { return WideInUse().load(); }

bool SetPairLanesWide(bool wide) {
  WideInUse().store(wide && ProcessorHasAvx2());
  return PairLanesWide();
}

bool AddLockstepRowsWide(std::size_t order, const double* const* columns, std::size_t rows,
                         const double* frequencies, const double* weights,
                         ZelLockstepSums* sums) {
#ifdef ZEL_PAIR_X86
  if (order == 0 || !PairLanesWide()) return false;
  bool unit = true;
  for (std::size_t k = 0; k < rows && unit; ++k) unit = weights[k] == 1.0;
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

}  // namespace ZelStatistic
