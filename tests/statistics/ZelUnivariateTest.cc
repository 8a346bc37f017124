// Univariate statistics of numbers and texts: weighted counts and moments
// (also past three billion records), frequency tables with their limits, and
// the errors they keep.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using ZelStatistic::ContSummary;
using ZelStatistic::ZelUnivarCont;
using ZelStatistic::ZelUnivarNumericCat;
using ZelStatistic::ZelUnivarStringCat;

// Records of (value, frequency weight, analysis weight).
class UnivariateTest : public ::testing::Test {
 protected:
  UnivariateTest() {
    settings.frequencyWeightIndex = 1;
    settings.analysisWeightIndex = 2;
  }
  static RawRecord Row(const Cell& value, double f = 1.0, double a = 1.0) {
    return MakeRecord({value, Real(f), Real(a)});
  }
  ZelSettings settings;
};

TEST_F(UnivariateTest, FrequencyWeightsCountWholeRecordsAndWeighTheirRealValue) {
  ZelUnivarCont stat(&settings, 0);
  // 2.7 counts 2, 0.5 counts nothing, but both weigh their real value.
  for (const RawRecord& r :
       {Row(Real(10), 2.7), Row(Int(20)), Row(Real(40), 0.5), Row(Missing(), 3.9)}) {
    ASSERT_TRUE(stat.AddRecord(r).IsOK());
  }
  ASSERT_TRUE(stat.Finalize().IsOK());
  const ContSummary& s = stat.GetSummary();
  EXPECT_EQ(s.GetValidCount(), 3);
  EXPECT_EQ(stat.GetFrequency(10), 2);
  EXPECT_EQ(s.GetMissingCount(), 3);
  EXPECT_EQ(stat.GetFrequency(40), 0);
  EXPECT_NEAR(s.GetMean(), 67.0 / 4.2, 1e-12);
  EXPECT_DOUBLE_EQ(s.GetWeightSum(), 4.2);

  // Analysis weights weigh the moments; the divisor is the record count.
  ZelUnivarCont weighted(&settings, 0);
  weighted.AddRecord(Row(Real(1), 1.0, 1.0));
  weighted.AddRecord(Row(Real(3), 1.0, 3.0));
  ASSERT_TRUE(weighted.Finalize().IsOK());
  EXPECT_DOUBLE_EQ(weighted.GetSummary().GetMean(), 2.5);
  EXPECT_NEAR(weighted.GetSummary().GetStdDev(), std::sqrt(3.0), 1e-14);
  EXPECT_FALSE(weighted.GetSummary().IsSkewnessValid());
}

TEST_F(UnivariateTest, MomentsMatchShiftedTwoPassFarFromZero) {
  // Skewed values 1e9 + u^3 (spread 1) with mixed frequency and analysis weights.
  const double offset = 1e9;
  const double frequencies[] = {1.0, 2.0, 2.7, 3.0, 1.0};
  uint32_t seed = 12345;
  auto next = [&seed] { return ((seed = seed * 1664525u + 1013904223u) >> 8) / 16777216.0; };
  ZelUnivarCont stat(&settings, 0);
  // Reference: two passes over the shifted values in long double.
  std::vector<std::pair<long double, long double>> shifted;  // value - offset, weight
  long double w = 0, sum = 0, m2 = 0, m3 = 0;
  int64_t n = 0;
  for (int i = 0; i < 5000; ++i) {
    const double u = next(), x = offset + u * u * u, f = frequencies[i % 5], a = 0.5 + next();
    stat.AddRecord(Row(Real(x), f, a));
    shifted.emplace_back(x - offset, static_cast<long double>(f) * a);  // exact difference
    w += shifted.back().second;
    sum += shifted.back().second * shifted.back().first;
    n += static_cast<int64_t>(f);
  }
  ASSERT_TRUE(stat.Finalize().IsOK());
  const long double mean = sum / w;
  for (const auto& [y, weight] : shifted) {
    m2 += weight * (y - mean) * (y - mean);
    m3 += weight * (y - mean) * (y - mean) * (y - mean);
  }
  const long double sdRef = std::sqrt(m2 / (n - 1));
  const double sd = static_cast<double>(sdRef);
  const double skew = static_cast<double>(n * m3 / ((n - 2) * (n - 1) * sdRef * sdRef * sdRef));
  const ContSummary& s = stat.GetSummary();
  EXPECT_EQ(s.GetValidCount(), n);
  EXPECT_NEAR(s.GetMean(), static_cast<double>(offset + mean), 1e-12 * offset);
  EXPECT_NEAR(s.GetStdDev(), sd, 1e-12 * sd);
  ASSERT_TRUE(s.IsSkewnessValid());
  EXPECT_NEAR(s.GetSkewness(), skew, 1e-12 * std::fabs(skew));
}

