// The robust estimates of the outlier statistic against the plain mean and
// standard deviation of the records its trimming keeps, and the Box-Cox
// exponent against a brute-force weighted profile likelihood over the same
// grid, ties included.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "frame/ZelBatch.h"
#include "frame/ZelStatusCodes.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelBoxCox.h"
#include "statistics/ZelOutlier.h"
#include "statistics/ZelUnivarCont.h"
#include "support/TestHost.h"

using ZelFrame::ZelBatch;

namespace {

using namespace testhost;
using ZelStatistic::ZelBoxCox;
using ZelStatistic::ZelOutlier;
using ZelStatistic::ZelUnivarCont;

struct Row {
  double x, f, a;
};

class OutlierBoxCoxTest : public ::testing::Test {
 protected:
  OutlierBoxCoxTest() {
    settings.frequencyWeightIndex = 1;
    settings.analysisWeightIndex = 2;
  }
  static RawRecord Record(const Row& r) { return MakeRecord({Real(r.x), Real(r.f), Real(r.a)}); }

  // The outlier statistic of `rows`, built from their univariate summary as
  // a build builds it.
  std::unique_ptr<ZelOutlier> Robust(const std::vector<Row>& rows) {
    ZelUnivarCont univariate(&settings, 0);
    for (const Row& r : rows) univariate.AddRecord(Record(r));
    univariate.Finalize();
    const auto& s = univariate.GetSummary();
    auto outlier = std::make_unique<ZelOutlier>(&settings, 0, s.GetMean(), s.GetStdDev(),
                                                s.GetWeightSum(), s.GetValidCount());
    for (const Row& r : rows) EXPECT_TRUE(outlier->AddRecord(Record(r)).IsOK());
    EXPECT_TRUE(outlier->Finalize().IsOK());
    return outlier;
  }

  ZelSettings settings;
};

// Weighted mean and standard deviation (weight f * a, divisor: the
// frequency sum less one) of the rows, in long double.
void ExpectRobustOf(const ZelOutlier& outlier, const std::vector<Row>& kept) {
  long double w = 0, f = 0, sum = 0;
  for (const Row& r : kept) {
    w += r.f * r.a;
    f += r.f;
    sum += r.f * r.a * r.x;
  }
  const long double mean = sum / w;
  long double squares = 0;
  for (const Row& r : kept) squares += r.f * r.a * (r.x - mean) * (r.x - mean);
  EXPECT_NEAR(outlier.GetRobustMean(), static_cast<double>(mean), 1e-10);
  EXPECT_NEAR(outlier.GetRobustStdDev(), static_cast<double>(std::sqrt(squares / (f - 1))), 1e-10);
}

TEST_F(OutlierBoxCoxTest, RobustEstimatesAreThoseOfTheKeptIntervals) {
  // A weighted body of 30 to 70 about 50, and four records far out: they
  // widen the standard deviation so much that the body fills the two middle
  // intervals. Intervals 0 and 7 hold 2 of about 150 records each; all tail
  // intervals together stay below 5 %, so exactly the body is kept.
  std::vector<Row> body;
  for (int i = 0; i < 100; ++i)
    body.push_back({30.0 + (i * 37) % 41, 1.0 + i % 2, 0.5 + i % 3 * 0.75});
  std::vector<Row> rows = body;
  for (double far : {-1000.0, -1010.0, 1000.0, 1010.0}) rows.push_back({far, 1.0, 1.0});
  const auto trimmed = Robust(rows);
  EXPECT_LT(trimmed->GetBounds()[0], -100.0);
  EXPECT_GT(trimmed->GetBounds()[6], 100.0);
  ExpectRobustOf(*trimmed, body);

  // Six of 100 records beyond three deviations are 5 % or more on their own:
  // their interval stays, and so does everything.
  rows.assign(94, {0, 1, 1});
  for (int i = 0; i < 94; ++i) rows[i].x = 30.0 + (i * 37) % 41;
  rows.insert(rows.end(), 6, {1000.0, 1.0, 1.0});
  const auto kept = Robust(rows);
  EXPECT_EQ(kept->FindInterval(1000.0), 7);
  ExpectRobustOf(*kept, rows);
}

// The profile log-likelihood of the exponent, from the values shifted to
// start at 1, frequency weights f and analysis weights a: (lambda - 1) *
// sum f ln v - n / 2 * ln(M2 / n), with n the records the frequency weights
// count and M2 the second moment of the transformed values about their mean,
// both weighted by f * a.
long double ProfileLikelihood(const std::vector<Row>& v, long double lambda) {
  std::vector<long double> y;
  long double logSum = 0, n = 0, weight = 0, sum = 0;
  for (const Row& r : v) {
    const long double x = r.x;
    logSum += r.f * std::log(x);
    n += std::trunc(r.f);
    y.push_back(lambda == 0 ? std::log(x) : (std::pow(x, lambda) - 1) / lambda);
    weight += static_cast<long double>(r.f) * r.a;
    sum += static_cast<long double>(r.f) * r.a * y.back();
  }
  const long double mean = sum / weight;
  long double squares = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    squares += static_cast<long double>(v[i].f) * v[i].a * (y[i] - mean) * (y[i] - mean);
  }
  return (lambda - 1) * logSum - n / 2.0L * std::log(squares / n);
}

