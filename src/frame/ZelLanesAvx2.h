// ZelLanesAvx2: ZelLanes4, four doubles to a 256-bit vector, the AVX2 lane
// type of ZelLanes.h. AVX2 code carries no fused multiply-add (that takes
// the FMA extension, which no kernel asks for), so a product and a sum
// written apart stay apart. Its functions run on a processor with AVX2
// only: call them from a kernel with target("avx2").
#ifndef ZELCRAFT_FRAME_ZELLANESAVX2_H_
#define ZELCRAFT_FRAME_ZELLANESAVX2_H_

#include "frame/ZelLanes.h"
#include "frame/ZelVectorLevel.h"

#ifdef ZEL_WIDE_VECTORS
#include <immintrin.h>

#define ZEL_AVX2 __attribute__((target("avx2")))

namespace ZelFrame {

struct ZelLanes4 {
  __m256d v;
  ZEL_AVX2 ZelLanes4() : v(_mm256_setzero_pd()) {}
  ZEL_AVX2 explicit ZelLanes4(__m256d value) : v(value) {}
  ZEL_AVX2 explicit ZelLanes4(double x) : v(_mm256_set1_pd(x)) {}
};

struct ZelMask4 {
  __m256d m;
};

ZEL_AVX2 inline ZelLanes4 operator+(const ZelLanes4& a, const ZelLanes4& b) {
  return ZelLanes4(_mm256_add_pd(a.v, b.v));
}
ZEL_AVX2 inline ZelLanes4 operator-(const ZelLanes4& a, const ZelLanes4& b) {
  return ZelLanes4(_mm256_sub_pd(a.v, b.v));
}
ZEL_AVX2 inline ZelLanes4 operator*(const ZelLanes4& a, const ZelLanes4& b) {
  return ZelLanes4(_mm256_mul_pd(a.v, b.v));
}
ZEL_AVX2 inline ZelLanes4 operator/(const ZelLanes4& a, const ZelLanes4& b) {
  return ZelLanes4(_mm256_div_pd(a.v, b.v));
}
ZEL_AVX2 inline ZelLanes4 Min(const ZelLanes4& x, const ZelLanes4& m) {
  return ZelLanes4(_mm256_min_pd(x.v, m.v));
}
ZEL_AVX2 inline ZelLanes4 Max(const ZelLanes4& x, const ZelLanes4& m) {
  return ZelLanes4(_mm256_max_pd(x.v, m.v));
}
ZEL_AVX2 inline ZelMask4 Greater(const ZelLanes4& a, const ZelLanes4& b) {
  return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)};
}
ZEL_AVX2 inline ZelMask4 Less(const ZelLanes4& a, const ZelLanes4& b) {
  return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)};
}
ZEL_AVX2 inline ZelMask4 NotEqual(const ZelLanes4& a, const ZelLanes4& b) {
  return {_mm256_cmp_pd(a.v, b.v, _CMP_NEQ_UQ)};
}
ZEL_AVX2 inline ZelMask4 NotLessEqual(const ZelLanes4& a, const ZelLanes4& b) {
  return {_mm256_cmp_pd(a.v, b.v, _CMP_NLE_UQ)};
}
ZEL_AVX2 inline ZelMask4 operator&(const ZelMask4& a, const ZelMask4& b) {
  return {_mm256_and_pd(a.m, b.m)};
}
ZEL_AVX2 inline ZelMask4 operator|(const ZelMask4& a, const ZelMask4& b) {
  return {_mm256_or_pd(a.m, b.m)};
}
ZEL_AVX2 inline ZelLanes4 Select(const ZelMask4& mask, const ZelLanes4& yes,
                                 const ZelLanes4& no) {
  return ZelLanes4(_mm256_blendv_pd(no.v, yes.v, mask.m));
}

