#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarStringCat.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using ZelStatistic::ZelUnivarStringCat;

// Claims the string kind without being the string statistic.
class Impostor : public ZelStatistic::ZelStatistics {
 public:
  explicit Impostor(const ZelSettings* settings)
      : ZelStatistics(settings, ZelStatistic::kUnivariateStringCat) {}
  TorStatus AddRecord(const RawRecord&) override { return TorStatus(); }
  TorStatus Finalize() override { return TorStatus(); }
};

TEST(UnivarStringCatTest, CountsCategoriesUpToTheLimitAndFindsTheMode) {
  ZelSettings settings;
  settings.frequencyWeightIndex = 1;
  settings.analysisWeightIndex = 2;
  settings.screeningThresholdForNominal = 3;
  ZelUnivarStringCat stat(&settings, 0), overflowing(&settings, 0);
  auto add = [&](ZelUnivarStringCat& to, const Cell& value, double f, double a = 1.0) {
    EXPECT_TRUE(to.AddRecord(MakeRecord({value, Real(f), Real(a)})).IsOK());
  };
  for (auto* to : {&stat, &overflowing}) {
    add(*to, Str("b"), 2.7, 9.0);  // counts 2; the analysis weight plays no part
    add(*to, Str("a"), 1.0);
    add(*to, Str("a"), 1.0);
    add(*to, Str("c"), 0.5);
    add(*to, Missing(), 3.0);
  }
  stat.Finalize();
  EXPECT_EQ(stat.GetValidCount(), 4);
  EXPECT_EQ(stat.GetMissingCount(), 3);
  EXPECT_EQ(stat.GetFrequency("c"), 0);
  EXPECT_EQ(stat.GetCategories(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(stat.GetMode(), "a");  // ties with "b": the first in byte order wins

  for (const char* text : {"B", "Z", "a"}) add(overflowing, Str(text), 1.0);
  overflowing.Finalize();
  EXPECT_EQ(overflowing.GetTableSize(), 4u);
  EXPECT_EQ(overflowing.GetFrequency("a"), 2);  // no longer counted past the limit
  EXPECT_EQ(overflowing.GetMode(), "");

  ZelUnivarStringCat copy(&settings, 0);
  ASSERT_TRUE(copy.CopyFrom(stat).IsOK());
  EXPECT_TRUE(copy.IsInformationCollected());
  EXPECT_EQ(copy.GetMode(), "a");
}

TEST(UnivarStringCatTest, ErrorsAreKeptAndReturnedByLaterCalls) {
  ZelSettings settings;
  ZelUnivarStringCat stat(&settings, 0);
  EXPECT_EQ(stat.AddRecord(MakeRecord({Int(3)})).GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(stat.AddRecord(MakeRecord({Str("x")})).GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(stat.GetValidCount(), 0);

  ZelStatistic::ZelUnivarCont numbers(&settings, 0);
  ZelUnivarStringCat wrongKind(&settings, 0);
  EXPECT_EQ(wrongKind.CopyFrom(numbers).GetCode(), ZelStatusCode::kMissingStatistic);
  EXPECT_EQ(wrongKind.AddRecord(MakeRecord({Str("x")})).GetCode(),
            ZelStatusCode::kMissingStatistic);
  Impostor impostor(&settings);
  ZelUnivarStringCat wrongClass(&settings, 0);
  EXPECT_EQ(wrongClass.CopyFrom(impostor).GetCode(), ZelStatusCode::kInconsistent);
  EXPECT_EQ(wrongClass.Finalize().GetCode(), ZelStatusCode::kInconsistent);
}

}  // namespace
