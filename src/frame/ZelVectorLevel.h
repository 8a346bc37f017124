// ZelVectorLevel: how wide the vector loops of the data passes may be on
// this processor: plain (128-bit SSE2 where the loops have it), AVX2 (four
// doubles to a vector) or AVX-512 (eight). A vector loop gives every lane
// the operations of the plain loop in the same order and fuses none, so the
// level changes the speed and never a result. `ZEL_VECTOR_LEVEL=plain` (or
// `avx2`) in the environment keeps the loops narrower, to compare them or on
// a processor that misreports what it has (frame/ZelVectorSetting.h).
#ifndef ZELCRAFT_FRAME_ZELVECTORLEVEL_H_
#define ZELCRAFT_FRAME_ZELVECTORLEVEL_H_

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZEL_WIDE_VECTORS 1
#endif

namespace ZelFrame {

enum class ZelVectorLevel { kPlain = 0, kAvx2 = 1, kAvx512 = 2 };

// The widest level the processor runs.
ZelVectorLevel BestVectorLevel();
ZelVectorLevel VectorLevelInUse();
// Picks a level, no wider than the processor runs; returns the level now in
// use. For tests.
ZelVectorLevel SetVectorLevel(ZelVectorLevel level);
// Whether 256-bit vectors may be used.
inline bool ZelWideVectors() { return VectorLevelInUse() != ZelVectorLevel::kPlain; }

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELVECTORLEVEL_H_
