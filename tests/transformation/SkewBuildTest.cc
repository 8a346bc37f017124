// The skewness step in whole builds: which inputs it transforms (the
// threshold exactly, missing values, fields without spread), the Box-Cox
// exponent against a profile likelihood computed here, the signed logarithm,
// the statistics the copy takes over, weights, and the rescaling that
// follows it once.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "transformation/TransformTestUtil.h"
#include "transformation/ZelSkewTransformFunctionRule.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace transformtest;
using ZelTransformation::ZelSkewTransformFunctionRule;

TorSettings SkewSettings(double threshold, const char* method = "boxCox") {
  TorSettings settings = FieldsAsGiven();
  settings.SetBool("transformSkewedInputs", true);
  settings.SetDouble("skewnessThreshold", threshold);
  settings.SetString("skewTransformMethod", method);
  return settings;
}

// One continuous input x over `values` (missing where NaN).
const ZelVariableHandleList& RunX(Build& build, const std::vector<double>& values,
                                  const TorSettings& settings, int weighted = 0) {
  static std::vector<std::unique_ptr<TorVarList>> keep;
  keep.push_back(std::make_unique<TorVarList>());
  TorVarList& vars = *keep.back();
  vars.AddVariable(ContField("x"));
  if (weighted > 0) {
    vars.AddVariable(ContField("f"));
    vars.SetFrequencyWeightIndex(1);
  }
  Rows rows;
  for (double v : values) {
    std::vector<Cell> row = {std::isnan(v) ? Missing() : Real(v)};
    if (weighted > 0) row.push_back(Real(weighted));
    rows.push_back(row);
  }
  return RunRows(build, vars, rows, settings);
}

const ZelSkewTransformFunctionRule* SkewRule(const ZelVariableHandleInfo* field) {
  return field == nullptr
             ? nullptr
             : dynamic_cast<const ZelSkewTransformFunctionRule*>(field->GetRule());
}

double Apply(const ZelVariableHandleList& fields, const ZelVariableHandleInfo* field, double x) {
  RawRecord record(fields.Count());
  record[0].SetDouble(x);
  const RawData& out = field->GetRule()->Apply(record);
  return out.IsMissing() ? std::numeric_limits<double>::quiet_NaN() : out.GetReal();
}

// The exponent of the grid -3, -2.5, ..., 3 whose profile log-likelihood
// (lambda - 1) sum ln(x - shift) - n/2 ln(variance) is largest, shift being
// the smallest value less 1.
double BestExponent(const std::vector<double>& values) {
  double minimum = values.front();
  for (double v : values) minimum = std::min(minimum, v);
  const double n = static_cast<double>(values.size());
  double best = 0.0, bestL = -std::numeric_limits<double>::infinity();
  for (int k = -6; k <= 6; ++k) {
    const double lambda = k / 2.0;
    double logSum = 0.0, sum = 0.0, squares = 0.0;
    for (double v : values) {
      const double u = v - minimum + 1.0;
      const double y = k == 0 ? std::log(u) : (std::pow(u, lambda) - 1.0) / lambda;
      logSum += std::log(u);
      sum += y;
      squares += y * y;
    }
    const double variance = squares / n - (sum / n) * (sum / n);
    const double l = (lambda - 1.0) * logSum - n / 2.0 * std::log(variance);
    if (l > bestL) {
      bestL = l;
      best = lambda;
    }
  }
  return best;
}

struct Moments {
  double mean = 0.0, sd = 0.0;
};

Moments MomentsOf(const std::vector<double>& values) {
  Moments m;
  for (double v : values) m.mean += v / values.size();
  for (double v : values) m.sd += (v - m.mean) * (v - m.mean) / (values.size() - 1.0);
  m.sd = std::sqrt(m.sd);
  return m;
}

// Shifted values e^0 ... e^8 and a few more of a long right tail.
std::vector<double> RightTail() {
  std::vector<double> values;
  for (int k = 0; k <= 8; ++k) values.push_back(9 + std::exp(k));
  for (double v : {12.0, 13.0, 15.0, 19.0, 30.0}) values.push_back(v);
  return values;
}

