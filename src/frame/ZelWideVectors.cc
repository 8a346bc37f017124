#include "frame/ZelWideVectors.h"

#include <cstdlib>
#include <cstring>

bool ZelWideVectors() {
#ifdef ZEL_WIDE_VECTORS
  static const bool wide = [] {
    const char* chosen = std::getenv("ZEL_PASS_SIMD");
    if (chosen != nullptr && std::strcmp(chosen, "sse2") == 0) return false;
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return wide;
#else
  return false;
#endif
}
