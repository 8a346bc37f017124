// Histograms of continuous fields: their bins, and which fields get one.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelVariableHandleList.h"
#include "statistics/ZelCreateStatistics.h"
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

// Records of (value, frequency weight, analysis weight).
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

  // 1 lies on a bound: lower bin; 2 + 4e-15 is within 1e-14 of 2, 2 + 1e-13
  // beyond it; -5 is below the minimum.
  for (const Cell& c : {Real(1), Real(2 + 4e-15), Real(2 + 1e-13), Int(-5), Timestamp(400)}) {
    EXPECT_TRUE(histogram.AddRecord(Row(c)).IsOK());
  }
  EXPECT_TRUE(histogram.AddRecord(Row(Missing(), 4.0)).IsOK());
  EXPECT_EQ((std::vector<int64_t>{Count(0), Count(1), Count(2), Count(399)}),
            (std::vector<int64_t>{2, 1, 1, 1}));

  EXPECT_EQ(histogram.AddRecord(Row(Real(402))).GetCode(), ZelStatusCode::kNumericalFailure);
  EXPECT_EQ(histogram.AddRecord(Row(Real(3))).GetCode(), ZelStatusCode::kNumericalFailure);
  EXPECT_EQ(histogram.Finalize().GetCode(), ZelStatusCode::kNumericalFailure);
  EXPECT_EQ(Count(2), 1);
}

TEST_F(HistogramTest, BinsKeepCountsWeightsAndWeightedMeans) {
  LayOver({0, 400});
  // Three records counting 3 + 1 + 0 (truncated frequency weights), so
  // neither the row count nor rounded weights give the same total.
  histogram.AddRecord(Row(Real(0.2), 3.7));
  histogram.AddRecord(Row(Real(0.6), 1.0, 2.0));
  histogram.AddRecord(Row(Real(0.9), 0.5));
  EXPECT_EQ(Count(0), 4);
  EXPECT_DOUBLE_EQ(histogram.GetWeights()[0], 6.2);
  EXPECT_NEAR(histogram.GetMeans()[0], (0.74 + 1.2 + 0.45) / 6.2, 1e-15);
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

TEST(CreateStatisticsTest, HistogramsForFieldsInUseAndExcludedFieldsNotDateSources) {
  ZelSettings settings;
  settings.frequencyWeightIndex = 2;
  ZelVariableHandleList list(&settings);
  std::vector<std::unique_ptr<TorCommon_1_3::ITorVariable>> vars;
  for (auto* v : {ContField("a"), NominalField("b", false), ContField("weight"),
                  ContField("screened"), ContField("date", TorCommon_1_3::kStorageDate),
                  ContField("target", TorCommon_1_3::kStorageReal, TorCommon_1_3::kRoleTarget)}) {
    vars.emplace_back(v);
    list.AddField(*v);
  }
  list.BeginPass();
  for (double x : {0.0, 400.0}) {
    ASSERT_TRUE(
        list.ProcessRecord(MakeRecord({Real(x), Int(1), Real(1), Real(x), Date(x), Real(x)}))
            .IsOK());
  }
  ASSERT_TRUE(list.EndPass().IsOK());
  list.GetHandle(3)->Exclude({3, 18});
  list.GetHandle(4)->Exclude({2, 15});
  // A copy excluded as it was made never had its values read: no range, no
  // histogram, no flag.
  ASSERT_EQ(list.AddDerivedField("a_Outlier", "", MeasureKind::kContinuous, false,
                                 TorCommon_1_3::kStorageReal, {6, 45}),
            6);
  list.GetHandle(6)->Exclude({6, 47});

  ASSERT_TRUE(ZelStatistic::CreateStatistics(&list, {1, 2, 3, 4, 9, 5}).IsOK());
  const bool flagged[] = {true, true, false, true, false, true, false};
  const bool histogram[] = {true, false, false, true, false, true, false};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(list.GetHandle(i)->HasHistogramFlag(), flagged[i]) << i;
    EXPECT_EQ(list.GetHandle(i)->GetHistogram() != nullptr, histogram[i]) << i;
  }
  const auto* bins =
      dynamic_cast<const ZelStatistic::ZelUnivarContHistogram*>(list.GetHandle(0)->GetHistogram());
  ASSERT_NE(bins, nullptr);
  EXPECT_EQ(bins->GetUpperBounds()[0], 1);
  list.BeginPass();
  // The screened field is fed for its histogram alone; b against the target.
  EXPECT_EQ(list.GetPending(), (std::vector<int>{0, 1, 3, 5}));

  // A continuous field without a univariate statistic cannot have a histogram.
  ASSERT_EQ(list.AddDerivedCopy("copy", *vars[0], ZelTransformation::ZelOperationPair{}), 7);
  EXPECT_EQ(ZelStatistic::CreateStatistics(&list, {5}).GetCode(), ZelStatusCode::kMissingObject);
}

}  // namespace
