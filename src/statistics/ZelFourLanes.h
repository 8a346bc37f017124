// ZelFourLanes: how the statistics' 256-bit loops read a row of four
// columns at once: their values in the lanes of one vector, lane j from
// column j, and the mask of the lanes whose row has a value (missing flag 0).
#ifndef ZELCRAFT_STATISTICS_ZELFOURLANES_H_
#define ZELCRAFT_STATISTICS_ZELFOURLANES_H_

#include <cstddef>
#include <cstdint>

#include "frame/ZelVectorLevel.h"

#ifdef ZEL_WIDE_VECTORS
#include <immintrin.h>

namespace ZelStatistic {

__attribute__((target("avx2"))) inline __m256d FourLaneRow(const double* const* columns,
                                                           std::size_t k) {
  return _mm256_set_pd(columns[3][k], columns[2][k], columns[1][k], columns[0][k]);
}

__attribute__((target("avx2"))) inline __m256d FourLanesPresent(const uint8_t* const* missing,
                                                                std::size_t k) {
  return _mm256_castsi256_pd(_mm256_cmpeq_epi64(
      _mm256_set_epi64x(missing[3][k], missing[2][k], missing[1][k], missing[0][k]),
      _mm256_setzero_si256()));
}

}  // namespace ZelStatistic

#endif  // ZEL_WIDE_VECTORS

#endif  // ZELCRAFT_STATISTICS_ZELFOURLANES_H_
