// The target step in whole builds: the warnings when the target does not
// fit, the Box-Cox transformation with its rewritten statistic, and a host
// whose data changes between passes. The reorder tables and the inverse are
// checked in the document.
#include <gtest/gtest.h>

#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "transformation/TransformTestUtil.h"
#include "transformation/ZelBoxCoxFunctionRule.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace transformtest;

TEST(TargetBuildTest, TargetsTheStepsCannotHandleGiveAWarningAndNoCopy) {
  struct Case {
    ITorVariable* (*field)();
    const char* key;
    int warning;
  };
  const Case cases[] = {
      {[] { return OrdinalField("t", kRoleTarget); }, "reorderNominalTargetCategories", 210100},
      {[] { return NominalField("t", false, kRoleTarget); }, "rescaleScaleTargetUsingBoxCox",
       210101},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    TorVarList vars;
    vars.AddVariable(c.field());
    TorSettings settings = EarlyStepsOnly();
    settings.SetBool(c.key, true);
    settings.SetBool("checkTargetMeasureLevel", false);
    Build build;
    const ZelVariableHandleList& fields =
        RunEarly(build, vars, {{Int(1)}, {Int(2)}, {Int(2)}, {Int(3)}}, settings);
    EXPECT_TRUE(HasWarning(build.warnings, c.warning));
    EXPECT_EQ(FindField(fields, "t_transformed"), nullptr);
  }
}

// A target whose shifted values e^0 ... e^8 are symmetric in the logarithm.
TEST(TargetBuildTest, BoxCoxOfExactlyZeroRewritesTheStatisticAndTruncatesIntegers) {
  TorVarList vars;
  vars.AddVariable(ContField("y", kStorageReal, kRoleTarget));
  Rows rows;
  for (int k = 0; k <= 8; ++k) rows.push_back({Real(9 + std::exp(k))});
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("rescaleScaleTargetUsingBoxCox", true);
  settings.SetDouble("targetMean", 0.0);
  settings.SetDouble("targetSD", 1.0);
  Build build;
  const ZelVariableHandleList& fields = RunEarly(build, vars, rows, settings);
  EXPECT_TRUE(ExcludedBy(fields.GetHandle(0), 8, 34));
  const ZelVariableHandleInfo* transformed = FindField(fields, "y_transformed");
  ASSERT_NE(transformed, nullptr);
  auto& rule = dynamic_cast<ZelTransformation::ZelBoxCoxFunctionRule&>(*transformed->GetRule());
  EXPECT_EQ(rule.GetLambda(), 0.0);
  const ZelStatistic::ZelContSummary& s = SummaryOf(transformed);
  EXPECT_EQ(s.GetMean(), 0.0);
  EXPECT_EQ(s.GetStdDev(), 1.0);

  // ln(x - 9) is 0 ... 8: mean 4, standard deviation sqrt(60 / 8); an
  // integer x with (ln(x - 9) - 4) / sd = 2.70 gives 2.
  RawRecord record(fields.Count());
  record[0].SetInteger(9 + 88800);
  EXPECT_NEAR((std::log(88800.0) - 4) / std::sqrt(7.5), 2.70, 0.01);
  EXPECT_EQ(rule.Apply(record).GetStorage(), kStorageInteger);
  EXPECT_EQ(rule.Apply(record).GetInteger(), 2);
}

// From the second pass on, the first record's target lies below the minimum
// the first pass saw.
class ChangingSource : public MemorySource {
 public:
  const RawRecord* NextRecord() override {
    const RawRecord* record = MemorySource::NextRecord();
    if (record == nullptr || rewinds == 0 || position_++ > 0) return record;
    changed_ = *record;
    changed_[0].SetDouble(-50.0);
    return &changed_;
  }
  void Rewind() override {
    MemorySource::Rewind();
    position_ = 0;
  }

 private:
  RawRecord changed_;
  int position_ = 0;
};

TEST(TargetBuildTest, BoxCoxOfValuesBelowTheFirstPassMinimumIsAnError) {
  TorVarList vars;
  vars.AddVariable(ContField("y", kStorageReal, kRoleTarget));
  vars.AddVariable(ContField("x"));
  ChangingSource source;
  for (int i = 0; i < 10; ++i) source.Add({Real(i * i), Real(i)});
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("rescaleScaleTargetUsingBoxCox", true);
  settings.SetDouble("targetSD", 1.0);
  Build build;
  build.Run(settings, vars, source);
  EXPECT_EQ(build.executeStatus, TorStatus(ZelStatusCode::kNumericalFailure, false));
  EXPECT_FALSE(build.algorithm->IsBuilt());
}

}  // namespace
