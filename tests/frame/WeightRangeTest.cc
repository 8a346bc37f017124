// Frequency weights too large for the 64-bit counts: a weight, or the
// weights of a pass added up, beyond 2^63 - 1 is an error, never a wrapped
// count; so are moment weights that add up past the largest double.
#include <gtest/gtest.h>

#include <vector>

#include "frame/ZelStatusCodes.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;

// Continuous x and the frequency weight w; only the statistics run.
struct WeightedBuild {
  WeightedBuild() {
    variables.AddVariable(ContField("x"));
    variables.AddVariable(ContField("w"));
    variables.SetFrequencyWeightIndex(1);
    settings = EarlyStepsOnly();
    settings.SetBool("checkFeatureMeasureLevel", false);
    settings.SetBool("excludeFeatureIfHasManyUniqueCatogories", false);
  }
  TorStatus Run() {
    build.Run(settings, variables, source);
    return build.executeStatus;
  }
  TorVarList variables;
  TorSettings settings;
  MemorySource source;
  Build build;
};

TEST(WeightRange, WeightsOrTotalsBeyondSixtyFourBitsAreErrors) {
  const int kFailure = ZelStatusCode::kNumericalFailure;
  struct Case {
    std::vector<Cell> weights;
    int code;  // 0: the build succeeds
  };
  const Case cases[] = {
      {{Real(1e300)}, kFailure},
      {{Real(9223372036854775808.0)}, kFailure},  // 2^63
      {{Int(9223372036854775807LL)}, kFailure},   // rounds to 2^63 as a double
      {{Int(4600000000000000000LL), Int(4600000000000000000LL), Int(1)}, 0},
      {{Int(4700000000000000000LL), Int(4700000000000000000LL)}, kFailure},  // total past 2^63
      {{Real(-1e300), Real(3), Real(1)}, 0},  // negative: the record is dropped, not an error
  };
  for (const Case& c : cases) {
    WeightedBuild b;
    double x = 0;
    for (const Cell& weight : c.weights) b.source.Add({Real(++x), weight});
    b.source.Add({Real(++x), Missing()});
    const TorStatus status = b.Run();
    if (c.code == 0) {
      EXPECT_FALSE(status.IsError()) << status.GetCode();
    } else {
      EXPECT_EQ(status, TorStatus(c.code, false));
    }
  }

  // Moment weights that add up past the largest double are an error too.
  WeightedBuild analysis;
  analysis.variables.AddVariable(ContField("a"));
  analysis.settings.SetString("analysisWeight", "a");
  analysis.source.Add({Real(1), Int(1000), Real(1e305)});
  analysis.source.Add({Real(2), Int(1000), Real(1e305)});
  EXPECT_EQ(analysis.Run(), TorStatus(kFailure, false));
}

}  // namespace
