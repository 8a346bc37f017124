// Rescaling in whole builds: which fields are put on the common scale, and
// the statistics their copies take over without a pass, against the known
// distribution of the data: 40, 50 and 60 ten times each and two missing
// values, so mean 50 and standard deviation sqrt(2000 / 29).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarNumeric.h"
#include "transformation/TransformTestUtil.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace transformtest;

const double kSpread = std::sqrt(2000.0 / 29.0);

const ZelStatistic::ContSummary& SummaryOf(const ZelVariableHandleInfo* field) {
  return dynamic_cast<const ZelStatistic::ZelUnivarNumeric&>(*field->GetUnivariate()).GetSummary();
}

// The field rescaling made from field `source`; null when there is none.
ZelVariableHandleInfo* CopyOf(const ZelVariableHandleList& fields, int source) {
  for (int i = 0; i < fields.Count(); ++i) {
    ZelVariableHandleInfo* field = fields.GetHandle(i);
    const ZelTransformation::ZelTransformRule* rule = field->GetRule();
    if (rule != nullptr && rule->GetPair().step == 10 && rule->GetSourceIndex() == source) {
      return field;
    }
  }
  return nullptr;
}

// The value of the field's rule for one value of its source (field 0).
RawData Rescaled(const ZelVariableHandleList& fields, ZelVariableHandleInfo* field,
                 const Cell& value) {
  RawRecord record = MakeRecord({value});
  record.Resize(fields.Count());
  return field->GetRule()->Apply(record);
}

TEST(RescaleBuildTest, ZscoreAndMinMaxRewriteTheStatisticOfTheData) {
  struct Case {
    const char* method;
    double first, second;  // zScore_mean and zScore_SD, or minMax_min and minMax_max
    uint32_t action;
    double minimum, maximum, mean, sd;  // of the rescaled field
    double at70;                        // the rule's value for 70
  };
  const Case cases[] = {
      {"zScore", 0, 1, 39, -10 / kSpread, 10 / kSpread, 0, 1, 20 / kSpread},
      {"zScore", 100, 15, 39, 100 - 150 / kSpread, 100 + 150 / kSpread, 100, 15,
       100 + 300 / kSpread},
      // Values beyond the training range map beyond the new one.
      {"minMax", -20, 80, 40, -20, 80, 30, 5 * kSpread, 130},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.method << " " << c.first << " " << c.second);
    TorVarList vars;
    vars.AddVariable(ContField("v"));
    vars.AddVariable(ContField("t", kStorageReal, kRoleTarget));
    Rows rows;
    for (int i = 0; i < 32; ++i) {
      rows.push_back({i < 2 ? Missing() : Real(40 + 10 * (i % 3)), Real(i)});
    }
    TorSettings settings = EarlyStepsOnly();
    settings.SetBool("checkFeatureMeasureLevel", false);  // three values stay continuous
    settings.SetString("scaleFeatureRescalingMethod", c.method);
    const bool zscore = c.action == 39;
    settings.SetDouble(zscore ? "zScore_mean" : "minMax_min", c.first);
    settings.SetDouble(zscore ? "zScore_SD" : "minMax_max", c.second);
    Build build;
    const ZelVariableHandleList& fields = RunEarly(build, vars, rows, settings);

    EXPECT_TRUE(ExcludedBy(fields.GetHandle(0), 10, c.action));
    EXPECT_FALSE(fields.GetHandle(1)->IsExcluded());  // a target keeps its scale
    EXPECT_TRUE(ExcludedBy(fields.GetHandle(2), 10, c.action));  // x, the other input
    ZelVariableHandleInfo* copy = CopyOf(fields, 0);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetRule()->GetPair().action, c.action);
    EXPECT_FALSE(copy->IsExcluded());
    const ZelStatistic::ContSummary& s = SummaryOf(copy);
    EXPECT_EQ(s.GetValidCount(), 30);
    EXPECT_EQ(s.GetMissingCount(), 2);
    EXPECT_NEAR(s.GetMinimum(), c.minimum, 1e-12);
    EXPECT_NEAR(s.GetMaximum(), c.maximum, 1e-12);
    EXPECT_NEAR(s.GetMean(), c.mean, 1e-12);
    EXPECT_NEAR(s.GetStdDev(), c.sd, 1e-12);
    // Symmetric data: a valid skewness of 0 before and after.
    EXPECT_TRUE(s.IsSkewnessValid());
    EXPECT_NEAR(s.GetSkewness(), 0.0, 1e-12);

    EXPECT_NEAR(Rescaled(fields, copy, Real(70)).GetDouble(), c.at70, 1e-12);
    EXPECT_NEAR(Rescaled(fields, copy, Int(50)).GetDouble(), c.mean, 1e-12);
    EXPECT_EQ(Rescaled(fields, copy, Real(70)).GetStorage(), kStorageReal);
    EXPECT_TRUE(Rescaled(fields, copy, Missing()).IsMissing());
  }
}

TEST(RescaleBuildTest, OnByDefaultToMeanZeroAndSdOneAndWarnsWithoutContinuousInput) {
  for (const bool withInput : {true, false}) {
    SCOPED_TRACE(withInput);
    TorVarList vars;
    vars.AddVariable(NominalField("s", true));
    vars.AddVariable(ContField("t", kStorageReal, kRoleTarget));
    if (withInput) vars.AddVariable(ContField("v"));
    MemorySource source;
    for (int i = 0; i < 30; ++i) {
      source.Add({Str(i % 2 ? "a" : "b"), Real(i % 7), Real(40 + 10 * (i % 3))});
    }
    TorSettings settings;
    settings.SetBool("detectFeatureOutliers", false);
    settings.SetBool("checkFeatureMeasureLevel", false);
    Build build;
    build.Run(settings, vars, source);
    ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
    EXPECT_EQ(HasWarning(build.warnings, ZelStatusCode::kRescaleWithoutContinuousInput),
              !withInput);
    const ZelVariableHandleList& fields = build.Fields();
    if (!withInput) continue;
    EXPECT_TRUE(ExcludedBy(fields.GetHandle(2), 10, 39));
    ASSERT_NE(CopyOf(fields, 2), nullptr);
    const ZelStatistic::ContSummary& s = SummaryOf(CopyOf(fields, 2));
    EXPECT_NEAR(s.GetMean(), 0.0, 1e-12);
    EXPECT_NEAR(s.GetStdDev(), 1.0, 1e-12);
  }
}

}  // namespace
