#include "frame/ZelVectorLevel.h"

#include <atomic>

#include "frame/ZelVectorSetting.h"

namespace ZelFrame {

namespace {

std::atomic<int>& LevelInUse() {
  static std::atomic<int> level{static_cast<int>(ZelVectorLevelSetting())};
  return level;
}

}  // namespace

ZelVectorLevel BestVectorLevel() {
  static const ZelVectorLevel best = ZelProcessorVectorLevel();
  return best;
}

ZelVectorLevel VectorLevelInUse() {
  return static_cast<ZelVectorLevel>(LevelInUse().load(std::memory_order_relaxed));
}

ZelVectorLevel SetVectorLevel(ZelVectorLevel level) {
  LevelInUse().store(static_cast<int>(ZelNoWiderThanProcessor(level)));
  return VectorLevelInUse();
}

}  // namespace ZelFrame
