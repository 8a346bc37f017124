// The document as a whole: root, header, data dictionary and the frame of
// the vendor extension, parsed back and compared element by element with
// what the test's own fields and records imply.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "pmml/PmmlTestDoc.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace pmmltest;
using StringList = std::vector<std::string>;
using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorVarList;

constexpr char kDefaultCopyright[] =
    "Copyright (c) 2026 Zelcraft contributors. All rights reserved.";

// age: continuous with a label and a labelled user-missing 99; grade:
// ordinal integer with value labels; colour: text categories holding a
// double quote and a backslash; y: continuous target.
void BuildSmall(Build& build) {
  TorVarList vars;
  TorCommon_1_3::ITorVariable* age = ContField("age");
  age->SetVariableLabel("Age in years");
  age->GetEncoder()->AddMissingValue(99, "unknown");
  vars.AddVariable(age);
  TorCommon_1_3::ITorVariable* grade = OrdinalField("grade");
  grade->GetEncoder()->AddValueLabel("2.0", "wrong");
  grade->GetEncoder()->AddValueLabel("2", "two");
  grade->GetEncoder()->AddValueLabel("1", "");
  grade->GetEncoder()->AddMissingValue(-1, "n/a");
  vars.AddVariable(grade);
  vars.AddVariable(NominalField("colour", true));
  vars.AddVariable(ContField("y", TorCommon_1_3::kStorageReal, TorCommon_1_3::kRoleTarget));

  const double ages[] = {20, 30, 40, 50, 60, 99, 70, 80};
  const long long grades[] = {1, 2, 3, 1, 2, 3, -1, 1};
  const char* colours[] = {"a\"b", "c\\d", "plain", "a\"b", "c\\d", "plain", "plain", "a\"b"};
  MemorySource source;
  for (int i = 0; i < 8; ++i) {
    source.Add({Real(ages[i]), Int(grades[i]), Str(colours[i]), Real(1.5 + i)});
  }
  TorSettings settings = EarlyStepsOnly();
  build.Run(settings, vars, source);
}

