// The processing summary: its counts against what the test's data implies
// and against the field elements of the same document, the step summaries
// with their actions and parameters, the variable summary and the warnings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "torcommon13r/TorXML.h"
#include "pmml/PmmlTestDoc.h"
#include "pmml/ZelSummaryPMML.h"
#include "pmml/ZelSummaryTable.h"
#include "transformation/ZelBoxCoxFunctionRule.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace pmmltest;

// y target; a and c fine; m 60 % missing; w the frequency weight; k constant.
TEST(SummaryTest, ScreeningBuildIsSummarisedFieldByFieldAndStepByStep) {
  TorVarList vars;
  vars.AddVariable(ContField("y", kStorageReal, kRoleTarget));
  for (const char* name : {"a", "m"}) vars.AddVariable(ContField(name));
  vars.AddVariable(NominalField("c", true));
  for (const char* name : {"w", "k"}) vars.AddVariable(ContField(name));
  vars.SetFrequencyWeightIndex(4);
  MemorySource source;
  const char* cs[] = {"p", "q", "r"};
  for (int i = 0; i < 10; ++i) {
    source.Add(
        {Real(i * 1.5), Real(i), i < 6 ? Missing() : Real(i), Str(cs[i % 3]), Real(1), Real(5)});
  }
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("featureConstruction", true);
  const std::string xml = ValidDocument(vars, source, settings);
  Doc doc(xml);
  const xmlNode* summary = FindSummary(doc);
  ASSERT_NE(summary, nullptr);

  // Inputs a, m, c, k; a and c recommended; m and k not used.
  const xmlNode* counts = Child(summary, "ProcessingSummary");
  const std::string attributes = Attrs(counts);
  EXPECT_EQ(attributes.substr(0, attributes.find(" processingTimeInSecond=")),
            "target=1 originalIputFields=4 recommendedTotal=2 recommendedOriginalFields=2 "
            "recommendedTransformationsOfOriginalFields=0 recommendedDerivedFromDateTime=0 "
            "recommendedConstructed=0 originalFieldsNotUsed=2 recommendedTarget=1 "
            "recommendedTransformTarget=0");
  // Present and a number: an absent attribute would read as 0 too.
  const std::string seconds = Attr(counts, "processingTimeInSecond");
  char* end = nullptr;
  const double time = std::strtod(seconds.c_str(), &end);
  EXPECT_TRUE(!seconds.empty() && *end == '\0') << seconds;
  EXPECT_TRUE(time >= 0.0 && time < 60.0) << seconds;
  // Nothing was constructed although construction was asked for.
  EXPECT_EQ(Tree(Child(counts, "Warning")), "Warning(value=noConstructedField)");
  EXPECT_EQ(Children(counts).size(), 1u);
  ExpectSummaryMatchesFields(doc);

  // The element name's trailing blank survives as the blank before the
  // attributes and before the end tag's ">", so the name parses back bare.
  EXPECT_NE(xml.find("<StepSummary  stepKey=\"ScreenFeatures\""), std::string::npos);
  EXPECT_NE(xml.find("</StepSummary >"), std::string::npos);
  // Steps switched on that recorded nothing follow, bare and in step order.
  std::string steps;
  for (const xmlNode* step : Children(summary, "StepSummary")) steps += Tree(step) + " ";
  EXPECT_EQ(steps,
            "StepSummary(stepKey=ScreenFeatures numOfInputFeatures=4 numOfOutputFeatures=2)"
            "[Action(numOfFields=1 reasonKey=ScreenFeatureWithTooManyMissing parameter=0.5) "
            "Action(numOfFields=1 reasonKey=ScreenFeatureWithConstantValue)] "
            "StepSummary(stepKey=TextFields) StepSummary(stepKey=DateAndTimeFeatures) "
            "StepSummary(stepKey=CheckType) StepSummary(stepKey=ContinuousFeatures) ");

  EXPECT_EQ(FieldRefs(summary), "y|a|m|c|k");
  EXPECT_EQ(Tree(Child(FindField(doc, "m"), "Extension")),
            "Extension(extender=zelcraft.dev)[Action(stepKey=ScreenFeatures "
            "reasonKey=ScreenFeatureWithTooManyMissing parameter=0.5) UsageType(value=disable)]");
  EXPECT_EQ(Tree(Child(FindField(doc, "k"), "Extension")),
            "Extension(extender=zelcraft.dev)[Action(stepKey=ScreenFeatures "
            "reasonKey=ScreenFeatureWithConstantValue) UsageType(value=disable)]");
  EXPECT_EQ(ExtValue(FindField(doc, "w"), "ClassOfField"), "frequency weight");
}