// The grid exponent of largest likelihood, the smaller one on a tie.
double BruteForceExponent(const std::vector<Row>& v) {
  double best = -3.0;
  for (int k = 1; k <= 12; ++k) {
    if (ProfileLikelihood(v, -3.0 + k * 0.5) > ProfileLikelihood(v, best)) best = -3.0 + k * 0.5;
  }
  return best;
}

TEST_F(OutlierBoxCoxTest, ExponentMaximisesTheProfileLikelihoodOverTheGrid) {
  const double minimum = 2.0;
  std::vector<std::vector<double>> samples(4);
  for (int i = 0; i < 60; ++i) {
    samples[0].push_back(minimum + std::exp(i / 12.0) - 1);          // skewed right
    samples[1].push_back(minimum + 30 * (1 - std::exp(-i / 25.0)));  // skewed left
    samples[2].push_back(minimum + i);                               // flat
  }
  // Symmetric in the logarithm of x - shift: the logarithm itself wins
  // (the grid reaches 0 exactly).
  for (int k = -4; k <= 4; ++k) samples[3].push_back(minimum - 1 + std::exp(4.0 + k));
  for (const std::vector<double>& xs : samples) {
    settings.frequencyWeightIndex = settings.analysisWeightIndex = -1;
    ZelBoxCox boxCox(&settings, 0, -3.0, 3.0, 0.5, minimum, 1.0, 0.0);
    ASSERT_EQ(boxCox.GetExponents().size(), 13u);
    for (double x : xs) ASSERT_TRUE(boxCox.AddRecord(MakeRecord({Real(x)})).IsOK());
    ASSERT_TRUE(boxCox.Finalize().IsOK());

    std::vector<Row> v;
    for (double x : xs) v.push_back({x - (minimum - 1), 1.0, 1.0});
    const double best = BruteForceExponent(v);
    EXPECT_EQ(boxCox.GetExponent(), best);
    long double mean = 0, squares = 0;
    for (const Row& r : v) mean += ZelStatistic::BoxCoxTransform(r.x, 0.0, best) / v.size();
    for (const Row& r : v) {
      squares += std::pow(ZelStatistic::BoxCoxTransform(r.x, 0.0, best) - mean, 2);
    }
    EXPECT_NEAR(boxCox.GetTransformedMean(), static_cast<double>(mean), 1e-9);
    EXPECT_NEAR(boxCox.GetTransformedStdDev(),
                static_cast<double>(std::sqrt(squares / (v.size() - 1))), 1e-9);
  }
}