TEST(DocumentTest, SmallDocumentHasItsElementsAndAttributesInOrder) {
  Build build;
  BuildSmall(build);
  ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  TorStatus status;
  const std::string xml = build.Pmml(&status);
  ASSERT_TRUE(status.IsOK()) << status.GetCode();

  // Namespace declarations are not attributes once parsed; the start tag
  // shows their order.
  EXPECT_NE(xml.find("<PMML version=\"4.0\" xmlns=\"http://www.dmg.org/PMML-4_0\" "
                     "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                     "xsi:schemaLocation=\"http://www.dmg.org/PMML-4_0 pmml-4-0.xsd\">"),
            std::string::npos);
  Doc doc(xml);
  const xmlNode* root = doc.Root();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(ChildNames(root),
            (StringList{"Header", "DataDictionary", "TransformationDictionary", "Extension"}));

  const xmlNode* header = Child(root, "Header");
  EXPECT_EQ(AttrNames(header), StringList{"copyright"});
  EXPECT_EQ(Attr(header, "copyright"), kDefaultCopyright);
  EXPECT_EQ(ChildNames(header), (StringList{"Application", "Timestamp"}));
  EXPECT_EQ(AttrNames(Child(header, "Application")), (StringList{"name", "version"}));
  EXPECT_EQ(Attr(Child(header, "Application"), "name"), "Zelcraft");
  EXPECT_EQ(Attr(Child(header, "Application"), "version"), "1.0");
  EXPECT_TRUE(std::regex_match(
      Text(Child(header, "Timestamp")),
      std::regex("(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                 "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}")))
      << Text(Child(header, "Timestamp"));

  const xmlNode* dictionary = Child(root, "DataDictionary");
  EXPECT_EQ(Attr(dictionary, "numberOfFields"), "4");
  std::vector<const xmlNode*> fields = Children(dictionary);
  ASSERT_EQ(fields.size(), 4u);

  // Continuous: user-missing values in an extension, then the valid range.
  const xmlNode* age = fields[0];
  EXPECT_EQ(AttrNames(age), (StringList{"name", "displayName", "optype", "dataType"}));
  EXPECT_EQ(Attr(age, "displayName"), "Age in years");
  EXPECT_EQ(Attr(age, "optype"), "continuous");
  EXPECT_EQ(Attr(age, "dataType"), "double");
  EXPECT_EQ(ChildNames(age), (StringList{"Extension", "Extension", "Interval"}));
  const xmlNode* usage = Children(age)[0];
  EXPECT_EQ(AttrNames(usage), StringList{"extender"});
  EXPECT_EQ(Attr(usage, "extender"), "zelcraft.dev");
  EXPECT_EQ(ChildNames(usage), (StringList{"UsageType", "ClassOfField"}));
  EXPECT_EQ(Attr(Child(usage, "UsageType"), "value"), "enable");
  EXPECT_EQ(Attr(Child(usage, "ClassOfField"), "value"), "original predictor");
  const xmlNode* missing = Children(age)[1];
  EXPECT_EQ(AttrNames(missing), (StringList{"extender", "name"}));
  EXPECT_EQ(Attr(missing, "name"), "MissingValue");
  const xmlNode* missingValue = Child(missing, "Value");
  EXPECT_EQ(AttrNames(missingValue), (StringList{"value", "displayValue", "property"}));
  EXPECT_EQ(Attr(missingValue, "value"), "99");
  EXPECT_EQ(Attr(missingValue, "displayValue"), "unknown");
  EXPECT_EQ(Attr(missingValue, "property"), "missing");
  const xmlNode* interval = Child(age, "Interval");
  EXPECT_EQ(AttrNames(interval), (StringList{"closure", "leftMargin", "rightMargin"}));
  EXPECT_EQ(Attr(interval, "closure"), "closedClosed");
  EXPECT_EQ(Attr(interval, "leftMargin"), "20");  // 99 is missing, not the maximum
  EXPECT_EQ(Attr(interval, "rightMargin"), "80");

  // Ordinal numbers: a label matches the number's exact text ("2", not
  // "2.0"); an empty label is left out; the missing value comes last.
  const xmlNode* grade = fields[1];
  EXPECT_EQ(AttrNames(grade), (StringList{"name", "optype", "dataType"}));
  EXPECT_EQ(Attr(grade, "optype"), "ordinal");
  EXPECT_EQ(Attr(grade, "dataType"), "integer");
  EXPECT_EQ(ChildNames(grade), (StringList{"Extension", "Value", "Value", "Value", "Value"}));
  std::vector<const xmlNode*> grades = Children(grade, "Value");
  EXPECT_EQ(Attr(grades[0], "value"), "1");
  EXPECT_FALSE(HasAttr(grades[0], "displayValue"));
  EXPECT_EQ(Attr(grades[1], "value"), "2");
  EXPECT_EQ(Attr(grades[1], "displayValue"), "two");
  EXPECT_EQ(Attr(grades[2], "value"), "3");
  EXPECT_EQ(Attr(grades[2], "property"), "valid");
  EXPECT_EQ(Attr(grades[3], "value"), "-1");
  EXPECT_EQ(Attr(grades[3], "displayValue"), "n/a");
  EXPECT_EQ(Attr(grades[3], "property"), "missing");

  // Text categories, byte-ordered, with quotes and backslashes escaped.
  const xmlNode* colour = fields[2];
  EXPECT_EQ(Attr(colour, "optype"), "categorical");
  EXPECT_EQ(Attr(colour, "dataType"), "string");
  EXPECT_EQ(ChildNames(colour), (StringList{"Extension", "Extension", "Value", "Value", "Value"}));
  EXPECT_EQ(Attr(Children(colour)[1], "name"), "noSpaceTrim");
  EXPECT_EQ(Attr(Children(colour)[1], "value"), "true");
  std::vector<const xmlNode*> colours = Children(colour, "Value");
  EXPECT_EQ(Attr(colours[0], "value"), "a\\\"b");
  EXPECT_EQ(Attr(colours[1], "value"), "c\\\\d");
  EXPECT_EQ(Attr(colours[2], "value"), "plain");

  EXPECT_EQ(Attr(Child(Children(fields[3])[0], "ClassOfField"), "value"), "target");
  EXPECT_EQ(Attr(Child(fields[3], "Interval"), "leftMargin"), "1.5");
  EXPECT_EQ(Attr(Child(fields[3], "Interval"), "rightMargin"), "8.5");

  // The trimmed copy of colour changed nothing and is left out entirely.
  EXPECT_TRUE(Children(Child(root, "TransformationDictionary")).empty());

  const xmlNode* vendor = Child(root, "Extension");
  EXPECT_EQ(Attr(vendor, "extender"), "zelcraft.dev");
  EXPECT_EQ(ChildNames(vendor), StringList{"Zelcraft"});
  EXPECT_EQ(ChildNames(Child(vendor, "Zelcraft")), StringList{"Summary"});

  if (SchemaAvailable()) {
    EXPECT_TRUE(IsSchemaValid(xml));
  }
}

TEST(DocumentTest, HeaderRecordReplacesOnlyTheTextsItGives) {
  Build build;
  BuildSmall(build);
  ASSERT_FALSE(build.executeStatus.IsError());
  PMMLHeaderInfo header;
  header.applicationVersion = "7.2";
  header.noticeText = "(c) Host";
  Doc given(build.Pmml(nullptr, &header));
  const xmlNode* element = Child(given.Root(), "Header");
  EXPECT_EQ(Attr(element, "copyright"), "(c) Host");
  EXPECT_EQ(Attr(Child(element, "Application"), "name"), "Zelcraft");
  EXPECT_EQ(Attr(Child(element, "Application"), "version"), "7.2");

  // A document can be written again; a record of empty texts is no record.
  const PMMLHeaderInfo blank;
  Doc empty(build.Pmml(nullptr, &blank));
  EXPECT_EQ(Attr(Child(empty.Root(), "Header"), "copyright"), kDefaultCopyright);
}

TEST(DocumentTest, MarginsBeyondTheIntegerRangeOnlyForReals) {
  TorVarList vars;
  vars.AddVariable(ContField("whole", TorCommon_1_3::kStorageInteger));
  vars.AddVariable(ContField("real", TorCommon_1_3::kStorageReal));
  MemorySource source;
  const double values[] = {-1e20, 1, 2, 3, 4, 5.25};
  for (double v : values) source.Add({Real(v), Real(v)});
  TorSettings settings = EarlyStepsOnly();
  Build build;
  build.Run(settings, vars, source);
  ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  const std::string xml = build.Pmml();
  Doc doc(xml);
  const xmlNode* whole = Child(FindField(doc, "whole"), "Interval");
  EXPECT_EQ(Attr(whole, "leftMargin"), "-9223372036854775807");
  EXPECT_EQ(Attr(whole, "rightMargin"), "9223372036854775807");
  const xmlNode* real = Child(FindField(doc, "real"), "Interval");
  EXPECT_EQ(Attr(real, "leftMargin"), "-1e+20");
  EXPECT_EQ(Attr(real, "rightMargin"), "5.25");
  if (SchemaAvailable()) {
    EXPECT_TRUE(IsSchemaValid(xml));
  }
}

TEST(DocumentTest, NothingIsWrittenUnlessBuiltAndWithoutError) {
  TorVarList vars;
  // Text categories held in an integer field: no statistic fits both.
  TorCommon_1_3::ITorVariable* odd = new TorCommon_1_3::TorCatVar(
      "odd", "", 10, TorCommon_1_3::kLevelCategoricalString, TorCommon_1_3::kRoleInput, false);
  odd->SetVariableStorage(TorCommon_1_3::kStorageInteger);
  vars.AddVariable(odd);
  vars.AddVariable(ContField("x"));
  MemorySource source;
  for (int i = 0; i < 6; ++i) source.Add({Missing(), Real(i)});
  TorSettings settings = EarlyStepsOnly();

  Build build;
  build.algorithm.reset(build.factory.CreateTorAlgorithm(settings, vars));
  ASSERT_NE(build.algorithm, nullptr);
  TorStatus status;
  EXPECT_EQ(build.Pmml(&status), "");
  EXPECT_EQ(status.GetCode(), 6);

  build.Run(settings, vars, source);
  ASSERT_FALSE(build.executeStatus.IsError()) << build.executeStatus.GetCode();
  std::ostringstream out;
  status = build.algorithm->WritePMML(out, nullptr);
  EXPECT_EQ(status.GetCode(), 210007);
  EXPECT_TRUE(out.str().empty());
}

}  // namespace