TEST(SkewBuildTest, BoxCoxTakesTheExponentOfLargestLikelihoodAndTheCopyItsMoments) {
  const std::vector<double> values = RightTail();
  Build build;
  const ZelVariableHandleList& fields = RunX(build, values, SkewSettings(1.0));
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(0), 10, 51));
  const ZelVariableHandleInfo* copy = FindField(fields, "x_transformed");
  const ZelSkewTransformFunctionRule* rule = SkewRule(copy);
  ASSERT_NE(rule, nullptr);
  EXPECT_FALSE(rule->IsSignedLog());
  EXPECT_EQ(rule->GetLambda(), BestExponent(values));
  EXPECT_EQ(rule->GetShift(), 9.0);
  EXPECT_EQ(rule->GetParameters(), (std::vector<double>{rule->GetLambda(), 9.0}));

  std::vector<double> transformed;
  for (double v : values) {
    const double u = v - 9.0;
    const double lambda = rule->GetLambda();
    transformed.push_back(lambda == 0.0 ? std::log(u) : (std::pow(u, lambda) - 1) / lambda);
    EXPECT_NEAR(Apply(fields, copy, v), transformed.back(), 1e-12) << v;
  }
  // Below the smallest value seen, new data take its transform, 0.
  EXPECT_EQ(Apply(fields, copy, -1e6), 0.0);
  const Moments m = MomentsOf(transformed);
  const ZelStatistic::ZelContSummary& s = SummaryOf(copy);
  EXPECT_NEAR(s.GetMean(), m.mean, 1e-12);
  EXPECT_NEAR(s.GetStdDev(), m.sd, 1e-12);
  EXPECT_EQ(s.GetMinimum(), 0.0);
  EXPECT_NEAR(s.GetMaximum(), transformed[8], 1e-12);
  EXPECT_LT(std::fabs(s.GetSkewness()), std::fabs(SummaryOf(fields.GetHandle(0)).GetSkewness()));
}

TEST(SkewBuildTest, SignedLogOfBothSignsAndZero) {
  const std::vector<double> logs = {-2, 0, 1, 2, 3, 6, 9, 9, 9};
  std::vector<double> values;
  for (double l : logs) values.push_back((l < 0 ? -1 : 1) * std::expm1(std::fabs(l)));
  Build build;
  const ZelVariableHandleList& fields = RunX(build, values, SkewSettings(0.1, "signedLog"));
  const ZelVariableHandleInfo* copy = FindField(fields, "x_transformed");
  const ZelSkewTransformFunctionRule* rule = SkewRule(copy);
  ASSERT_NE(rule, nullptr);
  EXPECT_TRUE(rule->IsSignedLog());
  EXPECT_EQ(rule->GetTextParameters(), std::vector<std::string>{"signedLog"});
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_NEAR(Apply(fields, copy, values[i]), logs[i], 1e-12) << values[i];
  }
  EXPECT_EQ(Apply(fields, copy, 0.0), 0.0);
  EXPECT_NEAR(Apply(fields, copy, -1e300), -std::log(1e300), 1e-9);
  const Moments m = MomentsOf(logs);
  const ZelStatistic::ZelContSummary& s = SummaryOf(copy);
  EXPECT_NEAR(s.GetMean(), m.mean, 1e-12);
  EXPECT_NEAR(s.GetStdDev(), m.sd, 1e-12);
  EXPECT_NEAR(s.GetMinimum(), -2.0, 1e-12);
  EXPECT_NEAR(s.GetMaximum(), 9.0, 1e-12);
}

TEST(SkewBuildTest, OnlyAnAbsoluteSkewnessAboveTheThresholdIsTransformed) {
  // Skewed to the left: the absolute value counts.
  std::vector<double> values;
  for (double v : RightTail()) values.push_back(-v);
  Build first;
  const double skewness = SummaryOf(RunX(first, values, SkewSettings(100.0)).GetHandle(0))
                              .GetSkewness();
  ASSERT_LT(skewness, -1.0);
  EXPECT_EQ(FindField(first.Fields(), "x_transformed"), nullptr);

  Build at;
  EXPECT_EQ(FindField(RunX(at, values, SkewSettings(-skewness)), "x_transformed"), nullptr);
  Build below;
  const double under = std::nextafter(-skewness, 0.0);
  EXPECT_NE(SkewRule(FindField(RunX(below, values, SkewSettings(under)), "x_transformed")),
            nullptr);
}

TEST(SkewBuildTest, ReplacedMissingValuesAreTransformedAndKeptMissingOtherwise) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> values = RightTail();
  values.insert(values.begin() + 3, {nan, nan});
  std::vector<double> present = RightTail();
  const double mean = MomentsOf(present).mean;

  for (bool replace : {true, false}) {
    SCOPED_TRACE(replace);
    TorSettings settings = SkewSettings(1.0);
    settings.SetBool("replaceScaleFeaturesMissingValue", replace);
    Build build;
    const ZelVariableHandleList& fields = RunX(build, values, settings);
    const ZelVariableHandleInfo* copy = FindField(fields, "x_transformed");
    const ZelSkewTransformFunctionRule* rule = SkewRule(copy);
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->GetInputName(0), replace ? "x_ReplaceMissingCont" : "x");
    std::vector<double> seen = present;
    if (replace) seen.insert(seen.end(), {mean, mean});
    EXPECT_EQ(rule->GetLambda(), BestExponent(seen));
    std::vector<double> transformed;
    for (double v : seen) transformed.push_back(rule->Transform(v));
    const ZelStatistic::ZelContSummary& s = SummaryOf(copy);
    EXPECT_NEAR(s.GetMean(), MomentsOf(transformed).mean, 1e-12);
    EXPECT_NEAR(s.GetStdDev(), MomentsOf(transformed).sd, 1e-12);
    EXPECT_EQ(s.GetMissingCount(), replace ? 0 : 2);
    EXPECT_TRUE(std::isnan(Apply(fields, copy, nan)) || replace);
  }
}

