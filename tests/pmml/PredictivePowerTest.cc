// What the document says about inputs measured against the target: the
// predictive power of each input for the four pairs of input and target
// kinds, worked out by hand, and binned fields written as "Discretize".
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "pmml/PmmlTestDoc.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace pmmltest;

double Power(const Doc& doc, const std::string& field) {
  const std::string text = ExtValue(FindField(doc, field), "PredictivePower");
  EXPECT_FALSE(text.empty()) << field;
  return text.empty() ? -1.0 : std::stod(text);
}

// Nominal target t over categories 0, 1, 2. x spans 0 … 30, so its three
// bins end at 10, 20 and 31: 10 falls into the first, 20.5 into the last,
// and each bin holds one target category (V = 1). c against t is
// [[2, 0, 1], [0, 2, 1]]: chi-square 4 of 6 records, V = sqrt(4 / 6). A
// record without c, and one without target, count nowhere.
TEST(PredictivePowerTest, CategoricalTarget) {
  TorVarList vars;
  vars.AddVariable(NominalField("t", false, kRoleTarget));
  vars.AddVariable(ContField("x"));
  vars.AddVariable(NominalField("c", false));
  MemorySource source;
  const double x[] = {0, 10, 15, 20, 20.5, 30};
  const int c[] = {0, 0, 1, 1, 1, 0};
  for (int i = 0; i < 6; ++i) source.Add({Int(i / 2), Real(x[i]), Int(c[i])});
  source.Add({Int(0), Real(5), Missing()});
  source.Add({Missing(), Real(25), Int(1)});
  Doc doc(ValidDocument(vars, source, FieldsAsGiven()));
  EXPECT_NEAR(Power(doc, "x"), 1.0, 1e-12);
  EXPECT_NEAR(Power(doc, "c"), std::sqrt(4.0 / 6.0), 1e-12);
  EXPECT_EQ(ExtValue(FindField(doc, "t"), "PredictivePower"), "");
}

// Continuous target y = 1 … 7. z = 2, 1, 4, 3, 6, 5 on the first six
// records: covariance 14.5 / 5, variance 17.5 / 5, while y's variance is
// taken over all seven records (28 / 6). g splits y into {1, 2, 3} and
// {4, 5, 6}: 1 − (2 + 2) / 17.5. Categories with equal means (same) explain
// nothing; one record per category (each) explains everything.
TEST(PredictivePowerTest, ContinuousTarget) {
  TorVarList vars;
  vars.AddVariable(ContField("y", kStorageReal, kRoleTarget));
  vars.AddVariable(ContField("z"));
  for (const char* name : {"g", "same", "each"}) vars.AddVariable(NominalField(name, false));
  MemorySource source;
  const double z[] = {2, 1, 4, 3, 6, 5};
  const int same[] = {0, 1, 1, 1, 1, 0};
  for (int i = 0; i < 6; ++i) source.Add({Real(i + 1), Real(z[i]), Int(i / 3), Int(same[i]), Int(i)});
  source.Add({Real(7), Missing(), Missing(), Missing(), Missing()});
  Doc doc(ValidDocument(vars, source, FieldsAsGiven()));
  EXPECT_NEAR(Power(doc, "z"), 2.9 * 2.9 / (3.5 * 28.0 / 6.0), 1e-12);
  EXPECT_NEAR(Power(doc, "g"), 1.0 - 4.0 / 17.5, 1e-12);
  EXPECT_NEAR(Power(doc, "same"), 0.0, 1e-12);
  EXPECT_NEAR(Power(doc, "each"), 1.0, 1e-12);
}

// Three target categories whose inputs lie around 1, 10 and 20 with equal
// spreads: cuts at 5.5 and 15. A value on a cut belongs to the bin below it,
// which is what an interval open on the left and closed on the right says.
TEST(PredictivePowerTest, BinnedFieldIsADiscretize) {
  TorVarList vars;
  vars.AddVariable(NominalField("t", false, kRoleTarget));
  vars.AddVariable(ContField("far"));
  vars.AddVariable(ContField("same"));
  MemorySource source;
  const double far[] = {0.75, 1.25, 9.75, 10.25, 19.75, 20.25};
  for (int i = 0; i < 6; ++i) source.Add({Int(i / 2), Real(far[i]), Real(1 + i % 2)});
  TorSettings settings = FieldsAsGiven();
  settings.SetBool("supervisedBinning", true);
  Doc doc(ValidDocument(vars, source, settings));

  const xmlNode* binned = nullptr;
  const xmlNode* constant = nullptr;
  for (const xmlNode* field : Children(Child(doc.Root(), "TransformationDictionary"))) {
    const std::string source = Attr(Child(Child(field, "Extension"), "SourceField"), "value");
    if (source == "far") binned = field;
    if (source == "same") constant = field;
  }
  ASSERT_NE(binned, nullptr);
  EXPECT_EQ(Attr(binned, "optype"), "ordinal");
  EXPECT_EQ(Tree(Child(binned, "Discretize")),
            "Discretize(field=far)["
            "DiscretizeBin(binValue=0)[Interval(closure=openClosed rightMargin=5.5)] "
            "DiscretizeBin(binValue=1)[Interval(closure=openClosed leftMargin=5.5 "
            "rightMargin=15)] "
            "DiscretizeBin(binValue=2)[Interval(closure=openOpen leftMargin=15)]]");
  EXPECT_EQ(AttrOfEach(Children(binned, "Value"), "value"), "0|1|2");
  EXPECT_EQ(Attr(Child(Child(binned, "Extension"), "Action"), "reasonKey"), "BinValues");
  // No cut point: one bin over every value keeps the field an expression.
  ASSERT_NE(constant, nullptr);
  EXPECT_EQ(Tree(Child(constant, "Discretize")),
            "Discretize(field=same)[DiscretizeBin(binValue=0)[Interval(closure=openOpen)]]");
  const xmlNode* step =
      WithAttr(Children(FindSummary(doc), "StepSummary"), "stepKey", "ContinuousFeatures");
  EXPECT_EQ(Attr(WithAttr(Children(step, "Action"), "reasonKey", "BinValues"), "numOfFields"), "2");
  EXPECT_EQ(ExtValue(FindField(doc, "far"), "UsageType"), "disable");
}

}  // namespace