// Frequency weights that make the record count pass 3e9: the skewness, whose
// divisor (n - 2)(n - 1) no longer fits 64 bits there, stays right.
TEST_F(UnivariateTest, SkewnessPastThreeBillionRecords) {
  ZelUnivarCont stat(&settings, 0);
  // 1, 2 and 4, each 2e9 times: n = 6e9.
  for (double x : {1.0, 2.0, 4.0}) {
    ASSERT_TRUE(stat.AddRecord(Row(Real(x), 2e9)).IsOK());
  }
  ASSERT_TRUE(stat.Finalize().IsOK());
  const ContSummary& s = stat.GetSummary();
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

TEST_F(UnivariateTest, MedianModeAndEmptyOrSingleFields) {
  ZelUnivarCont stat(&settings, 0);
  for (int v : {3, 2, 1, 3, 2}) stat.AddRecord(Row(Int(v)));
  stat.Finalize();
  const ContSummary& s = stat.GetSummary();
  EXPECT_EQ(s.GetMode(), 2);    // tie with 3: the smaller wins
  EXPECT_EQ(s.GetMedian(), 2);  // running shares 0.2, 0.6
  EXPECT_NEAR(s.GetSkewness(), 5 * -0.72 / (12 * 0.7 * std::sqrt(0.7)), 1e-14);

  ZelUnivarCont single(&settings, 0);
  single.AddRecord(Row(Date(19000), 5.0));
  single.Finalize();
  EXPECT_EQ(single.GetSummary().GetStdDev(), 0);
  EXPECT_FALSE(single.GetSummary().IsSkewnessValid());
  EXPECT_EQ(single.GetSummary().GetMedian(), 19000);
}

TEST_F(UnivariateTest, FrequencyTableStopsOneEntryPastItsLimit) {
  ZelUnivarCont atLimit(&settings, 0), beyond(&settings, 0);  // limit 5
  for (int v = 1; v <= 5; ++v) {
    atLimit.AddRecord(Row(Int(v), v == 4 ? 2 : 1));
    beyond.AddRecord(Row(Int(v), v == 4 ? 2 : 1));
  }
  for (int v : {6, 7, 1}) beyond.AddRecord(Row(Int(v)));
  atLimit.Finalize();
  beyond.Finalize();
  EXPECT_EQ(atLimit.GetSummary().GetMode(), 4);
  EXPECT_EQ(atLimit.GetSummary().GetMedian(), 3);
  EXPECT_EQ(beyond.GetSummary().GetTableSize(), 6u);
  EXPECT_EQ(beyond.GetFrequency(1), 1);  // no longer counted past the limit
  EXPECT_EQ(beyond.GetSummary().GetMode(), 0);
  EXPECT_EQ(beyond.GetSummary().GetMedian(), 0);
  EXPECT_EQ(beyond.GetSummary().GetValidCount(), 9);

  // A nominal field keeps counts and frequencies only.
  settings.screeningThresholdForNominal = 2;
  ZelUnivarNumericCat nominal(&settings, 0, true);
  for (int v : {5, 6, 7, 8}) nominal.AddRecord(Row(Int(v)));
  ASSERT_TRUE(nominal.Finalize().IsOK());
  EXPECT_EQ(nominal.GetSummary().GetTableSize(), 3u);
  EXPECT_EQ(nominal.GetValues(), (std::vector<double>{5, 6, 7}));
  EXPECT_EQ(nominal.GetSummary().GetMean(), 0);
  EXPECT_EQ(nominal.GetSummary().GetMaximum(), -DBL_MAX);
}

TEST_F(UnivariateTest, ErrorsAreKeptAndReturnedByLaterCalls) {
  ZelUnivarCont stat(&settings, 0);
  stat.AddRecord(Row(Real(1)));
  EXPECT_EQ(stat.AddRecord(Row(Timestamp(5))).GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(stat.AddRecord(Row(Real(2))).GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(stat.Finalize().GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(stat.GetSummary().GetValidCount(), 1);

  ZelUnivarCont wrong(&settings, 0);
  EXPECT_EQ(wrong.CopyFrom(ZelUnivarStringCat(&settings, 0)).GetCode(),
            ZelStatusCode::kInconsistent);
  EXPECT_EQ(wrong.AddRecord(Row(Real(1))).GetCode(), ZelStatusCode::kInconsistent);
}

TEST_F(UnivariateTest, TextCategoriesUpToTheLimitAndTheMode) {
  settings.screeningThresholdForNominal = 3;
  ZelUnivarStringCat stat(&settings, 0), overflowing(&settings, 0);
  for (auto* to : {&stat, &overflowing}) {
    // b counts 2; the analysis weight plays no part.
    for (const RawRecord& r : {Row(Str("b"), 2.7, 9.0), Row(Str("a")), Row(Str("a")),
                               Row(Str("c"), 0.5), Row(Missing(), 3.0)}) {
      EXPECT_TRUE(to->AddRecord(r).IsOK());
    }
  }
  stat.Finalize();
  EXPECT_EQ(stat.GetValidCount(), 4);
  EXPECT_EQ(stat.GetMissingCount(), 3);
  EXPECT_EQ(stat.GetFrequency("c"), 0);
  EXPECT_EQ(stat.GetCategories(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(stat.GetMode(), "a");  // ties with "b": the first in byte order wins

  for (const char* text : {"B", "Z", "a"}) overflowing.AddRecord(Row(Str(text)));
  overflowing.Finalize();
  EXPECT_EQ(overflowing.GetTableSize(), 4u);
  EXPECT_EQ(overflowing.GetFrequency("a"), 2);  // no longer counted past the limit
  EXPECT_EQ(overflowing.GetMode(), "");

  ZelUnivarStringCat numbers(&settings, 0);
  EXPECT_EQ(numbers.AddRecord(Row(Int(3))).GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(numbers.AddRecord(Row(Str("x"))).GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(numbers.GetValidCount(), 0);
  ZelUnivarStringCat wrongKind(&settings, 0);
  EXPECT_EQ(wrongKind.CopyFrom(ZelUnivarCont(&settings, 0)).GetCode(),
            ZelStatusCode::kMissingStatistic);
  EXPECT_EQ(wrongKind.AddRecord(Row(Str("x"))).GetCode(), ZelStatusCode::kMissingStatistic);
}

}  // namespace
