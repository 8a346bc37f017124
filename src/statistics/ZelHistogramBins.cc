#include "statistics/ZelHistogramBins.h"

#include <algorithm>

#include "frame/ZelLanesAvx2.h"
#include "frame/ZelLanesAvx512.h"
#include "frame/ZelVectorLevel.h"

#ifdef ZEL_WIDE_VECTORS
#include <immintrin.h>

using ZelFrame::VectorLevelInUse;
using ZelFrame::ZelVectorLevel;
using ZelFrame::ZelWideVectors;
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

// A row of weight 1 into a bin, over a lane type (frame/ZelLanes.h), one
// bin to a lane: the weight grows by 1 and the mean moves by (x - mean) /
// weight. weight * 1.0 and (x - mean) * 1.0 are exact, so it needs neither
// multiplication of the weighted update.
template <class L>
ZEL_LANE_INLINE void AddToBin(L* weight, L* mean, const L& x) {
  *weight = *weight + L(1.0);
  const auto moves = ZelFrame::Greater(*weight, L(0.0));
  if (ZelFrame::ZelLaneOf<L>::Skip(moves)) return;
  *mean = ZelFrame::Select(moves, *mean + (x - *mean) / *weight, *mean);
}

template <bool kCounts>
inline void AddRows(const ZelBinSums& sums, std::size_t from, std::size_t to) {
  for (std::size_t k = from; k < to; ++k) {
    const uint32_t bin = sums.bins[k];
    if (bin == kNoBin) continue;
    AddToBin(&sums.weights[bin], &sums.means[bin], sums.x[k]);
    if (kCounts) sums.counts[bin] += 1;
  }
}

// AddRows as the histogram's counts ask: updated, or taken from the
// weights at the end.
inline void AddRowsAsCounted(const ZelBinSums& sums, std::size_t from, std::size_t to) {
  if (sums.countsFollow) {
    AddRows<false>(sums, from, to);
  } else {
    AddRows<true>(sums, from, to);
  }
}

std::size_t Longest(const ZelBinSums* sums, std::size_t count) {
  std::size_t longest = 0;
  for (std::size_t h = 0; h < count; ++h) longest = std::max(longest, sums[h].rows);
  return longest;
}

// A bin whose count and weight agree, as they do without weights, keeps
// them agreeing through the rows, each adding 1 to both, while the weight
// stays a whole number below 2^52 (counts and rows below 2^51): the loops
// then leave the counts alone and take them from the weights at the end,
// one store a row less.
constexpr int64_t kExact = int64_t{1} << 51;

bool CountsFollowWeights(const ZelBinSums& sums) {
  if (sums.rows >= static_cast<std::size_t>(kExact)) return false;
  for (std::size_t b = 0; b < sums.binCount; ++b) {
    const int64_t n = sums.counts[b];
    if (n < 0 || n >= kExact || sums.weights[b] != static_cast<double>(n)) return false;
  }
  return true;
}

void CountsFromWeights(const ZelBinSums& sums) {
  for (std::size_t b = 0; b < sums.binCount; ++b) {
    sums.counts[b] = static_cast<int64_t>(sums.weights[b]);
  }
}

// Four rows of each histogram in turn, so that the chains of divisions of
// the rows that share a bin overlap with the other histograms' work.
void AddPlain(ZelBinSums* sums, std::size_t count) {
  for (std::size_t h = 0; h < count; ++h) sums[h].countsFollow = CountsFollowWeights(sums[h]);
  const std::size_t longest = Longest(sums, count);
  for (std::size_t k = 0; k < longest; k += 4) {
    for (std::size_t h = 0; h < count; ++h) {
      AddRowsAsCounted(sums[h], k, std::min(k + 4, sums[h].rows));
    }
  }
  for (std::size_t h = 0; h < count; ++h) {
    if (sums[h].countsFollow) CountsFromWeights(sums[h]);
  }
}

