// Every test program runs its loops at the vector level ZEL_VECTOR_LEVEL asks
// for ("plain", "avx2"; the widest the processor has otherwise, or when it
// lacks the one asked for): the suites run once per level, and a run that
// silently ran another level would compare a level with itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "frame/ZelVectorLevel.h"

using ZelFrame::BestVectorLevel;
using ZelFrame::SetVectorLevel;
using ZelFrame::VectorLevelInUse;
using ZelFrame::ZelVectorLevel;

namespace {

ZelVectorLevel NoWiderThanTheProcessor(ZelVectorLevel level) {
  return static_cast<int>(level) > static_cast<int>(BestVectorLevel()) ? BestVectorLevel()
                                                                        : level;
}

TEST(VectorLevel, TheLevelAskedForIsTheLevelInForce) {
  const char* asked = std::getenv("ZEL_VECTOR_LEVEL");
  const std::string name = asked != nullptr ? asked : "";
  const ZelVectorLevel expected = name == "plain" ? ZelVectorLevel::kPlain
                                  : name == "avx2"
                                      ? NoWiderThanTheProcessor(ZelVectorLevel::kAvx2)
                                      : BestVectorLevel();
  EXPECT_EQ(static_cast<int>(VectorLevelInUse()), static_cast<int>(expected)) << name;
  // A level set for a test is the level in force, the processor permitting.
  const ZelVectorLevel initial = VectorLevelInUse();
  for (ZelVectorLevel level :
       {ZelVectorLevel::kPlain, ZelVectorLevel::kAvx2, ZelVectorLevel::kAvx512}) {
    EXPECT_EQ(static_cast<int>(SetVectorLevel(level)),
              static_cast<int>(NoWiderThanTheProcessor(level)));
    EXPECT_EQ(static_cast<int>(VectorLevelInUse()),
              static_cast<int>(NoWiderThanTheProcessor(level)));
  }
  SetVectorLevel(initial);
}

}  // namespace