// Summaries of a hand-made field list, for what a build cannot reach or
// shows only by chance.
TEST(SummaryTableTest, NoRecommendedFieldSharedActionsAndUnknownActions) {
  ZelSettings settings;
  ZelVariableHandleList fields(&settings);
  const std::vector<std::string> names = {"parameter", "parameter2", "parameter3"};
  // The "Summary" element of `fields`, parsed back.
  TorStatus collected;
  auto summaryXml = [&fields, &names, &collected] {
    ZelSummary::SummaryTable table(&fields);
    collected = table.Collect(0.25);
    ZelPMML::ZelSummaryPMML writer(fields, names);
    std::unique_ptr<TorXML_1_3::XMLElement> root(TorXML_1_3::XMLElement::Create("root"));
    writer.AppendSummary(root.get(), table);
    std::ostringstream out;
    TorXML_1_3::WriteTree(out, nullptr, root.get(), false);
    return out.str();
  };
  TorContVar target("y", "", kRoleTarget);
  fields.AddField(target);
  Doc alone(summaryXml());
  EXPECT_TRUE(collected.IsOK());
  const xmlNode* counts = Child(Child(alone.Root(), "Summary"), "ProcessingSummary");
  EXPECT_EQ(Attr(counts, "recommendedTotal"), "0");
  EXPECT_EQ(Attr(counts, "processingTimeInSecond"), "0.25");
  EXPECT_NE(WithAttr(Children(counts, "Warning"), "value", "noRecommendedField"), nullptr);

  // Two recasts share one action, which quotes the threshold setting; a
  // date source is listed though excluded, but has no action of its own.
  TorContVar x("x", "", kRoleInput), z("z", "", kRoleInput), d("d", "", kRoleInput);
  d.SetVariableStorage(kStorageDate);
  const int xi = fields.AddField(x), zi = fields.AddField(z), di = fields.AddField(d);
  for (int source : {xi, zi}) {
    const int recast = fields.AddDerivedField(fields.GetHandle(source)->GetName() + "_r", "", 3,
                                              false, kStorageReal, {5, 24});
    ASSERT_GE(recast, 0);
    fields.GetHandle(recast)->GetRule()->AddInput(fields.GetHandle(source)->GetName(), source);
    fields.GetHandle(source)->Exclude({5, 24});
  }
  fields.GetHandle(di)->Exclude({2, 15});
  Doc two(summaryXml());
  EXPECT_TRUE(collected.IsOK());
  const xmlNode* summary = Child(two.Root(), "Summary");
  counts = Child(summary, "ProcessingSummary");
  EXPECT_EQ(Attr(counts, "recommendedTransformationsOfOriginalFields"), "2");
  EXPECT_EQ(Attr(counts, "originalFieldsNotUsed"), "1");  // d
  const xmlNode* step = WithAttr(Children(summary, "StepSummary"), "stepKey", "CheckType");
  EXPECT_EQ(AttrOfEach(Children(step), "reasonKey"), "Recast2Orderedset");
  EXPECT_EQ(Attrs(Child(step, "Action")), "numOfFields=2 reasonKey=Recast2Orderedset parameter=5");
  EXPECT_EQ(FieldRefs(summary), "y|d|x_r|z_r");

  // An action outside the vocabulary cannot be summarised.
  ASSERT_GE(fields.AddDerivedField("odd", "", 1, false, kStorageReal, {5, 60}), 0);
  summaryXml();
  EXPECT_EQ(collected.GetCode(), 210041);
}

