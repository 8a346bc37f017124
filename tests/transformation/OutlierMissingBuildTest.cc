// Outliers and missing values in whole builds: which fields get a copy, what
// the copies' rules do to values (weights included), and the statistics the
// copies take over, against the data with the replacements filled in.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "statistics/ZelUnivarStringCat.h"
#include "transformation/TransformTestUtil.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace transformtest;

// A working record of the build's width with `cells` at the front.
RawRecord Working(const ZelVariableHandleList& fields, const std::vector<Cell>& cells) {
  RawRecord record = MakeRecord(cells);
  record.Resize(fields.Count());
  return record;
}

TEST(OutlierBuildTest, BandOfRobustDeviationsNarrowedByAnalysisWeight) {
  for (const char* operation : {"coerceToCutoffVal", "setToMissingVal"}) {
    SCOPED_TRACE(operation);
    TorVarList vars;
    vars.AddVariable(ContField("x"));
    vars.AddVariable(ContField("f"));
    vars.AddVariable(ContField("a"));
    vars.AddVariable(ContField("y", kStorageReal, kRoleTarget));
    vars.AddVariable(ContField("k"));
    vars.SetFrequencyWeightIndex(1);
    TorSettings settings = EarlyStepsOnly();
    settings.SetBool("detectFeatureOutliers", true);
    settings.SetString("outliersOperation", operation);
    settings.SetString("analysisWeight", "a");
    settings.SetBool("checkFeatureMeasureLevel", false);
    // One far value of x, weighing two records; the target has one too. k
    // is constant apart from that record.
    Rows rows;
    for (int i = 0; i < 60; ++i) {
      rows.push_back({Real(10 + i % 9), Real(1), Real(1 + i % 2), Real(i % 7), Real(5)});
    }
    rows.push_back({Real(500), Real(2), Real(1), Real(900), Real(100)});
    Build build;
    const ZelVariableHandleList& fields = RunEarly(build, vars, rows, settings);

    const ZelVariableHandleInfo* copy = FindField(fields, "x_transformed");
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(ExcludedBy(fields.GetHandle(0), 6, operation[0] == 'c' ? 45 : 46));
    EXPECT_FALSE(fields.GetHandle(3)->IsExcluded());  // targets only with detectTargetOutliers
    // Without spread in what is kept, k's copy goes too.
    EXPECT_TRUE(ExcludedBy(fields.GetHandle(4), 6, operation[0] == 'c' ? 45 : 46));
    EXPECT_TRUE(ExcludedBy(FindField(fields, "k_Outlier"), 6, 47));
    ZelTransformation::ZelTransformRule* rule = copy->GetRule();
    const std::vector<double>& p = rule->GetParameters();
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0], 2.0);  // analysis weight field
    EXPECT_EQ(p[1], 1.0);  // frequency weight field
    EXPECT_EQ(p[4], 3.0);
    const double upper = p[2] + p[3] * 3.0;
    const double halfUpper = p[2] + p[3] * 3.0 / 2.0;
    const bool trim = operation[0] == 'c';

    // The far value is trimmed to the band's edge or blanked, for both of
    // the records it weighs.
    const ZelStatistic::ZelContSummary& s = SummaryOf(copy);
    EXPECT_EQ(s.GetMissingCount(), trim ? 0 : 2);
    EXPECT_DOUBLE_EQ(s.GetMaximum(), trim ? upper : 18.0);

    // On the edge a value stays; an integer stays an integer. An analysis
    // weight of 4 halves the band.
    EXPECT_EQ(rule->Apply(Working(fields, {Real(upper), Real(1), Real(1)})).GetDouble(), upper);
    const RawData& inside = rule->Apply(Working(fields, {Int(12), Real(1), Real(1)}));
    EXPECT_EQ(inside.GetStorage(), kStorageInteger);
    EXPECT_EQ(inside.GetInteger(), 12);
    const RawData& narrowed = rule->Apply(Working(fields, {Real(upper - 0.01), Real(1), Real(4)}));
    EXPECT_EQ(narrowed.IsMissing(), !trim);
    if (trim) {
      EXPECT_DOUBLE_EQ(narrowed.GetDouble(), halfUpper);
    }
    EXPECT_TRUE(rule->Apply(Working(fields, {Missing(), Real(1), Real(1)})).IsMissing());
  }
}