#ifdef ZEL_WIDE_VECTORS

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
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bins + k), bin);
    // A lane's bound below and its own lie side by side: one load each, then
    // regrouped (gathers would take longer).
    const uint32_t* at = bins + k;
    const __m256d even =
        _mm256_set_m128d(_mm_loadu_pd(padded + at[2]), _mm_loadu_pd(padded + at[0]));
    const __m256d odd =
        _mm256_set_m128d(_mm_loadu_pd(padded + at[3]), _mm_loadu_pd(padded + at[1]));
    const __m256d below = _mm256_unpacklo_pd(even, odd);
    const __m256d own = _mm256_unpackhi_pd(even, odd);
    const __m256d settled =
        _mm256_and_pd(_mm256_cmp_pd(_mm256_sub_pd(v, below), tolerance, _CMP_NLT_UQ),
                      _mm256_cmp_pd(_mm256_sub_pd(v, own), tolerance, _CMP_LT_OQ));
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

// One row to each of four distinct bins, lane j to the bin whose weight and
// mean are at weights[j] and means[j], by AddToBin. Plain loads, not
// gathers: a bin's last store forwards to them.
__attribute__((target("avx2"), flatten)) inline void AddToFourBins(__m256d x,
                                                                   double* const* weights,
                                                                   double* const* means) {
  using Of = ZelFrame::ZelLaneOf<ZelFrame::ZelLanes4>;
  ZelFrame::ZelLanes4 w = Of::Row(weights, 0);
  ZelFrame::ZelLanes4 m = Of::Row(means, 0);
  AddToBin(&w, &m, ZelFrame::ZelLanes4(x));
  Of::Scatter(weights, w);
  Of::Scatter(means, m);
}

// Four rows in one vector when their bins differ and none is missing: then
// no lane depends on another, and each lane's add, subtraction, division and
// add round as the scalar ones do. Any other four go row by row.
template <bool kCounts>
__attribute__((target("avx2"))) inline void AddFourAvx2(const ZelBinSums& sums, std::size_t k) {
  const uint32_t* bins = sums.bins + k;
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bins));
  const __m128i clash =
      _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(b, _mm_shuffle_epi32(b, 0x39)),
                                _mm_cmpeq_epi32(b, _mm_shuffle_epi32(b, 0x4e))),
                   _mm_cmpeq_epi32(b, _mm_set1_epi32(-1)));
  if (_mm_movemask_epi8(clash) != 0) return AddRows<kCounts>(sums, k, k + 4);
  double* const weights[4] = {sums.weights + bins[0], sums.weights + bins[1],
                              sums.weights + bins[2], sums.weights + bins[3]};
  double* const means[4] = {sums.means + bins[0], sums.means + bins[1], sums.means + bins[2],
                            sums.means + bins[3]};
  AddToFourBins(_mm256_loadu_pd(sums.x + k), weights, means);
  if (kCounts) {
    for (int j = 0; j < 4; ++j) sums.counts[bins[j]] += 1;
  }
}

// CountsFollowWeights and CountsFromWeights four bins at a time: a whole
// number n below 2^52 and the double 2^52 + n share their low 52 bits.
__attribute__((target("avx2"))) bool CountsFollowWeightsAvx2(const ZelBinSums& sums) {
  if (sums.rows >= static_cast<std::size_t>(kExact)) return false;
  const __m256d magic = _mm256_set1_pd(0x1p52);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i largest = _mm256_set1_epi64x(kExact - 1);
  __m256i bad = zero;
  std::size_t b = 0;
  for (; b + 4 <= sums.binCount; b += 4) {
    const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums.counts + b));
    bad = _mm256_or_si256(bad, _mm256_cmpgt_epi64(zero, n));
    bad = _mm256_or_si256(bad, _mm256_cmpgt_epi64(n, largest));
    const __m256d asDouble = _mm256_sub_pd(
        _mm256_castsi256_pd(_mm256_or_si256(n, _mm256_castpd_si256(magic))), magic);
    const __m256d w = _mm256_loadu_pd(sums.weights + b);
    bad = _mm256_or_si256(bad, _mm256_castpd_si256(_mm256_cmp_pd(w, asDouble, _CMP_NEQ_UQ)));
  }
  if (!_mm256_testz_si256(bad, bad)) return false;
  for (; b < sums.binCount; ++b) {
    const int64_t n = sums.counts[b];
    if (n < 0 || n >= kExact || sums.weights[b] != static_cast<double>(n)) return false;
  }
  return true;
}

