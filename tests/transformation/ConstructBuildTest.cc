// End-to-end builds of feature construction: coefficients against an
// eigenvector found here by power iteration, grouping by the correlation
// thresholds, screening of the remaining inputs against a continuous target,
// analysis weights in the covariances, the sign of the component, and a
// build whose every field ends excluded.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarCont.h"
#include "transformation/TransformTestUtil.h"
#include "transformation/ZelConstructTransformRule.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace transformtest;
using Matrix = std::vector<std::vector<double>>;

TorSettings ConstructionSettings(bool selection) {
  TorSettings settings = FieldsAsGiven();
  settings.SetBool("featureConstruction", true);
  settings.SetBool("featureSelection", selection);
  return settings;
}

// n records whose columns have sample correlations r (up to rounding):
// centred pseudo-random columns, orthonormalised, mixed by the Cholesky
// factor of r and scaled to unit variance.
Matrix Correlated(const Matrix& r, int n) {
  const std::size_t k = r.size();
  std::mt19937 random(7);
  Matrix u(k, std::vector<double>(n));
  for (std::size_t c = 0; c < k; ++c) {
    for (double& x : u[c]) x = random() / 4294967296.0;
    for (int pass = 0; pass < 2; ++pass) {  // twice, for orthogonality to rounding
      double mean = 0.0;
      for (double x : u[c]) mean += x / n;
      for (double& x : u[c]) x -= mean;
      for (std::size_t p = 0; p < c; ++p) {
        double dot = 0.0;
        for (int i = 0; i < n; ++i) dot += u[c][i] * u[p][i];
        for (int i = 0; i < n; ++i) u[c][i] -= dot * u[p][i];
      }
      double norm = 0.0;
      for (double x : u[c]) norm += x * x;
      for (double& x : u[c]) x /= std::sqrt(norm);
    }
  }
  Matrix l(k, std::vector<double>(k, 0.0));
  for (std::size_t i = 0; i < k; ++i) {
    for (std::size_t j = 0; j <= i; ++j) {
      double s = r[i][j];
      for (std::size_t m = 0; m < j; ++m) s -= l[i][m] * l[j][m];
      l[i][j] = i == j ? std::sqrt(s) : s / l[j][j];
    }
  }
  Matrix x(k, std::vector<double>(n, 0.0));
  for (std::size_t c = 0; c < k; ++c) {
    for (std::size_t m = 0; m <= c; ++m) {
      for (int i = 0; i < n; ++i) x[c][i] += l[c][m] * u[m][i] * std::sqrt(n - 1.0);
    }
  }
  return x;
}

const ZelVariableHandleList& RunColumns(Build& build, const std::vector<std::string>& names,
                                        const Matrix& columns, int target, TorSettings settings) {
  TorVarList vars;
  for (std::size_t c = 0; c < names.size(); ++c) {
    vars.AddVariable(ContField(names[c], kStorageReal,
                               static_cast<int>(c) == target ? kRoleTarget : kRoleInput));
  }
  MemorySource source;
  for (std::size_t i = 0; i < columns[0].size(); ++i) {
    std::vector<Cell> row;
    for (const auto& column : columns) row.push_back(Real(column[i]));
    source.Add(row);
  }
  build.Run(settings, vars, source);
  EXPECT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  return build.Fields();
}

const ZelTransformation::ZelConstructTransformRule* Constructed(const ZelVariableHandleInfo* f) {
  return f == nullptr ? nullptr
                      : dynamic_cast<const ZelTransformation::ZelConstructTransformRule*>(f->GetRule());
}

