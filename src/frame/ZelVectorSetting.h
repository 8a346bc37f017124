// ZelVectorSetting: the one setting of how wide vector loops may be, shared
// by the data passes (frame/ZelVectorLevel), the column store and the CSV
// scanner (io/), which link no common object: `ZEL_VECTOR_LEVEL=plain`,
// `avx2` or `avx512` in the environment picks a level, never one the
// processor lacks; unset or another word, the widest it has. Read here only.
#ifndef ZELCRAFT_FRAME_ZELVECTORSETTING_H_
#define ZELCRAFT_FRAME_ZELVECTORSETTING_H_

#include <cstdlib>
#include <cstring>

#include "frame/ZelVectorLevel.h"

namespace ZelFrame {

// The widest level the processor runs.
inline ZelVectorLevel ZelProcessorVectorLevel() {
#ifdef ZEL_WIDE_VECTORS
  return __builtin_cpu_supports("avx512f") ? ZelVectorLevel::kAvx512
         : __builtin_cpu_supports("avx2")  ? ZelVectorLevel::kAvx2
                                           : ZelVectorLevel::kPlain;
#else
  return ZelVectorLevel::kPlain;
#endif
}

// `level`, or the processor's widest when that is narrower.
inline ZelVectorLevel ZelNoWiderThanProcessor(ZelVectorLevel level) {
  const ZelVectorLevel best = ZelProcessorVectorLevel();
  return static_cast<int>(level) > static_cast<int>(best) ? best : level;
}

// The level ZEL_VECTOR_LEVEL asks for, within what the processor runs.
inline ZelVectorLevel ZelVectorLevelSetting() {
  const char* chosen = std::getenv("ZEL_VECTOR_LEVEL");
  if (chosen == nullptr) return ZelProcessorVectorLevel();
  if (std::strcmp(chosen, "plain") == 0) return ZelVectorLevel::kPlain;
  if (std::strcmp(chosen, "avx2") == 0) return ZelNoWiderThanProcessor(ZelVectorLevel::kAvx2);
  return ZelProcessorVectorLevel();
}

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELVECTORSETTING_H_
