// Field handles and the field list: statistics by measurement level, kinds,
// inputs, passes, and the derivation chains of derived fields.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelVariableHandleList.h"
#include "statistics/ZelUnivarNumeric.h"
#include "statistics/ZelUnivarStringCat.h"
#include "support/TestHost.h"
#include "transformation/ZelTransformRule.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using ZelTransformation::ZelOperationPair;
using Var = std::unique_ptr<ITorVariable>;
// (0, 0) names no operation, so no rule is ever made for it.
const ZelOperationPair kNoRule{};

const ZelStatistic::ZelContSummary& Summary(const ZelVariableHandleInfo& handle) {
  return dynamic_cast<const ZelStatistic::ZelUnivarNumeric&>(*handle.GetUnivariate()).GetSummary();
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
  EXPECT_TRUE(Summary(weight).HasNoMoments());
  EXPECT_EQ(Summary(weight).GetDistinctLimit(), 100u);
  EXPECT_FALSE(Summary(ord).HasNoMoments());
  EXPECT_EQ(Summary(ord).GetDistinctLimit(), 10u);
  EXPECT_EQ(str.GetUnivariate()->GetType(), ZelStatistic::kUnivariateStringCat);
}

// The target encoding step counts the categories of the inputs it may
// encode past the category screen; the target, the weights and ordinal
// fields keep their usual limits, and with the step off every field does.
TEST(VariableHandleInfoTest, OnlyEncodableInputsCountMoreCategoriesWhileTargetMeansAreOn) {
  for (bool on : {true, false}) {
    SCOPED_TRACE(on ? "on" : "off");
    ZelSettings settings;
    settings.targetEncode = on;
    settings.frequencyWeightIndex = 4;
    const uint64_t raised = on ? ZelSettings::kTargetEncodingCategoryLimit : 100u;
    Var text(NominalField("s", true)), number(NominalField("n", false)),
        target(NominalField("t", true, kRoleTarget)), numberTarget(NominalField("u", false, kRoleTarget)),
        weight(NominalField("w", false)), ordinal(OrdinalField("o"));
    ZelVariableHandleInfo s(&settings, *text, 0), n(&settings, *number, 1), t(&settings, *target, 2),
        u(&settings, *numberTarget, 3), w(&settings, *weight, 4), o(&settings, *ordinal, 5);
    auto limit = [](const ZelVariableHandleInfo& handle) {
      return dynamic_cast<const ZelStatistic::ZelUnivarStringCat&>(*handle.GetUnivariate())
          .GetDistinctLimit();
    };
    EXPECT_EQ(limit(s), raised);
    EXPECT_EQ(Summary(n).GetDistinctLimit(), raised);
    EXPECT_EQ(limit(t), 100u);
    EXPECT_EQ(Summary(u).GetDistinctLimit(), 100u);
    EXPECT_EQ(Summary(w).GetDistinctLimit(), 100u);
    EXPECT_EQ(Summary(o).GetDistinctLimit(), 10u);
  }
}

// Host fields: 0 target, 1 continuous, 2 nominal, 3 ordinal, 4 frequency
// weight, 5 analysis weight, 6 no measurement level.
class VariableHandleListTest : public ::testing::Test {
 protected:
  VariableHandleListTest() {
    settings.frequencyWeightIndex = 4;
    settings.analysisWeightIndex = 5;
    ITorVariable* none = ContField("z");
    none->SetMeasureLevel(kLevelNone);
    for (ITorVariable* v :
         {ContField("target", kStorageReal, kRoleTarget), ContField("x"), NominalField("n", true),
          OrdinalField("o"), ContField("f"), ContField("a"), none}) {
      variables.emplace_back(v);
      const int index = list.AddField(*v);
      EXPECT_EQ(index, list.Count() - 1);
    }
  }

  ZelSettings settings;
  ZelVariableHandleList list{&settings};
  std::vector<std::unique_ptr<ITorVariable>> variables;
};