// Each action quotes what its row says: settings for durations, rescaling,
// outliers, the target's transformation and screening, whatever numbers
// the rule holds; the rule's own numbers where the row says so, and
// nothing for a constructed feature however many coefficients it has.
TEST(SummaryTableTest, EachActionQuotesTheParametersItsRowNames) {
  ZelSettings settings;
  settings.referenceDate.seconds = 14310 * 86400.0;  // 7 March 2009
  settings.rescalingZscoreMean = 50;
  settings.rescalingZscoreSD = 10;
  settings.outlierSDCutoff = 2.5;
  settings.rescaleContTargetMean = 4;
  settings.rescaleContTargetSD = 2;
  settings.maxPercentMissing = 0.25;
  settings.screeningThresholdForNominal = 12;
  ZelVariableHandleList fields(&settings);
  TorContVar t("t", "", kRoleTarget), x("x", "", kRoleInput), a("a", "", kRoleInput),
      b("b", "", kRoleInput), d("d", "", kRoleInput), m("m", "", kRoleInput),
      k("k", "", kRoleInput);
  d.SetVariableStorage(kStorageDate);
  for (TorContVar* variable : {&t, &x, &a, &b, &d, &m, &k}) ASSERT_GE(fields.AddField(*variable), 0);
  // A field derived by `pair` from `sources`, its rule holding `numbers`.
  auto derive = [&fields](const std::string& name, ZelTransformation::ZelOperationPair pair,
                          std::vector<int> sources, std::vector<double> numbers) {
    const int index = fields.AddDerivedField(name, "", 1, pair.step == 8, kStorageReal, pair);
    EXPECT_GE(index, 0);
    ZelTransformation::ZelTransformRule* rule = fields.GetHandle(index)->GetRule();
    for (int source : sources) rule->AddInput(fields.GetHandle(source)->GetName(), source);
    for (double number : numbers) rule->AddParameter(number);
    return rule;
  };
  derive("x_z", {10, 39}, {1}, {7, 8});
  derive("x_o", {6, 45}, {1}, {1, 2, 3, 4, 5});
  derive("f", {10, 43}, {2, 3}, {0.5, 0.25});
  derive("d_years", {2, 3}, {4}, {14000});
  derive("d_year", {2, 6}, {4}, {2009});
  auto* boxCox = dynamic_cast<ZelTransformation::ZelBoxCoxFunctionRule*>(
      derive("t_bc", {8, 34}, {0}, {}));
  ASSERT_NE(boxCox, nullptr);
  boxCox->SetTransform(0.5, 0, 1, 0, 2, 4);
  fields.GetHandle(5)->Exclude({3, 18});
  fields.GetHandle(6)->Exclude({3, 21});

  ZelSummary::SummaryTable table(&fields);
  ASSERT_TRUE(table.Collect(0).IsOK());
  const std::vector<std::string> names = {"parameter", "parameter2", "parameter3"};
  ZelPMML::ZelSummaryPMML writer(fields, names);
  std::unique_ptr<TorXML_1_3::XMLElement> root(TorXML_1_3::XMLElement::Create("root"));
  writer.AppendSummary(root.get(), table);
  for (int i = 0; i < fields.Count(); ++i) {
    TorXML_1_3::XMLElement* field = root->AppendChild(TorXML_1_3::XMLElement::Create("Field"));
    field->AddAttribute("name", fields.GetHandle(i)->GetName());
    ASSERT_TRUE(writer.AppendFieldActions(field, i).IsOK());
  }
  std::ostringstream out;
  TorXML_1_3::WriteTree(out, nullptr, root.get(), false);
  Doc doc(out.str());

  std::string steps;
  for (const xmlNode* step : Children(Child(doc.Root(), "Summary"), "StepSummary")) {
    for (const xmlNode* action : Children(step, "Action")) steps += Attrs(action) + "\n";
  }
  EXPECT_EQ(steps,
            "numOfFields=1 reasonKey=DeriveYears parameter=03/07/2009\n"
            "numOfFields=1 reasonKey=DeriveYear\n"
            "numOfFields=1 reasonKey=ScreenFeatureWithTooManyMissing parameter=0.25\n"
            "numOfFields=1 reasonKey=ScreenFeatureWithTooManyCat parameter=12\n"
            "numOfFields=1 reasonKey=OutlierTrim2ExtremeValue parameter=2.5\n"
            "numOfFields=1 reasonKey=TargetRescale parameter=4 parameter2=2 parameter3=0.5\n"
            "numOfFields=1 reasonKey=TransformZscore parameter=50 parameter2=10\n"
            "numOfFields=1 reasonKey=Construct\n");

  std::string own;
  for (const xmlNode* field : Children(doc.Root(), "Field")) {
    for (const xmlNode* action : Children(field, "Action")) {
      own += Attr(field, "name") + ": " + Attrs(action) + "\n";
    }
  }
  EXPECT_EQ(own,
            "m: stepKey=ScreenFeatures reasonKey=ScreenFeatureWithTooManyMissing parameter=0.25\n"
            "k: stepKey=ScreenFeatures reasonKey=ScreenFeatureWithTooManyCat parameter=12\n"
            "x_z: stepKey=ContinuousFeatures reasonKey=TransformZscore parameter=50 "
            "parameter2=10\n"
            "x_o: stepKey=Outliers reasonKey=OutlierTrim2ExtremeValue parameter=2.5\n"
            "f: stepKey=ContinuousFeatures reasonKey=Construct\n"
            "d_years: stepKey=DateAndTimeFeatures reasonKey=DeriveYears parameter=03/07/2009\n"
            "d_year: stepKey=DateAndTimeFeatures reasonKey=DeriveYear parameter=2009\n"
            "t_bc: stepKey=Target reasonKey=TargetRescale parameter=4 parameter2=2 "
            "parameter3=0.5\n");
}

}  // namespace
