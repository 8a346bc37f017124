// The document as a whole: root, header, data dictionary and the frame of
// the vendor extension, parsed back and compared element by element with
// what the test's own fields and records imply.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

#include "pmml/PmmlTestDoc.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace pmmltest;

constexpr char kDefaultCopyright[] =
    "Copyright (c) 2026 Zelcraft contributors. All rights reserved.";

// age: continuous with a label and a labelled user-missing 99; grade:
// ordinal integer with value labels; colour: text categories holding a
// double quote, a backslash and characters XML escapes; y: continuous target;
// whole: continuous integers. Both y and whole reach -1e20.
TEST(DocumentTest, SmallDocumentHasItsElementsAndAttributesInOrder) {
  TorVarList vars;
  ITorVariable* age = ContField("age");
  age->SetVariableLabel("Age in years");
  age->GetEncoder()->AddMissingValue(99, "unknown");
  vars.AddVariable(age);
  ITorVariable* grade = OrdinalField("grade");
  grade->GetEncoder()->AddValueLabel("2.0", "wrong");
  grade->GetEncoder()->AddValueLabel("2", "two");
  grade->GetEncoder()->AddValueLabel("1", "");
  grade->GetEncoder()->AddMissingValue(-1, "n/a");
  vars.AddVariable(grade);
  vars.AddVariable(NominalField("colour", true));
  vars.AddVariable(ContField("y", kStorageReal, kRoleTarget));
  vars.AddVariable(ContField("whole", kStorageInteger));

  const double ages[] = {20, 30, 40, 50, 60, 99, 70, 80};
  const long long grades[] = {1, 2, 3, 1, 2, 3, -1, 1};
  const char* colours[] = {"a&\"<b>", "c\\d", "plain"};
  MemorySource source;
  for (int i = 0; i < 8; ++i) {
    const double low = i == 0 ? -1e20 : i;
    source.Add({Real(ages[i]), Int(grades[i]), Str(colours[i % 3]), Real(low + 0.5), Real(low)});
  }
  Build build;
  const std::string xml = ValidDocument(vars, source, EarlyStepsOnly(), &build);

  // Namespace declarations are not attributes once parsed; the start tag
  // shows their order.
  EXPECT_NE(xml.find("<PMML version=\"4.0\" xmlns=\"http://www.dmg.org/PMML-4_0\" "
                     "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                     "xsi:schemaLocation=\"http://www.dmg.org/PMML-4_0 pmml-4-0.xsd\">"),
            std::string::npos);
  Doc doc(xml);
  const xmlNode* root = doc.Root();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(ChildNames(root), "Header DataDictionary TransformationDictionary Extension");

  const xmlNode* header = Child(root, "Header");
  EXPECT_EQ(Attrs(header), std::string("copyright=") + kDefaultCopyright);
  EXPECT_EQ(ChildNames(header), "Application Timestamp");
  EXPECT_EQ(Attrs(Child(header, "Application")), "name=Zelcraft version=1.0");
  EXPECT_TRUE(std::regex_match(
      Text(Child(header, "Timestamp")),
      std::regex("(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                 "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}")))
      << Text(Child(header, "Timestamp"));

  const xmlNode* dictionary = Child(root, "DataDictionary");
  EXPECT_EQ(Attr(dictionary, "numberOfFields"), "5");
  const std::vector<const xmlNode*> fields = Children(dictionary);
  ASSERT_EQ(fields.size(), 5u);
  const std::string inUse =
      "Extension(extender=zelcraft.dev)[UsageType(value=enable) ClassOfField(value=";
  // Predictive power for y, which its -1e20 dominates. age: r² over age's 7
  // records with y's variance over all 8, (5M)² / ((2800 / 6) (M² / 8)) =
  // 3/7; grade: 1 − within / total second moment = 1 − (2/3) / (6/7) = 2/9
  // over the 7 records with a grade; colour: 1 − (2/3) / (7/8) = 5/21.
  std::string power[3];
  const double expectedPower[3] = {3.0 / 7.0, 2.0 / 9.0, 5.0 / 21.0};
  for (int i = 0; i < 3; ++i) {
    power[i] = ExtValue(fields[i], "PredictivePower");
    ASSERT_FALSE(power[i].empty()) << i;
    EXPECT_NEAR(std::stod(power[i]), expectedPower[i], 1e-12) << i;
  }
  EXPECT_EQ(ExtValue(fields[3], "PredictivePower"), "");  // the target has none
  // Continuous: user-missing values in an extension, then the valid range,
  // in which 99 is missing, not the maximum.
  EXPECT_EQ(Tree(fields[0]),
            "DataField(name=age displayName=Age in years optype=continuous dataType=double)[" +
                inUse +
                "original predictor) PredictivePower(value=" + power[0] +
                ")] Extension(extender=zelcraft.dev name=MissingValue)"
                "[Value(value=99 displayValue=unknown property=missing)] "
                "Interval(closure=closedClosed leftMargin=20 rightMargin=80)]");
  // Ordinal numbers: a label matches the number's exact text ("2", not
  // "2.0"); an empty label is left out; the missing value comes last.
  EXPECT_EQ(Tree(fields[1]), "DataField(name=grade optype=ordinal dataType=integer)[" + inUse +
                                 "original predictor) PredictivePower(value=" + power[1] +
                                 ")] Value(value=1 property=valid) Value(value=2 "
                                 "displayValue=two property=valid) Value(value=3 property=valid) "
                                 "Value(value=-1 displayValue=n/a property=missing)]");
  // Text categories, byte-ordered, with quotes and backslashes escaped.
  EXPECT_EQ(Tree(fields[2]),
            "DataField(name=colour optype=categorical dataType=string)[" + inUse +
                "original predictor) PredictivePower(value=" + power[2] +
                ")] Extension(extender=zelcraft.dev name=noSpaceTrim "
                "value=true) Value(value=a&\\\"<b> property=valid) Value(value=c\\\\d "
                "property=valid) Value(value=plain property=valid)]");
  // Margins beyond the 64-bit range are written as its ends, but only when
  // the field does not hold reals.
  EXPECT_EQ(Tree(fields[3]),
            "DataField(name=y optype=continuous dataType=double)[" + inUse +
                "target)] Interval(closure=closedClosed leftMargin=-1e+20 rightMargin=7.5)]");
  EXPECT_EQ(Tree(Child(fields[4], "Interval")),
            "Interval(closure=closedClosed leftMargin=-9223372036854775807 "
            "rightMargin=9223372036854775807)");

  // The trimmed copy of colour changed nothing and is left out entirely.
  EXPECT_EQ(ChildNames(Child(root, "TransformationDictionary")), "");
  const xmlNode* vendor = Child(root, "Extension");
  EXPECT_EQ(Attrs(vendor), "extender=zelcraft.dev");
  EXPECT_EQ(ChildNames(vendor), "Zelcraft");
  EXPECT_EQ(ChildNames(Child(vendor, "Zelcraft")).substr(0, 24), "Summary UnivariateStats ");
  EXPECT_EQ(AttrOfEach(Children(Child(vendor, "Zelcraft"), "UnivariateStats"), "field"),
            "age|grade|colour|y|whole");

  // A header record replaces only the texts it gives.
  PMMLHeaderInfo record;
  record.applicationVersion = "7.2";
  record.noticeText = "(c) Host";
  Doc given(build.Pmml(nullptr, &record));
  EXPECT_EQ(Tree(Child(Child(given.Root(), "Header"), "Application")),
            "Application(name=Zelcraft version=7.2)");
  EXPECT_EQ(Attrs(Child(given.Root(), "Header")), "copyright=(c) Host");

  // A document can be written again; a record of empty texts is no record.
  const PMMLHeaderInfo blank;
  Doc empty(build.Pmml(nullptr, &blank));
  EXPECT_EQ(Attr(Child(empty.Root(), "Header"), "copyright"), kDefaultCopyright);
}

TEST(DocumentTest, NothingIsWrittenUnlessBuiltAndWithoutError) {
  TorVarList vars;
  // Text categories held in an integer field: no statistic fits both.
  ITorVariable* odd = new TorCatVar("odd", "", 10, kLevelCategoricalString, kRoleInput, false);
  odd->SetVariableStorage(kStorageInteger);
  vars.AddVariable(odd);
  vars.AddVariable(ContField("x"));
  TorSettings settings = EarlyStepsOnly();
  Build build;
  build.algorithm.reset(build.factory.CreateTorAlgorithm(settings, vars));
  ASSERT_NE(build.algorithm, nullptr);
  std::ostringstream unbuilt;
  EXPECT_EQ(build.algorithm->WritePMML(unbuilt, nullptr).GetCode(), 6);
  EXPECT_TRUE(unbuilt.str().empty());
  EXPECT_TRUE(build.algorithm->GetStatus().IsOK());  // writing does not change the status

  MemorySource source;
  for (int i = 0; i < 6; ++i) source.Add({Missing(), Real(i)});
  build.Run(settings, vars, source);
  ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  std::ostringstream out;
  EXPECT_EQ(build.algorithm->WritePMML(out, nullptr).GetCode(), 210007);
  EXPECT_TRUE(out.str().empty());
}

}  // namespace
