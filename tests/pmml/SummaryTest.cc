// The processing summary: its counts against what the test's data implies
// and against the field elements of the same document, the step summaries
// with their actions and parameters, the variable summary and the warnings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "frame/host/TorXML.h"
#include "pmml/PmmlTestDoc.h"
#include "pmml/ZelSummaryPMML.h"
#include "pmml/ZelSummaryTable.h"
#include "settings/ZelVariableHandleList.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace pmmltest;
using StringList = std::vector<std::string>;
using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorVarList;

// y target; a and c fine; m 60 % missing; w the frequency weight; k constant.
TEST(SummaryTest, ScreeningBuildIsSummarisedFieldByFieldAndStepByStep) {
  TorVarList vars;
  vars.AddVariable(ContField("y", TorCommon_1_3::kStorageReal, TorCommon_1_3::kRoleTarget));
  vars.AddVariable(ContField("a"));
  vars.AddVariable(ContField("m"));
  vars.AddVariable(NominalField("c", true));
  vars.AddVariable(ContField("w"));
  vars.AddVariable(ContField("k"));
  vars.SetFrequencyWeightIndex(4);
  MemorySource source;
  const char* cs[] = {"p", "q", "r"};
  for (int i = 0; i < 10; ++i) {
    source.Add(
        {Real(i * 1.5), Real(i), i < 6 ? Missing() : Real(i), Str(cs[i % 3]), Real(1), Real(5)});
  }
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("featureConstruction", true);
  Build build;
  build.Run(settings, vars, source);
  ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  const std::string xml = build.Pmml();
  Doc doc(xml);
  const xmlNode* summary = FindSummary(doc);
  ASSERT_NE(summary, nullptr);

  const xmlNode* counts = Child(summary, "ProcessingSummary");
  EXPECT_EQ(
      AttrNames(counts),
      (StringList{"target", "originalIputFields", "recommendedTotal", "recommendedOriginalFields",
                  "recommendedTransformationsOfOriginalFields", "recommendedDerivedFromDateTime",
                  "recommendedConstructed", "originalFieldsNotUsed", "recommendedTarget",
                  "recommendedTransformTarget", "processingTimeInSecond"}));
  const StringList expected = {"1", "4", "2", "2", "0", "0", "0", "2", "1", "0"};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(Attr(counts, AttrNames(counts)[i]), expected[i]) << AttrNames(counts)[i];
  }
  EXPECT_GE(std::strtod(Attr(counts, "processingTimeInSecond").c_str(), nullptr), 0.0);
  // Nothing was constructed although construction was asked for.
  EXPECT_EQ(ChildNames(counts), StringList{"Warning"});
  EXPECT_EQ(Attr(Child(counts, "Warning"), "value"), "noConstructedField");
  ExpectSummaryMatchesFields(doc);

  // The element name's trailing blank survives as the blank before the
  // attributes and before the end tag's ">", so the name parses back bare.
  EXPECT_NE(xml.find("<StepSummary  stepKey=\"ScreenFeatures\""), std::string::npos);
  EXPECT_NE(xml.find("</StepSummary >"), std::string::npos);
  std::vector<const xmlNode*> steps = Children(summary, "StepSummary");
  ASSERT_EQ(steps.size(), 5u);
  const xmlNode* screening = steps[0];
  EXPECT_EQ(AttrNames(screening),
            (StringList{"stepKey", "numOfInputFeatures", "numOfOutputFeatures"}));
  EXPECT_EQ(Attr(screening, "stepKey"), "ScreenFeatures");
  EXPECT_EQ(Attr(screening, "numOfInputFeatures"), "4");   // a, m, c, k
  EXPECT_EQ(Attr(screening, "numOfOutputFeatures"), "2");  // a, c
  std::vector<const xmlNode*> actions = Children(screening, "Action");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(AttrNames(actions[0]), (StringList{"numOfFields", "reasonKey", "parameter"}));
  EXPECT_EQ(Attr(actions[0], "numOfFields"), "1");
  EXPECT_EQ(Attr(actions[0], "reasonKey"), "ScreenFeatureWithTooManyMissing");
  EXPECT_EQ(Attr(actions[0], "parameter"), "0.5");
  EXPECT_EQ(AttrNames(actions[1]), (StringList{"numOfFields", "reasonKey"}));
  EXPECT_EQ(Attr(actions[1], "reasonKey"), "ScreenFeatureWithConstantValue");
  // Steps switched on that recorded nothing follow, bare and in step order.
  StringList bare;
  for (std::size_t i = 1; i < steps.size(); ++i) {
    EXPECT_EQ(AttrNames(steps[i]), StringList{"stepKey"});
    bare.push_back(Attr(steps[i], "stepKey"));
  }
  EXPECT_EQ(bare,
            (StringList{"TextFields", "DateAndTimeFeatures", "CheckType", "ContinuousFeatures"}));

  EXPECT_EQ(FieldRefs(summary), (StringList{"y", "a", "m", "c", "k"}));

  const xmlNode* missingExtension = Child(FindField(doc, "m"), "Extension");
  EXPECT_EQ(ChildNames(missingExtension), (StringList{"Action", "UsageType"}));
  const xmlNode* missingAction = Child(missingExtension, "Action");
  EXPECT_EQ(AttrNames(missingAction), (StringList{"stepKey", "reasonKey", "parameter"}));
  EXPECT_EQ(Attr(missingAction, "stepKey"), "ScreenFeatures");
  EXPECT_EQ(Attr(missingAction, "reasonKey"), "ScreenFeatureWithTooManyMissing");
  EXPECT_EQ(Attr(missingAction, "parameter"), "0.5");
  EXPECT_EQ(Attr(Child(missingExtension, "UsageType"), "value"), "disable");
  EXPECT_EQ(Attr(Child(Child(FindField(doc, "k"), "Extension"), "Action"), "reasonKey"),
            "ScreenFeatureWithConstantValue");
  EXPECT_EQ(Attr(Child(Child(FindField(doc, "w"), "Extension"), "ClassOfField"), "value"),
            "frequency weight");

  if (SchemaAvailable()) {
    EXPECT_TRUE(IsSchemaValid(xml));
  }
}