template <>
struct ZelLaneOf<ZelLanes4> {
  using Mask = ZelMask4;
  static constexpr std::size_t kWidth = 4;
  ZEL_AVX2 static ZelLanes4 Load(const double* p) { return ZelLanes4(_mm256_loadu_pd(p)); }
  ZEL_AVX2 static void Store(double* p, const ZelLanes4& a) { _mm256_storeu_pd(p, a.v); }
  ZEL_AVX2 static ZelLanes4 Row(const double* const* columns, std::size_t k) {
    return ZelLanes4(_mm256_set_pd(columns[3][k], columns[2][k], columns[1][k], columns[0][k]));
  }
  ZEL_AVX2 static ZelMask4 Present(const uint8_t* const* missing, std::size_t k) {
    return {_mm256_castsi256_pd(_mm256_cmpeq_epi64(
        _mm256_set_epi64x(missing[3][k], missing[2][k], missing[1][k], missing[0][k]),
        _mm256_setzero_si256()))};
  }
  ZEL_AVX2 static bool Any(const ZelMask4& mask) { return _mm256_movemask_pd(mask.m) != 0; }
  static constexpr bool Skip(const ZelMask4&) { return false; }
  // Lane j to *to[j].
  ZEL_AVX2 static void Scatter(double* const* to, const ZelLanes4& a) {
    const __m128d low = _mm256_castpd256_pd128(a.v);
    const __m128d high = _mm256_extractf128_pd(a.v, 1);
    _mm_storel_pd(to[0], low);
    _mm_storeh_pd(to[1], low);
    _mm_storel_pd(to[2], high);
    _mm_storeh_pd(to[3], high);
  }
  ZEL_AVX2 static void CountBelow(const ZelLanes4* bounds, std::size_t n, const ZelLanes4& x,
                                  int64_t* below) {
    __m256i k = _mm256_setzero_si256();
    for (std::size_t b = 0; b < n; ++b) {
      k = _mm256_sub_epi64(k, _mm256_castpd_si256(_mm256_cmp_pd(bounds[b].v, x.v, _CMP_LT_OQ)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(below), k);
  }
  ZEL_AVX2 static void LoadFours(double* const* records, ZelLanes4* fields) {
    const __m256d r0 = _mm256_loadu_pd(records[0]);
    const __m256d r1 = _mm256_loadu_pd(records[1]);
    const __m256d r2 = _mm256_loadu_pd(records[2]);
    const __m256d r3 = _mm256_loadu_pd(records[3]);
    const __m256d t0 = _mm256_unpacklo_pd(r0, r1);
    const __m256d t1 = _mm256_unpackhi_pd(r0, r1);
    const __m256d t2 = _mm256_unpacklo_pd(r2, r3);
    const __m256d t3 = _mm256_unpackhi_pd(r2, r3);
    fields[0] = ZelLanes4(_mm256_permute2f128_pd(t0, t2, 0x20));
    fields[1] = ZelLanes4(_mm256_permute2f128_pd(t1, t3, 0x20));
    fields[2] = ZelLanes4(_mm256_permute2f128_pd(t0, t2, 0x31));
    fields[3] = ZelLanes4(_mm256_permute2f128_pd(t1, t3, 0x31));
  }
  ZEL_AVX2 static void StoreFours(double* const* records, const ZelLanes4* fields) {
    const __m256d u0 = _mm256_unpacklo_pd(fields[0].v, fields[1].v);
    const __m256d u1 = _mm256_unpackhi_pd(fields[0].v, fields[1].v);
    const __m256d u2 = _mm256_unpacklo_pd(fields[2].v, fields[3].v);
    const __m256d u3 = _mm256_unpackhi_pd(fields[2].v, fields[3].v);
    _mm256_storeu_pd(records[0], _mm256_permute2f128_pd(u0, u2, 0x20));
    _mm256_storeu_pd(records[1], _mm256_permute2f128_pd(u1, u3, 0x20));
    _mm256_storeu_pd(records[2], _mm256_permute2f128_pd(u0, u2, 0x31));
    _mm256_storeu_pd(records[3], _mm256_permute2f128_pd(u1, u3, 0x31));
  }
};

}  // namespace ZelFrame

#undef ZEL_AVX2

#endif  // ZEL_WIDE_VECTORS

#endif  // ZELCRAFT_FRAME_ZELLANESAVX2_H_
