// The association tests on small tables worked out by hand (Pearson's
// chi-square, the analysis-of-variance F test) and, for the ordinal
// likelihood ratio, against a long-double fit of the row-effects model by a
// different method. p-values use the closed forms of the chi-square
// distribution with 2 and 4 degrees of freedom and of F with 2 numerator
// degrees of freedom. Cramér's V is checked on the same footing.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "statistics/ZelPValueCatFeature.h"
#include "statistics/ZelPredictivePowerCalculator.h"
#include "statistics/ZelTableFit.h"

namespace {

using ZelStatistic::ZelCategoryMoments;
using ZelStatistic::ZelContingencyTable;
using Rows = std::vector<std::vector<double>>;

ZelContingencyTable Table(const Rows& rows) {
  ZelContingencyTable table(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = 0; j < rows[i].size(); ++j) table.Set(i, j, rows[i][j]);
  }
  return table;
}

// Textbook Pearson statistic with E = r c / N, empty rows and columns skipped.
double Pearson(const Rows& o) {
  std::vector<double> r(o.size(), 0.0), c(o[0].size(), 0.0);
  double n = 0.0;
  for (std::size_t i = 0; i < o.size(); ++i) {
    for (std::size_t j = 0; j < c.size(); ++j) {
      r[i] += o[i][j];
      c[j] += o[i][j];
      n += o[i][j];
    }
  }
  double chi = 0.0;
  for (std::size_t i = 0; i < o.size(); ++i) {
    for (std::size_t j = 0; j < c.size(); ++j) {
      const double e = r[i] * c[j] / n;
      if (e > 0.0) chi += (o[i][j] - e) * (o[i][j] - e) / e;
    }
  }
  return chi;
}

void ExpectRelative(double actual, double expected, const char* what) {
  EXPECT_NEAR(actual, expected, 1e-9 * std::fabs(expected)) << what;
}

TEST(PValueCatFeatureTest, PearsonChiSquareForANominalTarget) {
  ZelStatistic::ZelPValueCatFeature test;
  const Rows twoByThree = {{10, 20, 30}, {20, 20, 10}};
  const double chi = Pearson(twoByThree);
  ExpectRelative(test.PValueCatTarget(Table(twoByThree), false), std::exp(-chi / 2), "p, df 2");
  ExpectRelative(test.GetStatistic(), chi, "chi-square");
  EXPECT_EQ(test.GetDegreesOfFreedom(), 2.0);

  // An empty row adds no cell but still counts in the degrees of freedom.
  const Rows withEmptyRow = {{10, 20, 30}, {0, 0, 0}, {20, 20, 10}};
  ExpectRelative(test.PValueCatTarget(Table(withEmptyRow), false),
                 std::exp(-chi / 2) * (1 + chi / 2), "p, df 4");
  EXPECT_EQ(test.GetDegreesOfFreedom(), 4.0);

  // The same mean analysis weight in every cell changes nothing; unequal
  // weights move the expected counts but keep the observed margins.
  ZelContingencyTable weighted = Table(twoByThree);
  for (int j = 0; j < 3; ++j) weighted.Set(0, j, twoByThree[0][j], 2.5 * twoByThree[0][j]);
  for (int j = 0; j < 3; ++j) weighted.Set(1, j, twoByThree[1][j], 2.5 * twoByThree[1][j]);
  ExpectRelative(test.PValueCatTarget(weighted, false), std::exp(-chi / 2), "constant weight");
  weighted.Set(0, 0, 10, 80);
  std::vector<double> fitted;
  ASSERT_TRUE(ZelStatistic::FitIndependence(weighted, &fitted).IsOK());
  EXPECT_GT(std::fabs(fitted[0] - 60.0 * 30.0 / 110.0), 1.0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(fitted[3 * i] + fitted[3 * i + 1] + fitted[3 * i + 2], weighted.RowTotal(i), 0.01);
  }
  for (int j = 0; j < 3; ++j) EXPECT_NEAR(fitted[j] + fitted[3 + j], weighted.ColumnTotal(j), 0.01);

  // A target of one category cannot be associated with anything.
  EXPECT_EQ(test.PValueCatTarget(Table({{4}, {6}}), false), 1.0);
  EXPECT_TRUE(test.GetStatus().IsOK());
}