// Summaries of hand-made field lists, for what a build cannot reach or
// shows only by chance.
class SummaryTableTest : public ::testing::Test {
 protected:
  SummaryTableTest() {
    settings_.trimBlank = false;
    settings_.computeDateDuration = false;
    settings_.computeTimeDuration = false;
    settings_.excludeTooManyMissing = false;
    settings_.checkMeasureLevelForFeature = false;
    settings_.checkMeasureLevelForTarget = false;
    settings_.detectOutlierForFeature = false;
    settings_.replaceMissingNominalFeature = false;
    settings_.replaceMissingOrdinalFeature = false;
    settings_.replaceMissingScaleFeature = false;
    settings_.rescaling = false;
    settings_.supervisedBinning = false;
    settings_.featureSelection = false;
    settings_.featureConstruction = false;
    settings_.supervisedMerge = false;
    settings_.unsupervisedMergeOrdinal = false;
    settings_.unsupervisedMergeNominal = false;
  }

  // The "Summary" element of `fields`, parsed back.
  std::string SummaryXml(const ZelVariableHandleList& fields, TorStatus* collected) {
    ZelSummary::SummaryTable table(&fields);
    *collected = table.Collect(0.25);
    ZelPMML::ZelSummaryPMML writer(fields, names_);
    std::unique_ptr<TorXML_1_3::XMLElement> root(TorXML_1_3::XMLElement::Create("root"));
    writer.AppendSummary(root.get(), table);
    std::ostringstream out;
    TorXML_1_3::WriteTree(out, nullptr, root.get(), false);
    return out.str();
  }

  ZelSettings settings_;
  const std::vector<std::string> names_ = {"parameter", "parameter2", "parameter3"};
};

TEST_F(SummaryTableTest, NoRecommendedFieldAndSharedActions) {
  ZelVariableHandleList fields(&settings_);
  TorCommon_1_3::TorContVar target("y", "", TorCommon_1_3::kRoleTarget);
  fields.AddField(target);
  TorStatus collected;
  Doc alone(SummaryXml(fields, &collected));
  EXPECT_TRUE(collected.IsOK());
  const xmlNode* summary = Child(alone.Root(), "Summary");
  EXPECT_EQ(ChildNames(summary), (StringList{"ProcessingSummary", "VariableSummary"}));
  EXPECT_EQ(Attr(Child(summary, "ProcessingSummary"), "recommendedTotal"), "0");
  EXPECT_EQ(Attr(Child(summary, "ProcessingSummary"), "processingTimeInSecond"), "0.25");
  EXPECT_EQ(ChildNames(Child(summary, "ProcessingSummary")), StringList{"Warning"});
  EXPECT_EQ(Attr(Child(Child(summary, "ProcessingSummary"), "Warning"), "value"),
            "noRecommendedField");

  // Two recasts share one action, which quotes the threshold setting; a
  // date source is listed though excluded, but has no action of its own.
  TorCommon_1_3::TorContVar x("x", "", TorCommon_1_3::kRoleInput);
  TorCommon_1_3::TorContVar z("z", "", TorCommon_1_3::kRoleInput);
  TorCommon_1_3::TorContVar d("d", "", TorCommon_1_3::kRoleInput);
  d.SetVariableStorage(TorCommon_1_3::kStorageDate);
  const int xi = fields.AddField(x);
  const int zi = fields.AddField(z);
  const int di = fields.AddField(d);
  for (int source : {xi, zi}) {
    const int recast = fields.AddDerivedField(fields.GetHandle(source)->GetName() + "_r", "", 3,
                                              false, TorCommon_1_3::kStorageReal, {5, 24});
    ASSERT_GE(recast, 0);
    fields.GetHandle(recast)->GetRule()->AddInput(fields.GetHandle(source)->GetName(), source);
    fields.GetHandle(source)->Exclude({5, 24});
  }
  fields.GetHandle(di)->Exclude({2, 15});
  Doc two(SummaryXml(fields, &collected));
  EXPECT_TRUE(collected.IsOK());
  summary = Child(two.Root(), "Summary");
  EXPECT_EQ(Attr(Child(summary, "ProcessingSummary"), "recommendedTransformationsOfOriginalFields"),
            "2");
  EXPECT_EQ(Attr(Child(summary, "ProcessingSummary"), "originalFieldsNotUsed"), "1");  // d
  const xmlNode* step = Child(summary, "StepSummary");
  EXPECT_EQ(Attr(step, "stepKey"), "CheckType");
  ASSERT_EQ(Children(step, "Action").size(), 1u);
  EXPECT_EQ(Attr(Child(step, "Action"), "numOfFields"), "2");
  EXPECT_EQ(Attr(Child(step, "Action"), "reasonKey"), "Recast2Orderedset");
  EXPECT_EQ(Attr(Child(step, "Action"), "parameter"), "5");
  EXPECT_EQ(FieldRefs(summary), (StringList{"y", "d", "x_r", "z_r"}));

  // An action outside the vocabulary cannot be summarised.
  const int odd = fields.AddDerivedField("odd", "", 1, false, TorCommon_1_3::kStorageReal, {5, 60});
  ASSERT_GE(odd, 0);
  SummaryXml(fields, &collected);
  EXPECT_EQ(collected.GetCode(), 210041);
}

}  // namespace