// Three inputs correlated above 0.96 on different scales and one independent
// input; no target.
TEST(ConstructFeatureBuildTest, CoefficientsAreTheScaledFirstPrincipalComponent) {
  const Matrix r = {{1, .97, .96, 0}, {.97, 1, .98, 0}, {.96, .98, 1, 0}, {0, 0, 0, 1}};
  Matrix columns = Correlated(r, 60);
  const double scale[] = {1.0, 3.0, 0.5, 1.0};
  for (std::size_t c = 0; c < 4; ++c) {
    for (double& x : columns[c]) x = scale[c] * x + 10.0 * c;
  }
  const std::vector<std::string> names = {"a1", "a2", "a3", "other"};
  Build build;
  const ZelVariableHandleList& fields = RunColumns(build, names, columns, -1,
                                                   ConstructionSettings(true));
  const ZelVariableHandleInfo* feature = FindField(fields, "feature1");
  const auto* rule = Constructed(feature);
  ASSERT_NE(rule, nullptr);
  ASSERT_EQ(rule->GetInputIndices().size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(ExcludedBy(fields.GetHandle(i), 10, 44)) << i;
  EXPECT_FALSE(fields.GetHandle(3)->IsExcluded());

  // The covariances of the group by construction, in the rule's input
  // order, and their leading eigenvector by power iteration.
  const std::vector<int>& m = rule->GetInputIndices();
  std::vector<double> v = {1, 1, 1};
  double lambda = 0.0;
  for (int iteration = 0; iteration < 500; ++iteration) {
    std::vector<double> w(3, 0.0);
    for (int a = 0; a < 3; ++a) {
      for (int b = 0; b < 3; ++b) w[a] += scale[m[a]] * scale[m[b]] * r[m[a]][m[b]] * v[b];
    }
    lambda = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
    for (int a = 0; a < 3; ++a) v[a] = w[a] / lambda;
  }
  // Up to sign; the rule's first coefficient is the non-negative one.
  const std::vector<double>& c = rule->GetParameters();
  EXPECT_GE(c[0], 0.0);
  const double sign = v[0] < 0 ? -1.0 : 1.0;
  for (int a = 0; a < 3; ++a) EXPECT_NEAR(c[a], sign * v[a] / std::sqrt(lambda), 1e-9) << a;

  // Unit variance over the data; the same data gives the same document.
  const auto& summary =
      dynamic_cast<const ZelStatistic::ZelUnivarCont&>(*feature->GetUnivariate()).GetSummary();
  EXPECT_NEAR(summary.GetStdDev(), 1.0, 1e-9);
  Build again;
  RunColumns(again, names, columns, -1, ConstructionSettings(true));
  const std::string first = build.Pmml();
  const std::string second = again.Pmml();
  auto dictionary = [](const std::string& doc) {
    const std::size_t start = doc.find("<TransformationDictionary");
    return doc.substr(start, doc.find("</TransformationDictionary>") - start);
  };
  EXPECT_EQ(dictionary(first), dictionary(second));
}

// r(b1, b2) = 0.95, r(b1, b3) = 0.92, r(b2, b3) = 0.85 and eight independent
// inputs: at 0.9 the group is b1 and b2; b3 is tried and left, and no later
// threshold finds it a partner. Eleven inputs: two-digit numbers.
TEST(ConstructFeatureBuildTest, GroupsFollowTheThresholdsAndNamesTheWidth) {
  Matrix r(11, std::vector<double>(11, 0.0));
  for (int i = 0; i < 11; ++i) r[i][i] = 1.0;
  r[0][1] = r[1][0] = 0.95;
  r[0][2] = r[2][0] = 0.92;
  r[1][2] = r[2][1] = 0.85;
  std::vector<std::string> names = {"b1", "b2", "b3"};
  for (int i = 0; i < 8; ++i) names.push_back("z" + std::to_string(i));
  Build build;
  const ZelVariableHandleList& fields =
      RunColumns(build, names, Correlated(r, 40), -1, ConstructionSettings(true));
  const auto* rule = Constructed(FindField(fields, "feature01"));
  ASSERT_NE(rule, nullptr);
  EXPECT_EQ(rule->GetInputNames(), (std::vector<std::string>{"b2", "b1"}));
  EXPECT_FALSE(fields.GetHandle(2)->IsExcluded());
  EXPECT_EQ(FindField(fields, "feature02"), nullptr);
}

// Continuous target y with r(x1, y) = r(x2, y) = 0.6 and r(x1, x2) = 0.95;
// x3 follows the group (0.5 with each) and y only through it, so that its
// partial correlation with y given the new field is 0; x4 relates to y
// alone (0.5).
TEST(ConstructFeatureBuildTest, InputsTheNewFieldExplainsLeaveWithSelectionOn) {
  const double through = 1.2 / 3.9;
  const Matrix r = {{1, .95, .5, 0, .6},
                    {.95, 1, .5, 0, .6},
                    {.5, .5, 1, 0, through},
                    {0, 0, 0, 1, .5},
                    {.6, .6, through, .5, 1}};
  const Matrix columns = Correlated(r, 60);
  for (bool selection : {true, false}) {
    SCOPED_TRACE(selection);
    Build build;
    const ZelVariableHandleList& fields =
        RunColumns(build, {"x1", "x2", "x3", "x4", "y"}, columns, 4, ConstructionSettings(selection));
    ASSERT_NE(Constructed(FindField(fields, "feature1")), nullptr);
    EXPECT_EQ(ExcludedBy(fields.GetHandle(2), 10, 42), selection);
    EXPECT_FALSE(fields.GetHandle(3)->IsExcluded());
  }
}

// The covariance of two columns over the records where both are valid,
// weighted by the analysis weights `a` about the weighted means, divided by
// those records less one.
long double WeightedCovariance(const std::vector<double>& x, const std::vector<double>& y,
                               const std::vector<double>& a) {
  long double w = 0, mx = 0, my = 0, n = 0, co = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (std::isnan(x[i]) || std::isnan(y[i])) continue;
    w += a[i], mx += a[i] * x[i], my += a[i] * y[i], ++n;
  }
  mx /= w;
  my /= w;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!std::isnan(x[i]) && !std::isnan(y[i])) co += a[i] * (x[i] - mx) * (y[i] - my);
  }
  return co / (n - 1);
}

