#include <gtest/gtest.h>

#include <memory>

#include "settings/ZelVariableHandleInfo.h"
#include "statistics/ZelUnivarNumeric.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using Var = std::unique_ptr<ITorVariable>;

// (0, 0) names no operation, so no rule is ever made for it.
const ZelTransformation::ZelOperationPair kNoRule{};

const ZelStatistic::ContSummary* Summary(const ZelVariableHandleInfo& handle) {
  const auto* numeric = dynamic_cast<const ZelStatistic::ZelUnivarNumeric*>(handle.GetUnivariate());
  return numeric != nullptr ? &numeric->GetSummary() : nullptr;
}

TEST(VariableHandleInfoTest, HostFieldsGetTheUnivariateStatisticOfTheirLevel) {
  ZelSettings settings;
  settings.frequencyWeightIndex = 1;
  settings.analysisWeightIndex = 1;  // the same field: frequency weight only
  Var level4(ContField("x")), nominal(NominalField("n", false)), ordinal(OrdinalField("o")),
      text(NominalField("s", true));
  level4->SetMeasureLevel(kLevelContinuousOther);
  ZelVariableHandleInfo cont(&settings, *level4, 0), weight(&settings, *nominal, 1),
      ord(&settings, *ordinal, 2), str(&settings, *text, 3);
  EXPECT_TRUE(cont.IsContinuous());
  EXPECT_EQ(cont.GetUnivariate()->GetType(), ZelStatistic::kUnivariateCont);
  EXPECT_TRUE(weight.IsFrequencyWeight() && !weight.IsAnalysisWeight());
  EXPECT_TRUE(Summary(weight)->HasNoMoments());
  EXPECT_EQ(Summary(weight)->GetDistinctLimit(), 100u);
  EXPECT_FALSE(Summary(ord)->HasNoMoments());
  EXPECT_EQ(Summary(ord)->GetDistinctLimit(), 10u);
  EXPECT_EQ(str.GetUnivariate()->GetType(), ZelStatistic::kUnivariateStringCat);
}

TEST(VariableHandleInfoTest, NewDerivedFieldsCreateTheirVariable) {
  ZelSettings settings;
  ZelVariableHandleInfo target(&settings, "t", "T", MeasureKind::kContinuous, true, kStorageInteger,
                               kNoRule, 5);
  EXPECT_TRUE(target.IsDerived() && target.IsContinuous());
  EXPECT_EQ(target.GetRole(), kRoleDerivedTarget);
  EXPECT_EQ(target.GetStorage(), kStorageInteger);
  EXPECT_EQ(target.GetUnivariate(), nullptr);  // no rule, no statistic

  ZelVariableHandleInfo text(&settings, "s", "", MeasureKind::kNominal, false, kStorageString,
                             kNoRule, 6),
      codes(&settings, "c", "", MeasureKind::kNominal, false, kStorageReal, kNoRule, 7),
      ranks(&settings, "r", "", MeasureKind::kOrdinal, false, kStorageInteger, kNoRule, 8);
  EXPECT_EQ(text.GetMeasureLevel(), kLevelCategoricalString);
  EXPECT_EQ(text.GetRole(), kRoleInput);
  EXPECT_EQ(codes.GetMeasureLevel(), kLevelCategorical);
  EXPECT_EQ(codes.GetMeasureKind(), MeasureKind::kNominal);
  EXPECT_EQ(ranks.GetMeasureKind(), MeasureKind::kOrdinal);
}

TEST(VariableHandleInfoTest, PassesFeedLiveStatisticsUntilDone) {
  ZelSettings settings;
  settings.frequencyWeightIndex = 1;
  Var x(ContField("x")), w(ContField("w"));
  ZelVariableHandleInfo field(&settings, *x, 0), weight(&settings, *w, 1);
  for (double v : {2.0, 6.0}) {
    const RawRecord record = MakeRecord({Real(v), Real(3)});
    ASSERT_TRUE(field.ProcessRecord(record).IsOK());
    ASSERT_TRUE(weight.ProcessRecord(record).IsOK());
  }
  ASSERT_TRUE(field.EndPass().IsOK());
  weight.EndPass();
  EXPECT_EQ(Summary(field)->GetValidCount(), 6);
  EXPECT_FALSE(field.NeedsStatistics());

  // The histogram pass: a weight field only ever needs its own summary.
  ASSERT_TRUE(field.CreateHistogram(0).IsOK());
  ASSERT_TRUE(weight.CreateHistogram(1).IsOK());
  EXPECT_TRUE(field.NeedsStatistics());
  EXPECT_FALSE(weight.NeedsStatistics());
  ASSERT_TRUE(field.ProcessRecord(MakeRecord({Real(4), Real(1)})).IsOK());
  EXPECT_EQ(Summary(field)->GetValidCount(), 6);  // the finished summary is not fed
  field.Exclude({3, 18});
  EXPECT_FALSE(field.NeedsStatistics());
}

}  // namespace