TEST(SkewBuildTest, FieldsWithoutSpreadOrValuesAreNotTransformed) {
  TorSettings keep = SkewSettings(0.01);
  keep.SetBool("excludeFeatureIfHasHigherPercentageOfMissingValue", false);
  // A constant x, an x without values, beside a symmetric u (skewness 0).
  for (bool constant : {true, false}) {
    SCOPED_TRACE(constant);
    TorVarList vars;
    vars.AddVariable(ContField("x"));
    vars.AddVariable(ContField("u"));
    Rows rows;
    for (int i = 0; i < 20; ++i) {
      rows.push_back({constant ? Real(4.0) : Missing(), Real(static_cast<double>(i % 5))});
    }
    Build build;
    const ZelVariableHandleList& fields = RunRows(build, vars, rows, keep);
    for (int i = 0; i < fields.Count(); ++i) {
      EXPECT_EQ(SkewRule(fields.GetHandle(i)), nullptr) << fields.GetHandle(i)->GetName();
    }
  }
}

TEST(SkewBuildTest, AFrequencyWeightCountsAsRepeatedRecords) {
  for (const char* method : {"boxCox", "signedLog"}) {
    SCOPED_TRACE(method);
    std::vector<double> twice;
    for (double v : RightTail()) twice.insert(twice.end(), {v, v});
    Build weighted, repeated;
    const ZelSkewTransformFunctionRule* a =
        SkewRule(FindField(RunX(weighted, RightTail(), SkewSettings(1.0, method), 2),
                           "x_transformed"));
    const ZelSkewTransformFunctionRule* b =
        SkewRule(FindField(RunX(repeated, twice, SkewSettings(1.0, method)), "x_transformed"));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->GetLambda(), b->GetLambda());
    const ZelStatistic::ZelContSummary& sa = SummaryOf(FindField(weighted.Fields(), "x_transformed"));
    const ZelStatistic::ZelContSummary& sb = SummaryOf(FindField(repeated.Fields(), "x_transformed"));
    EXPECT_NEAR(sa.GetMean(), sb.GetMean(), 1e-12);
    EXPECT_NEAR(sa.GetStdDev(), sb.GetStdDev(), 1e-12);
  }
}

// The rescaling waits for the transform and rescales each input once: the
// skewed one after its transform, the symmetric one as before.
TEST(SkewBuildTest, RescalingFollowsTheTransformOnce) {
  TorVarList vars;
  vars.AddVariable(ContField("x"));
  vars.AddVariable(ContField("u"));
  Rows rows;
  const std::vector<double> values = RightTail();
  for (std::size_t i = 0; i < values.size(); ++i) {
    rows.push_back({Real(values[i]), Real(static_cast<double>(i % 5))});
  }
  TorSettings settings = SkewSettings(1.0);
  settings.SetString("scaleFeatureRescalingMethod", "zScore");
  Build build;
  const ZelVariableHandleList& fields = RunRows(build, vars, rows, settings);
  int rescaled = 0;
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    if (field->GetRule() != nullptr && field->GetRule()->GetPair().action == 39) ++rescaled;
  }
  EXPECT_EQ(rescaled, 2);
  const ZelVariableHandleInfo* skewed = FindField(fields, "x_SkewTransform");
  ASSERT_NE(skewed, nullptr);
  EXPECT_TRUE(ExcludedBy(skewed, 10, 39));
  const ZelVariableHandleInfo* x = FindField(fields, "x_transformed");
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->GetRule()->GetInputName(0), "x_SkewTransform");
  EXPECT_EQ(FindField(fields, "u_transformed")->GetRule()->GetInputName(0), "u");
  // The rescaled copy maps the transformed values to mean 0 and SD 1.
  std::vector<double> transformed;
  for (double v : values) transformed.push_back(SkewRule(skewed)->Transform(v));
  const Moments m = MomentsOf(transformed);
  RawRecord record(fields.Count());
  record[static_cast<std::size_t>(x->GetRule()->GetInputIndices()[0])].SetDouble(transformed[8]);
  EXPECT_NEAR(x->GetRule()->Apply(record).GetReal(), (transformed[8] - m.mean) / m.sd, 1e-9);
  EXPECT_NEAR(SummaryOf(x).GetMean(), 0.0, 1e-12);
}

}  // namespace