__attribute__((target("avx2"))) void CountsFromWeightsAvx2(const ZelBinSums& sums) {
  const __m256d magic = _mm256_set1_pd(0x1p52);
  std::size_t b = 0;
  for (; b + 4 <= sums.binCount; b += 4) {
    const __m256i bits =
        _mm256_castpd_si256(_mm256_add_pd(_mm256_loadu_pd(sums.weights + b), magic));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums.counts + b),
                        _mm256_sub_epi64(bits, _mm256_castpd_si256(magic)));
  }
  for (; b < sums.binCount; ++b) sums.counts[b] = static_cast<int64_t>(sums.weights[b]);
}

// Four histograms in the lanes of one vector, row by row: lanes of different
// histograms never share a bin. A row missing in any of them goes lane by
// lane.
__attribute__((target("avx2"))) void AddQuadAvx2(const ZelBinSums* quad) {
  std::size_t common = quad[0].rows;
  for (int j = 1; j < 4; ++j) common = std::min(common, quad[j].rows);
  const ZelBinSums& s0 = quad[0];
  const ZelBinSums& s1 = quad[1];
  const ZelBinSums& s2 = quad[2];
  const ZelBinSums& s3 = quad[3];
  const bool counts = !(s0.countsFollow && s1.countsFollow && s2.countsFollow && s3.countsFollow);
  // The arrays in locals: the vector stores may alias anything, so fields
  // read through `quad` would be read again after each.
  const uint32_t *const bins0 = s0.bins, *const bins1 = s1.bins;
  const uint32_t *const bins2 = s2.bins, *const bins3 = s3.bins;
  const double *const x0 = s0.x, *const x1 = s1.x, *const x2 = s2.x, *const x3 = s3.x;
  double *const w0 = s0.weights, *const w1 = s1.weights;
  double *const w2 = s2.weights, *const w3 = s3.weights;
  double *const m0 = s0.means, *const m1 = s1.means, *const m2 = s2.means, *const m3 = s3.means;
  for (std::size_t k = 0; k < common; ++k) {
    const uint32_t b0 = bins0[k];
    const uint32_t b1 = bins1[k];
    const uint32_t b2 = bins2[k];
    const uint32_t b3 = bins3[k];
    if ((b0 == kNoBin) | (b1 == kNoBin) | (b2 == kNoBin) | (b3 == kNoBin) | counts) {
      for (int j = 0; j < 4; ++j) AddRowsAsCounted(quad[j], k, k + 1);
      continue;
    }
    double* const weights[4] = {w0 + b0, w1 + b1, w2 + b2, w3 + b3};
    double* const means[4] = {m0 + b0, m1 + b1, m2 + b2, m3 + b3};
    AddToFourBins(_mm256_set_pd(x3[k], x2[k], x1[k], x0[k]), weights, means);
  }
  for (int j = 0; j < 4; ++j) AddRowsAsCounted(quad[j], common, quad[j].rows);
}

__attribute__((target("avx2"))) void AddAvx2(ZelBinSums* sums, std::size_t count) {
  for (std::size_t h = 0; h < count; ++h) sums[h].countsFollow = CountsFollowWeightsAvx2(sums[h]);
  std::size_t first = 0;
  for (; first + 4 <= count; first += 4) AddQuadAvx2(sums + first);
  const std::size_t longest = Longest(sums + first, count - first);
  for (std::size_t k = 0; k < longest; k += 4) {
    for (std::size_t h = first; h < count; ++h) {
      const ZelBinSums& one = sums[h];
      if (k + 4 <= one.rows) {
        if (one.countsFollow) {
          AddFourAvx2<false>(one, k);
        } else {
          AddFourAvx2<true>(one, k);
        }
      } else if (k < one.rows) {
        AddRowsAsCounted(one, k, one.rows);
      }
    }
  }
  for (std::size_t h = 0; h < count; ++h) {
    if (sums[h].countsFollow) CountsFromWeightsAvx2(sums[h]);
  }
}

