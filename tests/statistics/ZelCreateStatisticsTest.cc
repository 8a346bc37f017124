#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelVariableHandleList.h"
#include "statistics/ZelCreateStatistics.h"
#include "statistics/ZelFormat.h"
#include "statistics/ZelUnivarContHistogram.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using ZelTransformation::ZelOperationPair;

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

  ASSERT_TRUE(ZelStatistic::CreateStatistics(&list, {1, 2, 3, 4, 9, 5}).IsOK());
  const bool flagged[] = {true, true, false, true, false, true};
  const bool histogram[] = {true, false, false, true, false, true};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(list.GetHandle(i)->HasHistogramFlag(), flagged[i]) << i;
    EXPECT_EQ(list.GetHandle(i)->GetHistogram() != nullptr, histogram[i]) << i;
  }
  const auto* bins =
      dynamic_cast<const ZelStatistic::ZelUnivarContHistogram*>(list.GetHandle(0)->GetHistogram());
  ASSERT_NE(bins, nullptr);
  EXPECT_EQ(bins->GetUpperBounds()[0], 1);
  list.BeginPass();
  EXPECT_EQ(list.GetPending(), (std::vector<int>{0, 5}));  // excluded fields are not fed

  // A continuous field without a univariate statistic cannot have a histogram.
  ASSERT_EQ(list.AddDerivedCopy("copy", *vars[0], ZelOperationPair{}), 6);
  EXPECT_EQ(ZelStatistic::CreateStatistics(&list, {5}).GetCode(), ZelStatusCode::kMissingObject);
}

TEST(StatisticsTextTest, NumberTexts) {
  EXPECT_EQ(ZelStatistic::FormatInteger(-9223372036854775807LL), "-9223372036854775807");
  EXPECT_EQ(ZelStatistic::FormatPaddedInteger(7, 2, '0'), "07");
  EXPECT_EQ(ZelStatistic::FormatPaddedInteger(123, 2, '0'), "123");
  EXPECT_EQ(ZelStatistic::FormatDouble(0.1), "0.1");
  EXPECT_EQ(ZelStatistic::FormatDouble(-1e20), "-1e+20");
  EXPECT_EQ(ZelStatistic::FormatDouble(1.0 / 3.0), "0.333333333333333");
}

}  // namespace