// Evenly spread values whose lowest third weighs twelve times the rest: the
// analysis weights move the best exponent from 0.5 to 1. Fed record by
// record and as one batch, both ways must find the weighted maximum.
TEST_F(OutlierBoxCoxTest, AnalysisWeightsEnterTheLikelihood) {
  const double minimum = 5.0;
  std::vector<Row> rows, shifted, unweighted;
  for (int i = 0; i < 60; ++i) {
    rows.push_back({minimum + i, 1.0 + i % 3, i < 20 ? 3.0 : 0.25});
    shifted.push_back({rows.back().x - (minimum - 1), rows.back().f, rows.back().a});
    unweighted.push_back({shifted.back().x, shifted.back().f, 1.0});
  }
  const double best = BruteForceExponent(shifted);
  ASSERT_NE(best, BruteForceExponent(unweighted)) << "the weights must matter here";

  ZelBoxCox byRecord(&settings, 0, -3.0, 3.0, 0.5, minimum, 1.0, 0.0);
  ZelBoxCox byBatch(&settings, 0, -3.0, 3.0, 0.5, minimum, 1.0, 0.0);
  ZelBatch batch(3);
  for (int i = 0; i < 3; ++i) batch.Use(i);
  batch.Allocate(rows.size());
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const RawRecord record = Record(rows[k]);
    ASSERT_TRUE(byRecord.AddRecord(record).IsOK());
    for (int i = 0; i < 3; ++i) batch.Column(i).Set(k, record[i]);
  }
  batch.SetRows(rows.size());
  ASSERT_TRUE(byBatch.AddBatch(batch).IsOK());
  for (ZelBoxCox* boxCox : {&byRecord, &byBatch}) {
    ASSERT_TRUE(boxCox->Finalize().IsOK());
    EXPECT_EQ(boxCox->GetExponent(), best);
  }
}

// A constant sample lies at its minimum: every transformed value is 0, so
// every exponent has the same (unbounded) likelihood, and the tie goes to
// the smallest exponent of the grid.
TEST_F(OutlierBoxCoxTest, TiedLikelihoodsKeepTheSmallerExponent) {
  ZelBoxCox boxCox(&settings, 0, -3.0, 3.0, 0.5, 7.0, 1.0, 0.0);
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(boxCox.AddRecord(Record({7.0, 1.0 + i % 2, 0.5 + i % 3})).IsOK());
  }
  ASSERT_TRUE(boxCox.Finalize().IsOK());
  EXPECT_EQ(boxCox.GetExponent(), -3.0);
  EXPECT_EQ(boxCox.GetTransformedStdDev(), 0.0);
}

TEST_F(OutlierBoxCoxTest, GridAndValueErrors) {
  // A step that does not divide the range still ends at the end.
  ZelBoxCox uneven(&settings, 0, 0.0, 1.0, 0.4, 0.0, 1.0, 0.0);
  EXPECT_EQ(uneven.GetExponents(), (std::vector<double>{0.0, 0.4, 0.8, 1.0}));
  for (const auto& grid : {std::vector<double>{1, 1, 0.5}, {2, 1, 0.5}, {0, 1, 0}}) {
    ZelBoxCox empty(&settings, 0, grid[0], grid[1], grid[2], 0.0, 1.0, 0.0);
    EXPECT_EQ(empty.GetStatus().GetCode(), ZelStatusCode::kUnsupportedKind);
  }
  // Dates are no Box-Cox or outlier values; the error stays.
  ZelOutlier outlier(&settings, 0, 0.0, 1.0, 10.0, 10);
  EXPECT_EQ(outlier.AddRecord(MakeRecord({Date(3), Real(1), Real(1)})).GetCode(),
            ZelStatusCode::kBadValueType);
  EXPECT_EQ(outlier.AddRecord(MakeRecord({Real(3), Real(1), Real(1)})).GetCode(),
            ZelStatusCode::kBadValueType);
}

}  // namespace
