// The document of the outlier, missing-value and target steps, read back:
// the outlierHandle call, the replacements with their summary entries, the
// reorder tables with padded codes, and the target inverse, replayed by the
// document consumer to get the training target back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "apply/Document.h"
#include "pmml/PmmlTestDoc.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace pmmltest;

double Number(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

const xmlNode* Inverse(const Doc& doc) {
  return Child(Child(Child(Child(doc.Root(), "Extension"), "Zelcraft"), "TargetInverse"),
               "DerivedField");
}

TEST(OutlierTargetDocumentTest, OutlierCallAndMissingValueReplacements) {
  TorVarList vars;
  vars.AddVariable(ContField("x"));
  vars.AddVariable(NominalField("s", true));
  vars.AddVariable(ContField("w"));
  MemorySource source;
  std::vector<double> xs;
  for (int i = 0; i < 40; ++i) {
    xs.push_back(i == 39 ? 1000.0 : 20 + i % 10);
    source.Add({i == 0 ? Missing() : Real(xs.back()), i < 2 ? Missing() : Str(i % 3 ? "a" : "b"),
                Real(1)});
  }
  TorSettings settings = EarlyStepsOnly();
  settings.SetBool("detectFeatureOutliers", true);
  settings.SetBool("replaceScaleFeaturesMissingValue", true);
  settings.SetBool("replaceNominalFeaturesMissingValue", true);
  settings.SetBool("trimBlanks", false);
  settings.SetString("analysisWeight", "w");
  Doc doc(ValidDocument(vars, source, settings));

  EXPECT_EQ(
      AttrOfEach(Children(Child(doc.Root(), "TransformationDictionary"), "DefineFunction"), "name"),
      "outlierHandle");
  const xmlNode* call = Child(FindField(doc, "x_Outlier"), "Apply");
  EXPECT_EQ(ChildNames(call), "FieldRef Constant Constant Constant Constant FieldRef");
  const std::vector<const xmlNode*> arguments = Children(call);
  EXPECT_EQ(Tree(arguments[1]), "Constant(dataType=string):asExtremeValues");
  EXPECT_EQ(Tree(arguments[4]), "Constant(dataType=double):3");
  EXPECT_EQ(Attr(arguments[5], "field"), "w");
  // The far value becomes the band's upper edge; the mean that replaces the
  // missing value is that of the trimmed values.
  const double upper = Number(Text(arguments[2])) + 3 * Number(Text(arguments[3]));
  double sum = upper;
  for (int i = 1; i < 39; ++i) sum += xs[i];
  const xmlNode* replaced = FindField(doc, "x_transformed");
  const xmlNode* norm = Child(replaced, "NormContinuous");
  EXPECT_EQ(Attr(norm, "field"), "x_Outlier");
  EXPECT_NEAR(Number(Attr(norm, "mapMissingTo")), sum / 39, 1e-12);
  EXPECT_EQ(Tree(norm).substr(Tree(norm).find('[')),
            "[LinearNorm(orig=0 norm=0) LinearNorm(orig=1 norm=1)]");
  const xmlNode* action = Child(Child(replaced, "Extension"), "Action");
  EXPECT_EQ(Attr(action, "reasonKey"), "ReplaceMissingScaleFeature");
  EXPECT_EQ(Attr(action, "parameter"), Attr(norm, "mapMissingTo"));
  EXPECT_EQ(Attr(action, "parameter2"), "1");

  const xmlNode* text = FindField(doc, "s_transformed");
  EXPECT_EQ(Tree(Child(text, "MapValues")),
            "MapValues(mapMissingTo=a outputColumn=output)[Extension(extender=zelcraft.dev "
            "name=recodeElseCopy) FieldColumnPair(column=input field=s)]");
  EXPECT_EQ(
      Attrs(Child(Child(text, "Extension"), "Action")),
      "stepKey=MissingValues reasonKey=ReplaceMissingNominalFeature parameter=a parameter2=2");
  const xmlNode* summary = FindSummary(doc);
  EXPECT_EQ(Tree(WithAttr(Children(summary, "StepSummary"), "stepKey", "Outliers")),
            "StepSummary(stepKey=Outliers numOfInputFeatures=2 numOfOutputFeatures=2)"
            "[Action(numOfFields=1 reasonKey=OutlierTrim2ExtremeValue parameter=3)]");
  ExpectSummaryMatchesFields(doc);
}

TEST(OutlierTargetDocumentTest, BoxCoxInverseGivesTheTrainingTargetBack) {
  // Shifted values 1 ... 60 choose the exponent 0.5; e^0 ... e^8 choose 0.
  std::vector<std::vector<double>> targets(2);
  for (int i = 0; i < 60; ++i) targets[0].push_back(10.0 + i);
  for (int k = 0; k <= 8; ++k) targets[1].push_back(9 + std::exp(k));
  for (const std::vector<double>& ys : targets) {
    SCOPED_TRACE(ys.size());
    TorVarList vars;
    vars.AddVariable(ContField("y", kStorageReal, kRoleTarget));
    vars.AddVariable(ContField("x"));
    MemorySource source;
    for (double y : ys) source.Add({Real(y), Real(y * y)});
    TorSettings settings = EarlyStepsOnly();
    settings.SetBool("rescaleScaleTargetUsingBoxCox", true);
    settings.SetDouble("targetMean", 5.0);
    settings.SetDouble("targetSD", 2.0);
    const std::string xml = ValidDocument(vars, source, settings);
    Doc doc(xml);

    const xmlNode* forward = Child(FindField(doc, "y_transformed"), "Apply");
    const xmlNode* inverse = Inverse(doc);
    ASSERT_NE(inverse, nullptr);
    EXPECT_EQ(Attrs(inverse), "name=y_transformed_inverse optype=continuous dataType=double");
    const bool logarithm = ys.size() == 9;
    // (a / b) * (Y - c) + d, Y the power or, for 0, the logarithm.
    const xmlNode* y = Children(Children(forward)[0])[1]->children;
    EXPECT_EQ(Attr(y, "function"), logarithm ? "ln" : "/");
    const xmlNode* power = Children(Child(inverse, "Apply"))[1]->children;
    EXPECT_EQ(Attr(power, "function"), logarithm ? "+" : "/");
    EXPECT_EQ(Attrs(Child(Child(FindField(doc, "y_transformed"), "Extension"), "Action")),
              std::string("stepKey=Target reasonKey=TargetRescale parameter=5 parameter2=2 "
                          "parameter3=") +
                  (logarithm ? "0" : "0.5"));

    // The transformed training target has the requested mean and spread,
    // and the inverse takes each value back, as the document consumer
    // computes them from the document.
    zelapply::CompiledDocument replay;
    ASSERT_TRUE(zelapply::CompileDocument(xml, &replay).ok());
    ASSERT_NE(replay.inverse, nullptr);
    const zelapply::Program& program = *replay.program;
    const zelapply::Program& back = *replay.inverse;
    zelapply::Frame frame = program.NewFrame(), original = back.NewFrame();
    const int input = program.Find("y"), output = program.Find("y_transformed");
    const int predicted = back.Find("y_transformed");
    ASSERT_TRUE(input >= 0 && output >= 0 && predicted >= 0);
    double sum = 0, squares = 0, low = HUGE_VAL, high = -HUGE_VAL;
    for (double value : ys) {
      frame[input].SetReal(value);
      program.Evaluate(&frame);
      const double z = frame[output].AsDouble();
      sum += z;
      squares += (z - 5) * (z - 5);
      low = std::min(low, z);
      high = std::max(high, z);
      original[predicted] = frame[output];
      back.Evaluate(&original);
      EXPECT_NEAR(original[back.fields().size() - 1].AsDouble(), value, 1e-9 * value);
    }
    EXPECT_NEAR(sum / ys.size(), 5.0, 1e-9);
    EXPECT_NEAR(std::sqrt(squares / (ys.size() - 1)), 2.0, 1e-9);
    // The range the field shows was rewritten without a pass of its own.
    const xmlNode* range =
        Child(Children(FindField(doc, "y_transformed"), "Extension")[1], "Interval");
    EXPECT_NEAR(Number(Attr(range, "leftMargin")), low, 1e-9);
    EXPECT_NEAR(Number(Attr(range, "rightMargin")), high, 1e-9);
  }
}

// The rows of a MapValues table as "input>output", in order.
std::string TableRows(const xmlNode* map) {
  std::string rows;
  for (const xmlNode* row : Children(Child(map, "InlineTable"), "row")) {
    rows +=
        (rows.empty() ? "" : " ") + Text(Child(row, "input")) + ">" + Text(Child(row, "output"));
  }
  return rows;
}

TEST(OutlierTargetDocumentTest, ReorderTablesCodesAndTheirInverse) {
  // Twelve text categories: the rarest first, equal counts in byte order,
  // codes padded to two digits; labels found by category, not position.
  // Nine numbers with 9 ... 1 records: codes 0 to 8.
  const int textCounts[] = {3, 1, 2, 1, 5, 2, 4, 1, 6, 2, 3, 7};
  for (const bool text : {true, false}) {
    SCOPED_TRACE(text);
    TorVarList vars;
    ITorVariable* target = NominalField("t", text, kRoleTarget);
    target->GetEncoder()->AddValueLabel(text ? "l" : "1", "Last");
    target->GetEncoder()->AddValueLabel(text ? "e" : "9", "East");
    vars.AddVariable(target);
    vars.AddVariable(ContField("x"));
    MemorySource source;
    for (int k = 0; k < (text ? 12 : 9); ++k) {
      for (int n = 0; n < (text ? textCounts[k] : 9 - k); ++n) {
        source.Add({text ? Str(std::string(1, 'a' + k)) : Int(k + 1), Real(n)});
      }
    }
    TorSettings settings = EarlyStepsOnly();
    settings.SetBool("reorderNominalTargetCategories", true);
    settings.SetBool("checkTargetMeasureLevel", false);
    Doc doc(ValidDocument(vars, source, settings));

    const xmlNode* reordered = FindField(doc, "t_transformed");
    const xmlNode* map = Child(reordered, "MapValues");
    EXPECT_EQ(Tree(Child(map, "FieldColumnPair")), "FieldColumnPair(field=t column=input)");
    EXPECT_EQ(TableRows(map), text ? "b>00 d>01 h>02 c>03 f>04 j>05 a>06 k>07 g>08 e>09 i>10 l>11"
                                   : "9>0 8>1 7>2 6>3 5>4 4>5 3>6 2>7 1>8");
    const std::vector<const xmlNode*> values = Children(reordered, "Value");
    EXPECT_EQ(AttrOfEach(values, "value"),
              text ? "00|01|02|03|04|05|06|07|08|09|10|11" : "0|1|2|3|4|5|6|7|8");
    EXPECT_EQ(AttrOfEach(values, "displayValue"), text ? "|||||||||East||Last" : "East||||||||Last");

    const xmlNode* inverse = Inverse(doc);
    EXPECT_EQ(Attr(Child(Child(inverse, "MapValues"), "FieldColumnPair"), "field"),
              "t_transformed");
    EXPECT_EQ(TableRows(Child(inverse, "MapValues")),
              text ? "00>b 01>d 02>h 03>c 04>f 05>j 06>a 07>k 08>g 09>e 10>i 11>l"
                   : "0>9 1>8 2>7 3>6 4>5 5>4 6>3 7>2 8>1");
    EXPECT_EQ(AttrOfEach(Children(inverse, "Value"), "value").substr(0, 5),
              text ? "b|d|h" : "9|8|7");
  }
}

}  // namespace
