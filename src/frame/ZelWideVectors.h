// ZelWideVectors: whether the batch loops of statistics and transform rules
// may run on 256-bit vectors (AVX2) on this processor. A wide loop gives
// every lane the operations of the narrow one in the same order, so the
// choice changes the speed and never a result. ZEL_PASS_SIMD=sse2 in the
// environment keeps them narrow (to compare the two, or on a processor that
// misreports what it has).
#ifndef ZELCRAFT_FRAME_ZELWIDEVECTORS_H_
#define ZELCRAFT_FRAME_ZELWIDEVECTORS_H_

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZEL_WIDE_VECTORS 1
#endif

bool ZelWideVectors();

#endif  // ZELCRAFT_FRAME_ZELWIDEVECTORS_H_