ZelCategoryMoments Moments(const std::vector<double>& values) {
  ZelCategoryMoments m;
  for (double x : values) m.mean += x / values.size();
  for (double x : values) m.m2 += (x - m.mean) * (x - m.mean);
  m.frequency = m.weight = static_cast<double>(values.size());
  return m;
}

TEST(PValueCatFeatureTest, AnalysisOfVarianceForAContinuousTarget) {
  ZelStatistic::ZelPValueCatFeature test;
  // Means 2, 5 and 5, grand mean 4.1; between 3·2.1² + 3·0.9² + 4·0.9² =
  // 18.9; within 2 + 2 + 20 = 24; F = (18.9 / 2) / (24 / 7).
  const std::vector<ZelCategoryMoments> groups = {Moments({1, 2, 3}), Moments({4, 5, 6}),
                                                  Moments({2, 4, 6, 8})};
  const double f = (18.9 / 2) / (24.0 / 7);
  ExpectRelative(test.PValueContTarget(groups), std::pow(7.0 / (7.0 + 2 * f), 3.5), "p");
  ExpectRelative(test.GetStatistic(), f, "F");
  EXPECT_EQ(test.GetDegreesOfFreedom(), 2.0);
  EXPECT_EQ(test.GetDenominatorDegreesOfFreedom(), 7.0);

  // No variation within the categories: maximal association, whatever the
  // means. Equal means: F = 0, p = 1.
  EXPECT_EQ(test.PValueContTarget({Moments({1, 1}), Moments({3, 3, 3})}), 0.0);
  EXPECT_EQ(test.PValueContTarget({Moments({1, 3}), Moments({0, 2, 4})}), 1.0);
  // One category leaves no degree of freedom: a failure, not a number.
  EXPECT_EQ(test.PValueContTarget({Moments({1, 3})}), -1.0);
  EXPECT_EQ(test.GetStatus().GetCode(), 210015);
}

// The row-effects fit by block-coordinate ascent in long double: each row's
// (α_i, γ_i) solved exactly for its total and mean score, then the columns
// scaled to their totals, until nothing moves.
long double ReferenceRowEffectsG2(const Rows& o) {
  const std::size_t rows = o.size(), columns = o[0].size();
  std::vector<long double> r(rows, 0), c(columns, 0), t(columns);
  long double n = 0, scoreSum = 0;
  for (std::size_t i = 0; i < rows; ++i) {
    for (std::size_t j = 0; j < columns; ++j) {
      r[i] += o[i][j];
      c[j] += o[i][j];
      n += o[i][j];
    }
  }
  for (std::size_t j = 0; j < columns; ++j) scoreSum += (100 * j / (columns - 1)) * c[j];
  for (std::size_t j = 0; j < columns; ++j) t[j] = (100 * j / (columns - 1)) - scoreSum / n;
  std::vector<long double> alpha(rows, 1), beta(columns, 1), theta(rows, 0);
  for (int sweep = 0; sweep < 100000; ++sweep) {
    long double moved = 0;
    for (std::size_t i = 0; i < rows; ++i) {
      long double wanted = 0;
      for (std::size_t j = 0; j < columns; ++j) wanted += t[j] * o[i][j] / r[i];
      for (int k = 0; k < 100; ++k) {
        long double z = 0, mean = 0, square = 0;
        for (std::size_t j = 0; j < columns; ++j) {
          const long double p = beta[j] * std::exp(theta[i] * t[j]);
          z += p;
          mean += p * t[j];
          square += p * t[j] * t[j];
        }
        mean /= z;
        const long double step = (mean - wanted) / (square / z - mean * mean);
        theta[i] -= step;
        if (std::fabs(step) < 1e-19L) break;
      }
      long double z = 0;
      for (std::size_t j = 0; j < columns; ++j) z += beta[j] * std::exp(theta[i] * t[j]);
      alpha[i] = r[i] / z;
    }
    for (std::size_t j = 0; j < columns; ++j) {
      long double z = 0;
      for (std::size_t i = 0; i < rows; ++i) z += alpha[i] * std::exp(theta[i] * t[j]);
      const long double next = c[j] / z;
      moved = std::max(moved, std::fabs(next - beta[j]) / next);
      beta[j] = next;
    }
    if (moved < 1e-17L) break;
  }
  long double g2 = 0;
  for (std::size_t i = 0; i < rows; ++i) {
    for (std::size_t j = 0; j < columns; ++j) {
      const long double f = alpha[i] * beta[j] * std::exp(theta[i] * t[j]);
      g2 += f * std::log(f / (r[i] * c[j] / n));
    }
  }
  return 2 * g2;
}