// Two inputs and an analysis weight of 4 on the first eleven records, 0.5
// on the rest; once complete and once with a value of v missing. The
// coefficients of the 2 x 2 principal component follow in closed form from
// the weighted covariances.
TEST(ConstructFeatureBuildTest, AnalysisWeightsEnterTheCovariances) {
  for (int gap : {-1, 5}) {
    SCOPED_TRACE(gap);
    TorVarList vars;
    vars.AddVariable(ContField("u"));
    vars.AddVariable(ContField("v"));
    vars.AddVariable(ContField("a"));
    TorSettings settings = ConstructionSettings(false);
    settings.SetString("analysisWeight", "a");
    std::vector<double> u, v, a;
    Rows rows;
    for (int i = 0; i < 24; ++i) {
      u.push_back(i);
      const double value = i < 11 ? 3.0 * i + i % 3 : 40.0 - 0.5 * i + (i % 4) * 2.0;
      v.push_back(i == gap ? std::numeric_limits<double>::quiet_NaN() : value);
      a.push_back(i < 11 ? 4.0 : 0.5);
      rows.push_back({Real(u.back()), i == gap ? Missing() : Real(value), Real(a.back())});
    }
    Build build;
    const ZelVariableHandleList& fields = RunRows(build, vars, rows, settings);
    const auto* rule = Constructed(FindField(fields, "feature1"));
    ASSERT_NE(rule, nullptr);
    ASSERT_EQ(rule->GetInputNames().size(), 2u);

    // In the group's order: variances p, then q.
    const bool uFirst = rule->GetInputNames()[0] == "u";
    const long double p = WeightedCovariance(uFirst ? u : v, uFirst ? u : v, a);
    const long double q = WeightedCovariance(uFirst ? v : u, uFirst ? v : u, a);
    const long double r = WeightedCovariance(u, v, a);
    const long double lambda = (p + q) / 2 + std::sqrt((p - q) * (p - q) / 4 + r * r);
    const long double e0 = r, e1 = lambda - p;
    const long double scale = (e0 < 0 ? -1 : 1) / std::sqrt(e0 * e0 + e1 * e1) / std::sqrt(lambda);
    const std::vector<double>& c = rule->GetParameters();
    EXPECT_NEAR(c[0], static_cast<double>(scale * e0), 1e-9);
    EXPECT_NEAR(c[1], static_cast<double>(scale * e1), 1e-9);
  }
}

