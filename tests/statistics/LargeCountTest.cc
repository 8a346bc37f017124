// Frequency weights that make the record count pass 3e9: the skewness, whose
// divisor (n - 2)(n - 1) no longer fits 64 bits there, stays right.
#include <gtest/gtest.h>

#include <cmath>

#include "settings/ZelSettings.h"
#include "statistics/ZelUnivarCont.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;

TEST(LargeCount, SkewnessPastThreeBillionRecords) {
  ZelSettings settings;
  settings.frequencyWeightIndex = 1;
  ZelStatistic::ZelUnivarCont stat(&settings, 0);
  // 1, 2 and 4, each 2e9 times: n = 6e9.
  for (double x : {1.0, 2.0, 4.0}) {
    ASSERT_TRUE(stat.AddRecord(MakeRecord({Real(x), Real(2e9)})).IsOK());
  }
  ASSERT_TRUE(stat.Finalize().IsOK());
  const ZelStatistic::ContSummary& s = stat.GetSummary();
  EXPECT_EQ(s.GetValidCount(), 6000000000LL);

  // By hand: mean 7/3, deviations -4/3, -1/3, 5/3; M2 = w 42/9, M3 = w 60/27.
  const long double w = 2e9L, n = 6e9L;
  const long double m2 = w * 42.0L / 9.0L, m3 = w * 60.0L / 27.0L;
  const long double sd = std::sqrt(m2 / (n - 1.0L));
  const double expected = static_cast<double>(n * m3 / ((n - 2.0L) * (n - 1.0L) * sd * sd * sd));
  ASSERT_TRUE(s.IsSkewnessValid());
  EXPECT_NEAR(s.GetSkewness(), expected, 1e-12);
  // So many records make it the population skewness m3 / m2^1.5.
  EXPECT_NEAR(s.GetSkewness(), (60.0 / 81.0) / std::pow(42.0 / 27.0, 1.5), 1e-9);
  EXPECT_NEAR(s.GetStdDev(), std::sqrt(42.0 / 27.0), 1e-9);
}

}  // namespace
