#include "frame/ZelVectorLevel.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace ZelFrame {

namespace {

ZelVectorLevel Clamp(ZelVectorLevel level) {
  const ZelVectorLevel best = BestVectorLevel();
  return static_cast<int>(level) > static_cast<int>(best) ? best : level;
}

ZelVectorLevel FromEnvironment() {
  const char* chosen = std::getenv("ZEL_PASS_SIMD");
  if (chosen == nullptr) return BestVectorLevel();
  if (std::strcmp(chosen, "plain") == 0) return ZelVectorLevel::kPlain;
  if (std::strcmp(chosen, "avx2") == 0) return Clamp(ZelVectorLevel::kAvx2);
  return BestVectorLevel();
}

std::atomic<int>& LevelInUse() {
  static std::atomic<int> level{static_cast<int>(FromEnvironment())};
  return level;
}

}  // namespace

ZelVectorLevel BestVectorLevel() {
#ifdef ZEL_WIDE_VECTORS
  static const ZelVectorLevel best = __builtin_cpu_supports("avx512f") ? ZelVectorLevel::kAvx512
                                     : __builtin_cpu_supports("avx2") ? ZelVectorLevel::kAvx2
                                                                      : ZelVectorLevel::kPlain;
  return best;
#else
  return ZelVectorLevel::kPlain;
#endif
}

ZelVectorLevel VectorLevelInUse() {
  return static_cast<ZelVectorLevel>(LevelInUse().load(std::memory_order_relaxed));
}

ZelVectorLevel SetVectorLevel(ZelVectorLevel level) {
  LevelInUse().store(static_cast<int>(Clamp(level)));
  return VectorLevelInUse();
}

}  // namespace ZelFrame
