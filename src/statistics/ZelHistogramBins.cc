#include "statistics/ZelHistogramBins.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZEL_HISTOGRAM_X86 1
#endif

namespace ZelStatistic {

namespace {

// The guess sits a millionth of a bin low, so that a value on a bound (which
// belongs to the bin below) is guessed there despite the rounding of the
// bounds; a value just past a bound is then guessed a bin low and searched.
constexpr double kGuessShift = 0x1p-20;

inline uint32_t GuessOne(double x, double minimum, double inverseWidth, const double* padded,
                         double last) {
  double guess = (x - minimum) * inverseWidth - kGuessShift;
  guess = guess > 0.0 ? guess : 0.0;
  guess = guess < last ? guess : last;
  const uint32_t bin = static_cast<uint32_t>(guess);
  const bool settled = !(x - padded[bin] < kHistogramBoundTolerance) &&
                       x - padded[bin + 1] < kHistogramBoundTolerance;
  return settled ? bin : kNoBin;
}

std::size_t GuessPlain(const double* x, std::size_t n, double minimum, double inverseWidth,
                       const double* padded, double last, uint32_t* bins) {
  std::size_t unsettled = 0;
  for (std::size_t k = 0; k < n; ++k) {
    bins[k] = GuessOne(x[k], minimum, inverseWidth, padded, last);
    unsettled += bins[k] == kNoBin;
  }
  return unsettled;
}

// weight * 1.0 and (x - mean) * 1.0 are exact, so a row of weight 1 needs
// neither multiplication of the weighted update.
inline void AddOne(double x, uint32_t bin, double* weights, double* means, int64_t* counts) {
  weights[bin] += 1.0;
  if (weights[bin] > 0.0) means[bin] += (x - means[bin]) / weights[bin];
  counts[bin] += 1;
}

void AddPlain(const double* x, const uint32_t* bins, std::size_t n, double* weights,
              double* means, int64_t* counts) {
  for (std::size_t k = 0; k < n; ++k) {
    if (bins[k] != kNoBin) AddOne(x[k], bins[k], weights, means, counts);
  }
}

#ifdef ZEL_HISTOGRAM_X86

// Four rows at a time when their bins differ and none is missing: then no
// lane depends on another, and each lane's add, subtraction, division and
// add round as the scalar ones do. Any other group of four goes row by row.
__attribute__((target("avx2"))) void AddAvx2(const double* x, const uint32_t* bins,
                                             std::size_t n, double* weights, double* means,
                                             int64_t* counts) {
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d zero = _mm256_setzero_pd();
  const __m128i none = _mm_set1_epi32(-1);
  std::size_t k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bins + k));
    const __m128i clash =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(b, _mm_shuffle_epi32(b, 0x39)),
                                  _mm_cmpeq_epi32(b, _mm_shuffle_epi32(b, 0x4e))),
                     _mm_cmpeq_epi32(b, none));
    if (_mm_movemask_epi8(clash) != 0) {
      for (std::size_t j = k; j < k + 4; ++j) {
        if (bins[j] != kNoBin) AddOne(x[j], bins[j], weights, means, counts);
      }
      continue;
    }
    // Plain loads, not gathers: a bin's last store forwards to them.
    const uint32_t* bs = bins + k;
    const __m256d w = _mm256_add_pd(
        _mm256_set_pd(weights[bs[3]], weights[bs[2]], weights[bs[1]], weights[bs[0]]), one);
    const __m256d m = _mm256_set_pd(means[bs[3]], means[bs[2]], means[bs[1]], means[bs[0]]);
    const __m256d moved =
        _mm256_add_pd(m, _mm256_div_pd(_mm256_sub_pd(_mm256_loadu_pd(x + k), m), w));
    const __m256d mean = _mm256_blendv_pd(m, moved, _mm256_cmp_pd(w, zero, _CMP_GT_OQ));
    alignas(32) double ws[4];
    alignas(32) double ms[4];
    _mm256_store_pd(ws, w);
    _mm256_store_pd(ms, mean);
    for (int j = 0; j < 4; ++j) {
      weights[bs[j]] = ws[j];
      means[bs[j]] = ms[j];
      counts[bs[j]] += 1;
    }
  }
  AddPlain(x + k, bins + k, n - k, weights, means, counts);
}