// The coefficients of a constructed field as the document writes them, in
// the order of its terms: field name and constant.
std::vector<std::pair<std::string, double>> DocumentTerms(const std::string& pmml,
                                                          const std::string& field) {
  const std::size_t start = pmml.find("<DerivedField name=\"" + field + "\"");
  const std::string derived = pmml.substr(start, pmml.find("</DerivedField>", start) - start);
  const std::regex term(
      "<Constant dataType=\"double\">([^<]+)</Constant>\\s*<FieldRef field=\"([^\"]+)\"");
  std::vector<std::pair<std::string, double>> terms;
  for (std::sregex_iterator it(derived.begin(), derived.end(), term), end; it != end; ++it) {
    terms.emplace_back((*it)[2].str(), std::stod((*it)[1].str()));
  }
  return terms;
}

// Groups with negatively and positively correlated members, on different
// scales and in several orders, so that eigenvectors come from the solver
// with either sign: the first member's coefficient is always positive, and
// a member's coefficient has the sign of its correlation with the first.
TEST(ConstructFeatureBuildTest, FirstMemberWeighsPositivelyWhateverSignTheSolverGives) {
  struct Case {
    Matrix r;
    std::vector<double> scale;
  };
  const Case cases[] = {
      {{{1, -.95}, {-.95, 1}}, {1, 1}},
      {{{1, -.95}, {-.95, 1}}, {1, 4}},
      {{{1, -.95}, {-.95, 1}}, {4, 1}},
      {{{1, .95}, {.95, 1}}, {1, 4}},
      {{{1, .95}, {.95, 1}}, {4, 1}},
      {{{1, .96, -.94}, {.96, 1, -.97}, {-.94, -.97, 1}}, {1, 2, 3}},
      {{{1, -.96, -.94}, {-.96, 1, .97}, {-.94, .97, 1}}, {3, 1, 2}},
  };
  for (const Case& c : cases) {
    const std::size_t k = c.r.size();
    SCOPED_TRACE(&c - cases);
    Matrix columns = Correlated(c.r, 50);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < k; ++i) {
      names.push_back("m" + std::to_string(i));
      for (double& x : columns[i]) x = c.scale[i] * x + 5.0;
    }
    Build build;
    const ZelVariableHandleList& fields =
        RunColumns(build, names, columns, -1, ConstructionSettings(false));
    ASSERT_NE(Constructed(FindField(fields, "feature1")), nullptr);
    const auto terms = DocumentTerms(build.Pmml(), "feature1");
    ASSERT_EQ(terms.size(), k);
    const int first = std::stoi(terms[0].first.substr(1));
    EXPECT_GT(terms[0].second, 0.0) << terms[0].first;
    for (std::size_t t = 1; t < k; ++t) {
      const int member = std::stoi(terms[t].first.substr(1));
      EXPECT_EQ(terms[t].second > 0.0, c.r[first][member] > 0.0) << terms[t].first;
    }
  }
}

// x1, x2 and x3 are valid two at a time, never all three: each pair agrees
// perfectly where both are valid, so the three form a group, and the new
// field has no valid value. It is screened out, and with the members gone
// nothing is left: the build ends with warning 210113.
TEST(ConstructFeatureBuildTest, ANewFieldWithoutValuesIsScreenedAndNothingIsLeft) {
  TorVarList vars;
  for (const char* name : {"x1", "x2", "x3"}) vars.AddVariable(ContField(name));
  MemorySource source;
  for (int block = 0; block < 3; ++block) {
    for (int k = 1; k <= 8; ++k) {
      source.Add({block == 2 ? Missing() : Real(k), block == 1 ? Missing() : Real(k),
                  block == 0 ? Missing() : Real(k)});
    }
  }
  TorSettings settings = ConstructionSettings(false);
  Build build;
  build.Run(settings, vars, source);
  EXPECT_EQ(build.executeStatus.GetCode(), ZelStatusCode::kEverythingExcluded);
  EXPECT_TRUE(build.executeStatus.IsWarning());
  const ZelVariableHandleList& fields = build.Fields();
  EXPECT_TRUE(ExcludedBy(FindField(fields, "feature1"), 10, 50));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(ExcludedBy(fields.GetHandle(i), 10, 44)) << i;
}

}  // namespace