TEST_F(VariableHandleListTest, IndicesKindsAndInputs) {
  ASSERT_EQ(list.Count(), 7);
  EXPECT_EQ(list.GetHandle(7), nullptr);
  EXPECT_EQ(list.GetTargetIndex(), 0);
  const int expectedKinds[] = {FieldKind::kHostTarget,      FieldKind::kHostInput,
                               FieldKind::kHostInput,       FieldKind::kHostInput,
                               FieldKind::kFrequencyWeight, FieldKind::kAnalysisWeight,
                               FieldKind::kHostInput};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(list.GetFieldKind(i), expectedKinds[i]) << i;
    EXPECT_EQ(list.GetRootIndex(i), -1) << i;
  }
  // The weights (4 and 5) are no inputs.
  EXPECT_EQ(list.GetContinuousInputs(), (std::vector<int>{1}));
  EXPECT_EQ(list.GetCategoricalInputs(), (std::vector<int>{2, 3}));
  EXPECT_EQ(list.GetValidCount(), 5);

  // A derived target takes over once the host target is excluded; a derived
  // field whose chain has no rule counts as transformed and has no root.
  const int derivedTarget =
      list.AddDerivedField("t2", "", MeasureKind::kContinuous, true, kStorageReal, kNoRule);
  const int copy = list.AddDerivedCopy("x2", *variables[1], kNoRule);
  ASSERT_TRUE(derivedTarget == 7 && copy == 8);
  EXPECT_EQ(list.GetTargetIndex(), 0);
  list.GetHandle(0)->Exclude({5, 23});
  list.GetHandle(0)->Exclude({3, 18});  // the first reason stays
  EXPECT_EQ(list.GetHandle(0)->GetExcludedReason().action, 23u);
  list.GetHandle(2)->Exclude({3, 21});
  EXPECT_EQ(list.GetTargetIndex(), derivedTarget);
  EXPECT_EQ(list.GetFieldKind(derivedTarget), FieldKind::kDerivedTarget);
  EXPECT_EQ(list.GetFieldKind(copy), FieldKind::kTransformed);
  EXPECT_EQ(list.GetRootIndex(copy), -1);
  EXPECT_EQ(list.GetContinuousInputs(), (std::vector<int>{1, copy}));
  EXPECT_EQ(list.GetCategoricalInputs(), (std::vector<int>{3}));
  EXPECT_EQ(list.GetValidCount(), 5);
}

// The first error stops the record: later fields do not see it.
TEST_F(VariableHandleListTest, FirstErrorStopsTheRecord) {
  list.BeginPass();
  const RawRecord bad =
      MakeRecord({Str("bad"), Real(1), Str("a"), Int(1), Int(1), Real(1), Missing()});
  EXPECT_EQ(list.ProcessRecord(bad).GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(list.GetHandle(0)->GetStatus().GetCode(), ZelStatusCode::kBadValueType);
  EXPECT_EQ(Summary(*list.GetHandle(1)).GetValidCount(), 0);
}

// Every derived field leads back to the host field it came from, through
// each rule of its chain; a recast duration still derives from a date.
TEST(VariableHandleListChainTest, DerivedFieldsLeadBackToTheirSource) {
  TorVarList vars;
  vars.AddVariable(ContField("d", kStorageDate));
  vars.AddVariable(NominalField("s", true));
  MemorySource source;
  const char* texts[] = {"a ", "b", "a", "c  "};
  for (int i = 0; i < 4; ++i) source.Add({Date(1000.0 * i), Str(texts[i])});
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("extractYearFromDate", true);
  Build build;
  build.Run(settings, vars, source);
  ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  const ZelVariableHandleList& fields = build.Fields();
  bool longChain = false;
  int trimmedCopies = 0;
  for (int i = 0; i < fields.Count(); ++i) {
    const ZelVariableHandleInfo* field = fields.GetHandle(i);
    SCOPED_TRACE(field->GetName());
    if (!field->IsDerived()) {
      EXPECT_EQ(fields.GetRootIndex(i), -1);
      EXPECT_EQ(fields.GetFieldKind(i), FieldKind::kHostInput);
      continue;
    }
    const bool fromDate = field->GetName().rfind("d_", 0) == 0;
    EXPECT_EQ(fields.GetRootIndex(i), fromDate ? 0 : 1);
    EXPECT_EQ(fields.GetFieldKind(i),
              fromDate ? FieldKind::kFromDateTime : FieldKind::kTransformed);
    longChain |= fields.GetHandle(field->GetRule()->GetSourceIndex())->IsDerived();
    trimmedCopies += fromDate ? 0 : 1;
  }
  EXPECT_TRUE(longChain);
  EXPECT_EQ(trimmedCopies, 1);
}

}  // namespace