// A NaN guess clamps to 0 (max and min return their second operand then);
// the bounds then refuse it, as they refuse every value but a number.
__attribute__((target("avx2"))) std::size_t GuessAvx2(const double* x, std::size_t n,
                                                      double minimum, double inverseWidth,
                                                      const double* padded, double last,
                                                      uint32_t* bins) {
  const __m256d low = _mm256_set1_pd(minimum);
  const __m256d scale = _mm256_set1_pd(inverseWidth);
  const __m256d shift = _mm256_set1_pd(kGuessShift);
  const __m256d zero = _mm256_setzero_pd();
  const __m256d top = _mm256_set1_pd(last);
  const __m256d tolerance = _mm256_set1_pd(kHistogramBoundTolerance);
  std::size_t unsettled = 0;
  std::size_t k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m256d v = _mm256_loadu_pd(x + k);
    __m256d guess = _mm256_sub_pd(_mm256_mul_pd(_mm256_sub_pd(v, low), scale), shift);
    guess = _mm256_min_pd(_mm256_max_pd(guess, zero), top);
    const __m128i bin = _mm256_cvttpd_epi32(guess);
    // A lane's bound below and its own lie side by side: one load each, then
    // regrouped (gathers would take longer).
    alignas(16) uint32_t at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), bin);
    const __m256d even = _mm256_set_m128d(_mm_loadu_pd(padded + at[2]), _mm_loadu_pd(padded + at[0]));
    const __m256d odd = _mm256_set_m128d(_mm_loadu_pd(padded + at[3]), _mm_loadu_pd(padded + at[1]));
    const __m256d below = _mm256_unpacklo_pd(even, odd);
    const __m256d own = _mm256_unpackhi_pd(even, odd);
    const __m256d settled =
        _mm256_and_pd(_mm256_cmp_pd(_mm256_sub_pd(v, below), tolerance, _CMP_NLT_UQ),
                      _mm256_cmp_pd(_mm256_sub_pd(v, own), tolerance, _CMP_LT_OQ));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bins + k), bin);
    const int mask = _mm256_movemask_pd(settled);
    if (mask != 0xf) {
      for (int j = 0; j < 4; ++j) {
        if ((mask & (1 << j)) == 0) {
          bins[k + j] = kNoBin;
          ++unsettled;
        }
      }
    }
  }
  return unsettled + GuessPlain(x + k, n - k, minimum, inverseWidth, padded, last, bins + k);
}

bool Avx2Available() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

#else

bool Avx2Available() { return false; }

#endif  // ZEL_HISTOGRAM_X86

bool FromEnvironment() {
  const char* chosen = std::getenv("ZEL_HISTOGRAM_SIMD");
  return Avx2Available() && !(chosen != nullptr && std::strcmp(chosen, "scalar") == 0);
}

std::atomic<bool>& SimdInUse() {
  static std::atomic<bool> inUse{FromEnvironment()};
  return inUse;
}

}  // namespace

std::size_t GuessBins(const double* x, std::size_t n, double minimum, double inverseWidth,
                      const double* padded, uint32_t last, uint32_t* bins) {
#ifdef ZEL_HISTOGRAM_X86
  if (SimdInUse().load(std::memory_order_relaxed)) {
    return GuessAvx2(x, n, minimum, inverseWidth, padded, static_cast<double>(last), bins);
  }
#endif
  return GuessPlain(x, n, minimum, inverseWidth, padded, static_cast<double>(last), bins);
}

void AddUnweightedToBins(const double* x, const uint32_t* bins, std::size_t n, double* weights,
                         double* means, int64_t* counts) {
#ifdef ZEL_HISTOGRAM_X86
  if (SimdInUse().load(std::memory_order_relaxed)) {
    return AddAvx2(x, bins, n, weights, means, counts);
  }
#endif
  AddPlain(x, bins, n, weights, means, counts);
}

bool HistogramSimdInUse() { return SimdInUse().load(); }

bool SetHistogramSimd(bool on) {
  SimdInUse().store(on && Avx2Available());
  return HistogramSimdInUse();
}

}  // namespace ZelStatistic