TEST(MissingValueBuildTest, ReplacementByKindAndTheCopysStatistics) {
  TorVarList vars;
  vars.AddVariable(ContField("c"));
  ITorVariable* integer = ContField("i", kStorageInteger);
  integer->GetEncoder()->AddMissingValue(999);
  vars.AddVariable(integer);
  vars.AddVariable(NominalField("s", true));
  vars.AddVariable(OrdinalField("o"));
  const double c[] = {1, 2, 4, 7, 11, 16, 22, 29};
  const int i[] = {1, 2, 3, 4, 2, 3, 4, 1, 4, 999};
  const char* s[] = {"a", "b", "a", "a", "b", "a", "", "a", "b", ""};
  const int o[] = {1, 1, 2, 3, 3, 3, 3, 2, 0, 0};
  Rows rows;
  for (int k = 0; k < 10; ++k) {
    rows.push_back({k < 8 ? Real(c[k]) : Missing(), Int(i[k]), *s[k] ? Str(s[k]) : Missing(),
                    o[k] ? Int(o[k]) : Missing()});
  }
  TorSettings settings = EarlyStepsOnly();
  for (const char* key : {"replaceScaleFeaturesMissingValue", "replaceNominalFeaturesMissingValue",
                          "replaceOrdinalFeaturesMissingValue"}) {
    settings.SetBool(key, true);
  }
  settings.SetBool("checkFeatureMeasureLevel", false);
  settings.SetBool("trimBlanks", false);
  Build build;
  const ZelVariableHandleList& fields = RunEarly(build, vars, rows, settings);
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(0), 7, 30));
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(2), 7, 31));
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(3), 7, 32));
  EXPECT_FALSE(fields.GetHandle(4)->IsExcluded());  // x has nothing missing: no copy
  ASSERT_EQ(fields.Count(), 9);

  // Continuous: the mean, and the statistic of the data with it filled in.
  const ZelVariableHandleInfo* cCopy = FindField(fields, "c_transformed");
  long double mean = 0, m2 = 0, m3 = 0;
  for (double v : c) mean += v / 8;
  for (double v : c) m2 += (v - mean) * (v - mean), m3 += std::pow(v - mean, 3);
  const long double sd = std::sqrt(m2 / 9);  // two filled values add nothing
  const ZelStatistic::ZelContSummary& cs = SummaryOf(cCopy);
  EXPECT_DOUBLE_EQ(cCopy->GetRule()->GetParameters().at(0), static_cast<double>(mean));
  EXPECT_NEAR(cs.GetStdDev(), static_cast<double>(sd), 1e-12);
  EXPECT_NEAR(cs.GetSkewness(), static_cast<double>(10 * m3 / (9 * 8 * sd * sd * sd)), 1e-12);
  EXPECT_EQ(cs.GetMissingCount(), 0);
  EXPECT_EQ(cs.GetValidCount(), 10);

  // An integer missing value takes the mean 24 / 9 truncated: 2.
  const ZelVariableHandleInfo* iCopy = FindField(fields, "i_transformed");
  RawRecord record = Working(fields, {});
  record[1].SetMissingValue(kStorageInteger);
  const RawData& replaced = iCopy->GetRule()->Apply(record);
  EXPECT_EQ(replaced.GetStorage(), kStorageInteger);
  EXPECT_FALSE(replaced.IsMissing());
  EXPECT_EQ(replaced.GetInteger(), 2);

  // Nominal text: the mode a, 5 + 2 records. Ordinal: the median 2, not the mode 3.
  const auto& text = dynamic_cast<const ZelStatistic::ZelUnivarStringCat&>(
      *FindField(fields, "s_transformed")->GetUnivariate());
  EXPECT_EQ(text.GetFrequency("a"), 7);
  EXPECT_EQ(text.GetFrequency("b"), 3);
  EXPECT_EQ(text.GetMissingCount(), 0);
  record[2].SetMissingValue(kStorageString);
  EXPECT_EQ(FindField(fields, "s_transformed")->GetRule()->Apply(record).GetString(), "a");
  const ZelVariableHandleInfo* oCopy = FindField(fields, "o_transformed");
  EXPECT_EQ(oCopy->GetRule()->GetParameters().at(0), 2.0);
  EXPECT_EQ(SummaryOf(oCopy).GetFrequencies().at(2.0), 4);
}

}  // namespace