// GuessAvx2 eight at a time: the bound pairs regrouped by two permutes.
// Masked forms with every lane stand for the unmasked ones, whose unset
// source draws a compiler warning.
__attribute__((target("avx512f"))) std::size_t GuessAvx512(const double* x, std::size_t n,
                                                          double minimum, double inverseWidth,
                                                          const double* padded, double last,
                                                          uint32_t* bins) {
  const __m512d low = _mm512_set1_pd(minimum);
  const __m512d scale = _mm512_set1_pd(inverseWidth);
  const __m512d shift = _mm512_set1_pd(kGuessShift);
  const __m512d zero = _mm512_setzero_pd();
  const __m512d top = _mm512_set1_pd(last);
  const __m512d tolerance = _mm512_set1_pd(kHistogramBoundTolerance);
  const __m512i evens = _mm512_set_epi64(14, 12, 10, 8, 6, 4, 2, 0);
  const __m512i odds = _mm512_set_epi64(15, 13, 11, 9, 7, 5, 3, 1);
  std::size_t unsettled = 0;
  std::size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    const __m512d v = _mm512_loadu_pd(x + k);
    // Rounded apart, as GuessAvx2 and GuessOne round it: a fused form could
    // guess a bin off by one where they do not, and cost a search.
    using ZelFrame::ZelLanes8;
    __m512d guess =
        ((ZelLanes8(v) - ZelLanes8(low)) * ZelLanes8(scale) - ZelLanes8(shift)).v;
    guess = _mm512_maskz_min_pd(0xff, _mm512_maskz_max_pd(0xff, guess, zero), top);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(bins + k),
                        _mm512_maskz_cvttpd_epi32(0xff, guess));
    const uint32_t* at = bins + k;
    __m256d pairs[4];
    for (int j = 0; j < 4; ++j) {
      pairs[j] = _mm256_set_m128d(_mm_loadu_pd(padded + at[2 * j + 1]),
                                  _mm_loadu_pd(padded + at[2 * j]));
    }
    const __m512d first =
        _mm512_maskz_insertf64x4(0xff, _mm512_castpd256_pd512(pairs[0]), pairs[1], 1);
    const __m512d second =
        _mm512_maskz_insertf64x4(0xff, _mm512_castpd256_pd512(pairs[2]), pairs[3], 1);
    const __m512d below = _mm512_permutex2var_pd(first, evens, second);
    const __m512d own = _mm512_permutex2var_pd(first, odds, second);
    const __mmask8 settled =
        _mm512_cmp_pd_mask(_mm512_sub_pd(v, below), tolerance, _CMP_NLT_UQ) &
        _mm512_cmp_pd_mask(_mm512_sub_pd(v, own), tolerance, _CMP_LT_OQ);
    if (settled != 0xff) {
      for (int j = 0; j < 8; ++j) {
        if ((settled & (1u << j)) == 0) {
          bins[k + j] = kNoBin;
          ++unsettled;
        }
      }
    }
  }
  return unsettled + GuessAvx2(x + k, n - k, minimum, inverseWidth, padded, last, bins + k);
}

// The guesses go eight to a vector where AVX-512 may be used.
bool WideGuesses() { return VectorLevelInUse() == ZelVectorLevel::kAvx512; }

#endif  // ZEL_WIDE_VECTORS

}  // namespace

std::size_t GuessBins(const double* x, std::size_t n, double minimum, double inverseWidth,
                      const double* padded, uint32_t last, uint32_t* bins) {
#ifdef ZEL_WIDE_VECTORS
  if (ZelWideVectors()) {
    if (WideGuesses()) {
      return GuessAvx512(x, n, minimum, inverseWidth, padded, static_cast<double>(last), bins);
    }
    return GuessAvx2(x, n, minimum, inverseWidth, padded, static_cast<double>(last), bins);
  }
#endif
  return GuessPlain(x, n, minimum, inverseWidth, padded, static_cast<double>(last), bins);
}

void AddUnweightedToBins(ZelBinSums* sums, std::size_t count) {
#ifdef ZEL_WIDE_VECTORS
  if (ZelWideVectors()) return AddAvx2(sums, count);
#endif
  AddPlain(sums, count);
}

}  // namespace ZelStatistic