TEST(PValueCatFeatureTest, RowEffectsLikelihoodRatioForAnOrdinalTarget) {
  EXPECT_EQ(ZelStatistic::OrdinalScores(3), (std::vector<int>{0, 50, 100}));
  EXPECT_EQ(ZelStatistic::OrdinalScores(4), (std::vector<int>{0, 33, 66, 100}));

  ZelStatistic::ZelPValueCatFeature test;
  for (const Rows& o : {Rows{{12, 7, 3}, {5, 9, 8}, {2, 6, 14}},
                        Rows{{20, 15, 10, 5}, {8, 12, 9, 11}, {3, 6, 10, 21}}}) {
    const double g2 = static_cast<double>(ReferenceRowEffectsG2(o));
    const double p = test.PValueCatTarget(Table(o), true);
    ExpectRelative(test.GetStatistic(), g2, "G2");
    ExpectRelative(p, std::exp(-g2 / 2), "p, df 2");
    EXPECT_EQ(test.GetDegreesOfFreedom(), 2.0);
  }
}

TEST(PValueCatFeatureTest, RowEffectsFitSettlesOnAwkwardTables) {
  ZelStatistic::ZelPValueCatFeature test;
  struct Case {
    const char* what;
    Rows o;
  };
  const Case cases[] = {
      {"empty row", {{5, 3, 2}, {0, 0, 0}, {1, 4, 6}}},
      {"rows at either extreme", {{6, 0, 0}, {0, 0, 7}, {3, 3, 3}}},
      {"zero cells", {{0, 4, 0, 1}, {2, 0, 0, 0}, {0, 0, 5, 3}}},
      {"one column holds everything", {{4, 0, 0}, {6, 0, 0}}},
      {"empty middle column", {{5, 0, 1}, {1, 0, 5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const double p = test.PValueCatTarget(Table(c.o), true);
    ASSERT_TRUE(test.GetStatus().IsOK()) << test.GetStatus().GetCode();
    EXPECT_TRUE(p >= 0.0 && p <= 1.0) << p;
    // The row-effects model lies between independence and the saturated
    // model, so G² cannot exceed the likelihood ratio of the full table.
    double saturated = 0.0;
    std::vector<double> expected;
    ASSERT_TRUE(ZelStatistic::FitIndependence(Table(c.o), &expected).IsOK());
    for (std::size_t i = 0; i < c.o.size(); ++i) {
      for (std::size_t j = 0; j < c.o[i].size(); ++j) {
        const double e = expected[i * c.o[i].size() + j];
        if (c.o[i][j] > 0) saturated += 2 * c.o[i][j] * std::log(c.o[i][j] / e);
      }
    }
    EXPECT_GE(test.GetStatistic(), -1e-9);
    EXPECT_LE(test.GetStatistic(), saturated + 1e-3);
  }
  // Everything in one column: nothing to tell the rows apart.
  EXPECT_EQ(test.PValueCatTarget(Table({{4, 0, 0}, {6, 0, 0}}), true), 1.0);
}

TEST(CramersVTest, HandTables) {
  EXPECT_DOUBLE_EQ(ZelStatistic::CramersV(Table({{10, 0}, {0, 10}})), 1.0);
  EXPECT_EQ(ZelStatistic::CramersV(Table({{3, 4, 5}, {0, 0, 0}})), 0.0);
  // The empty column counts neither in the cells nor in the minimum:
  // chi-square 10/3 of 30 records with m = 1 gives 1/3.
  EXPECT_NEAR(ZelStatistic::CramersV(Table({{10, 5, 0}, {5, 10, 0}})), 1.0 / 3.0, 1e-15);
}

}  // namespace
