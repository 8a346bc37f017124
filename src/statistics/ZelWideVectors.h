// ZelWideVectors: whether the statistics' side-by-side loops may run on
// 256-bit vectors (AVX2) on this processor. The wide loops give every lane
// the operations of the narrow ones in the same order, so the choice changes
// the speed and never a result. ZEL_STATISTICS_SIMD=sse2 in the environment
// keeps them narrow (to compare the two, or on a processor that misreports).
#ifndef ZELCRAFT_STATISTICS_ZELWIDEVECTORS_H_
#define ZELCRAFT_STATISTICS_ZELWIDEVECTORS_H_

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZEL_WIDE_VECTORS 1
#endif

namespace ZelStatistic {

bool ZelWideVectors();

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELWIDEVECTORS_H_
