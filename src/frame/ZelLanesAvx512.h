// ZelLanesAvx512: ZelLanes8, eight doubles to a 512-bit vector, the AVX-512
// lane type of ZelLanes.h. AVX-512 carries fused multiply-adds, which the
// compiler may form from a product and a sum written with the plain
// intrinsics; the rounding forms (at the current rounding: the plain
// instructions) are opaque to it, so every product and sum rounds apart.
// The masked forms with every lane set keep the compiler's headers from
// reading an undefined vector. Its functions run on a processor with
// AVX-512 only: call them from a kernel with target("avx512f").
#ifndef ZELCRAFT_FRAME_ZELLANESAVX512_H_
#define ZELCRAFT_FRAME_ZELLANESAVX512_H_

#include "frame/ZelLanes.h"
#include "frame/ZelVectorLevel.h"

#ifdef ZEL_WIDE_VECTORS
#include <immintrin.h>

#define ZEL_AVX512 __attribute__((target("avx512f")))

namespace ZelFrame {

struct ZelLanes8 {
  __m512d v;
  ZEL_AVX512 ZelLanes8() : v(_mm512_setzero_pd()) {}
  ZEL_AVX512 explicit ZelLanes8(__m512d value) : v(value) {}
  ZEL_AVX512 explicit ZelLanes8(double x) : v(_mm512_set1_pd(x)) {}
};

struct ZelMask8 {
  __mmask8 m;
};

constexpr int kZelRound = _MM_FROUND_CUR_DIRECTION;

ZEL_AVX512 inline ZelLanes8 operator+(const ZelLanes8& a, const ZelLanes8& b) {
  return ZelLanes8(_mm512_mask_add_round_pd(a.v, 0xFF, a.v, b.v, kZelRound));
}
ZEL_AVX512 inline ZelLanes8 operator-(const ZelLanes8& a, const ZelLanes8& b) {
  return ZelLanes8(_mm512_mask_sub_round_pd(a.v, 0xFF, a.v, b.v, kZelRound));
}
ZEL_AVX512 inline ZelLanes8 operator*(const ZelLanes8& a, const ZelLanes8& b) {
  return ZelLanes8(_mm512_mask_mul_round_pd(a.v, 0xFF, a.v, b.v, kZelRound));
}
ZEL_AVX512 inline ZelLanes8 operator/(const ZelLanes8& a, const ZelLanes8& b) {
  return ZelLanes8(_mm512_mask_div_round_pd(a.v, 0xFF, a.v, b.v, kZelRound));
}
// x where x < m, else m: the instruction's second operand is the one kept
// on a tie or a NaN, as in the one-lane case.
ZEL_AVX512 inline ZelLanes8 Min(const ZelLanes8& x, const ZelLanes8& m) {
  return ZelLanes8(_mm512_mask_min_pd(x.v, 0xFF, x.v, m.v));
}
ZEL_AVX512 inline ZelLanes8 Max(const ZelLanes8& x, const ZelLanes8& m) {
  return ZelLanes8(_mm512_mask_max_pd(x.v, 0xFF, x.v, m.v));
}
ZEL_AVX512 inline ZelMask8 Greater(const ZelLanes8& a, const ZelLanes8& b) {
  return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GT_OQ)};
}
ZEL_AVX512 inline ZelMask8 Less(const ZelLanes8& a, const ZelLanes8& b) {
  return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LT_OQ)};
}
ZEL_AVX512 inline ZelMask8 NotEqual(const ZelLanes8& a, const ZelLanes8& b) {
  return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_NEQ_UQ)};
}
ZEL_AVX512 inline ZelMask8 NotLessEqual(const ZelLanes8& a, const ZelLanes8& b) {
  return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_NLE_UQ)};
}
inline ZelMask8 operator&(const ZelMask8& a, const ZelMask8& b) {
  return {static_cast<__mmask8>(a.m & b.m)};
}
inline ZelMask8 operator|(const ZelMask8& a, const ZelMask8& b) {
  return {static_cast<__mmask8>(a.m | b.m)};
}
ZEL_AVX512 inline ZelLanes8 Select(const ZelMask8& mask, const ZelLanes8& yes,
                                   const ZelLanes8& no) {
  return ZelLanes8(_mm512_mask_blend_pd(mask.m, no.v, yes.v));
}

template <>
struct ZelLaneOf<ZelLanes8> {
  using Mask = ZelMask8;
  static constexpr std::size_t kWidth = 8;
  ZEL_AVX512 static ZelLanes8 Load(const double* p) { return ZelLanes8(_mm512_loadu_pd(p)); }
  ZEL_AVX512 static void Store(double* p, const ZelLanes8& a) { _mm512_storeu_pd(p, a.v); }
  ZEL_AVX512 static ZelLanes8 Row(const double* const* c, std::size_t k) {
    return ZelLanes8(
        _mm512_set_pd(c[7][k], c[6][k], c[5][k], c[4][k], c[3][k], c[2][k], c[1][k], c[0][k]));
  }
  static ZelMask8 Present(const uint8_t* const* missing, std::size_t k) {
    unsigned bits = 0;
    for (unsigned j = 0; j < 8; ++j) bits |= (missing[j][k] == 0 ? 1u : 0u) << j;
    return {static_cast<__mmask8>(bits)};
  }
  static bool Any(const ZelMask8& mask) { return mask.m != 0; }
  static constexpr bool Skip(const ZelMask8&) { return false; }
};

}  // namespace ZelFrame

#undef ZEL_AVX512

#endif  // ZEL_WIDE_VECTORS

#endif  // ZELCRAFT_FRAME_ZELLANESAVX512_H_
