#include <gtest/gtest.h>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarContHistogram.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using ZelStatistic::ZelUnivarCont;
using ZelStatistic::ZelUnivarContHistogram;

ZelSettings WeightedSettings() {
  ZelSettings settings;
  settings.frequencyWeightIndex = 1;
  settings.analysisWeightIndex = 2;
  return settings;
}

class HistogramTest : public ::testing::Test {
 protected:
  static RawRecord Row(const Cell& value, double f = 1.0, double a = 1.0) {
    return MakeRecord({value, Real(f), Real(a)});
  }
  // A histogram laid over the range of `values`.
  void LayOver(std::initializer_list<double> values) {
    ZelUnivarCont univariate(&settings, 0);
    for (double v : values) univariate.AddRecord(Row(Real(v)));
    univariate.Finalize();
    ASSERT_TRUE(histogram.SetUpHistogram(univariate).IsOK());
  }
  int64_t Count(std::size_t bin) const { return histogram.GetCounts()[bin]; }

  ZelSettings settings = WeightedSettings();
  ZelUnivarContHistogram histogram{&settings, 0};
};

TEST_F(HistogramTest, BoundsSplitTheRangeAndTheLastReachesPastTheMaximum) {
  LayOver({0, 400, 17});
  ASSERT_EQ(histogram.GetBinCount(), 400u);
  const auto& bounds = histogram.GetUpperBounds();
  EXPECT_EQ(bounds[0], 1);
  EXPECT_EQ(bounds[398], 399);
  EXPECT_EQ(bounds[399], 401);

  EXPECT_TRUE(histogram.AddRecord(Row(Real(1))).IsOK());          // on a bound: lower bin
  EXPECT_TRUE(histogram.AddRecord(Row(Real(2 + 4e-15))).IsOK());  // within 1e-14 of 2
  EXPECT_TRUE(histogram.AddRecord(Row(Real(2 + 1e-13))).IsOK());  // beyond it
  EXPECT_TRUE(histogram.AddRecord(Row(Int(-5))).IsOK());          // below the minimum
  EXPECT_TRUE(histogram.AddRecord(Row(Timestamp(400))).IsOK());
  EXPECT_TRUE(histogram.AddRecord(Row(Missing(), 4.0)).IsOK());
  EXPECT_EQ(Count(0), 2);
  EXPECT_EQ(Count(1), 1);
  EXPECT_EQ(Count(2), 1);
  EXPECT_EQ(Count(399), 1);

  EXPECT_EQ(histogram.AddRecord(Row(Real(402))).GetCode(), ZelStatusCode::kNumericalFailure);
  EXPECT_EQ(histogram.AddRecord(Row(Real(3))).GetCode(), ZelStatusCode::kNumericalFailure);
  EXPECT_EQ(histogram.Finalize().GetCode(), ZelStatusCode::kNumericalFailure);
  EXPECT_EQ(Count(2), 1);
}

TEST_F(HistogramTest, BinsKeepCountsWeightsAndWeightedMeans) {
  LayOver({0, 400});
  histogram.AddRecord(Row(Real(0.2), 2.7));
  histogram.AddRecord(Row(Real(0.6), 1.0, 2.0));
  histogram.AddRecord(Row(Real(0.9), 0.5));
  EXPECT_EQ(Count(0), 3);
  EXPECT_DOUBLE_EQ(histogram.GetWeights()[0], 5.2);
  EXPECT_NEAR(histogram.GetMeans()[0], (0.54 + 1.2 + 0.45) / 5.2, 1e-15);
  EXPECT_EQ(histogram.AddRecord(Row(Str("x"))).GetCode(), ZelStatusCode::kBadValueType);
}

TEST_F(HistogramTest, SetUpNeedsAContinuousSummaryAndCopesWithAConstantField) {
  ZelStatistic::ZelUnivarNumericCat categorical(&settings, 0, false);
  EXPECT_EQ(histogram.SetUpHistogram(categorical).GetCode(), ZelStatusCode::kInconsistent);
  ZelUnivarContHistogram constant(&settings, 0);
  ZelUnivarCont univariate(&settings, 0);
  univariate.AddRecord(Row(Real(7)));
  ASSERT_TRUE(constant.SetUpHistogram(univariate).IsOK());
  EXPECT_EQ(constant.GetUpperBounds()[398], 7);
  EXPECT_EQ(constant.GetUpperBounds()[399], 8);
  constant.AddRecord(Row(Real(7)));
  EXPECT_EQ(constant.GetCounts()[0], 1);
}

}  // namespace
