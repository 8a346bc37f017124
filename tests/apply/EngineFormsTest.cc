// The expression forms of the later preparation steps, on small documents
// written by hand in the form the document writer uses, with results
// computed by hand: outliers, missing-value replacement, value maps,
// linear rescales and Box-Cox, bins, constructed features, user-missing
// values and the target inverse.
#include <cmath>

#include "apply/ApplyTestDoc.h"

namespace applytest {
namespace {

const char kOutlierFunction[] =
    "<DefineFunction name=\"outlierHandle\" dataType=\"double\" optype=\"continuous\">"
    "<ParameterField name=\"Var\"/><ParameterField name=\"OUTLIER-TREATMENT-METHOD\"/>"
    "<ParameterField name=\"RobustMean\"/><ParameterField name=\"RobustSD\"/>"
    "<ParameterField name=\"CutOff\"/><ParameterField name=\"AnalysisWeight\"/>"
    "<Constant>0</Constant></DefineFunction>";

std::string Outlier(const std::string& name, const std::string& field, const std::string& method,
                    const std::string& weight) {
  return "<DerivedField name=\"" + name +
         "\" optype=\"continuous\" dataType=\"double\"><Apply function=\"outlierHandle\">"
         "<FieldRef field=\"" +
         field + "\"/><Constant dataType=\"string\">" + method +
         "</Constant><Constant dataType=\"double\">10</Constant>"
         "<Constant dataType=\"double\">2</Constant><Constant dataType=\"double\">3</Constant>" +
         weight + "</Apply></DerivedField>";
}

TEST(EngineFormsTest, OutliersArePulledBackOrBlankedOutsideTheWeightedBand) {
  const std::string one = "<Constant dataType=\"double\">1</Constant>";
  Replay r(Doc(
      "<DataField name=\"x\" optype=\"continuous\" dataType=\"double\"/>"
      "<DataField name=\"n\" optype=\"continuous\" dataType=\"integer\"/>"
      "<DataField name=\"w\" optype=\"continuous\" dataType=\"double\"/>",
      kOutlierFunction + Outlier("xe", "x", "asExtremeValues", "<FieldRef field=\"w\"/>") +
          Outlier("xm", "x", "asMissingValues", one) + Outlier("ne", "n", "asExtremeValues", one)));
  ASSERT_TRUE(r.ok());
  // Mean 10, SD 2, cutoff 3: the band is 4..16, halved by a weight of 4.
  struct Row {
    Value x, w;
    const char* extreme;
    const char* missing;
  };
  const Row rows[] = {
      {Number(16), Number(1), "16", "16"},  // on the edge: not an outlier
      {Number(16.5), Number(1), "16", "missing"},
      {Number(3.9), Number(1), "4", "missing"},
      {Number(8), Number(4), "8", "8"},
      {Number(6.5), Number(4), "7", "6.5"},
      {Missing(ValueType::kReal), Number(1), "missing", "missing"},
      // A record without a usable weight took no part in the build.
      {Number(12), Missing(ValueType::kReal), "missing", "12"},
      {Number(12), Number(0), "missing", "12"},
  };
  for (const Row& row : rows) {
    r.Set("x", row.x).Set("w", row.w);
    EXPECT_EQ(Show(r.Get("xe")), row.extreme) << Show(row.x) << " weight " << Show(row.w);
    EXPECT_EQ(Show(r.Get("xm")), row.missing) << Show(row.x);
  }
  // Whole numbers inside the band stay whole; pulled back they become reals.
  EXPECT_EQ(Show(r.Set("n", Whole(12)).Get("ne")), "12 (whole)");
  EXPECT_EQ(Show(r.Set("n", Whole(17)).Get("ne")), "16");
}

TEST(EngineFormsTest, MissingValuesAreReplacedAndWholeFieldsStayWhole) {
  const std::string norm = "<LinearNorm orig=\"0\" norm=\"0\"/><LinearNorm orig=\"1\" norm=\"1\"/>";
  const std::string copy =
      "<Extension extender=\"zelcraft.dev\" name=\"recodeElseCopy\"/>"
      "<FieldColumnPair column=\"input\" field=\"";
  Replay r(
      Doc("<DataField name=\"i\" optype=\"continuous\" dataType=\"integer\"/>"
          "<DataField name=\"r\" optype=\"continuous\" dataType=\"double\"/>"
          "<DataField name=\"s\" optype=\"categorical\" dataType=\"string\"/>"
          "<DataField name=\"k\" optype=\"ordinal\" dataType=\"integer\"/>",
          "<DerivedField name=\"ir\" optype=\"continuous\" dataType=\"double\">"
          "<NormContinuous field=\"i\" mapMissingTo=\"2.7\">" +
              norm +
              "</NormContinuous></DerivedField>"
              "<DerivedField name=\"rr\" optype=\"continuous\" dataType=\"double\">"
              "<NormContinuous field=\"r\" mapMissingTo=\"2.7\">" +
              norm +
              "</NormContinuous></DerivedField>"
              "<DerivedField name=\"sr\" optype=\"categorical\" dataType=\"string\">"
              "<MapValues mapMissingTo=\"a\" outputColumn=\"output\">" +
              copy +
              "s\"/></MapValues>"
              "</DerivedField>"
              "<DerivedField name=\"kr\" optype=\"ordinal\" dataType=\"integer\">"
              "<MapValues mapMissingTo=\"2.5\" outputColumn=\"output\">" +
              copy +
              "k\"/></MapValues>"
              "</DerivedField>"));
  ASSERT_TRUE(r.ok());
  r.Set("i", Missing(ValueType::kInteger)).Set("r", Missing(ValueType::kReal));
  r.Set("s", Missing(ValueType::kString)).Set("k", Missing(ValueType::kInteger));
  // The mean 2.7 of a whole-number field is truncated toward zero; so is a
  // median of 2.5.
  EXPECT_EQ(Show(r.Get("ir")), "2 (whole)");
  EXPECT_EQ(Show(r.Get("rr")), "2.7");
  EXPECT_EQ(Show(r.Get("sr")), "'a'");
  EXPECT_EQ(Show(r.Get("kr")), "2 (whole)");
  // Present values pass unchanged, also categories never seen in training.
  r.Set("i", Whole(5)).Set("r", Number(-1.25)).Set("s", Text("never seen")).Set("k", Whole(9));
  EXPECT_EQ(Show(r.Get("ir")), "5 (whole)");
  EXPECT_EQ(Show(r.Get("rr")), "-1.25");
  EXPECT_EQ(Show(r.Get("sr")), "'never seen'");
  EXPECT_EQ(Show(r.Get("kr")), "9 (whole)");
}

std::string Map(const std::string& name, const std::string& field, const std::string& dataType,
                const std::vector<std::pair<std::string, std::string>>& rows) {
  std::string text = "<DerivedField name=\"" + name + "\" optype=\"categorical\" dataType=\"" +
                     dataType + "\"><MapValues outputColumn=\"output\"><FieldColumnPair field=\"" +
                     field + "\" column=\"input\"/><InlineTable>";
  for (const auto& row : rows) {
    text += "<row><input>" + row.first + "</input><output>" + row.second + "</output></row>";
  }
  return text + "</InlineTable></MapValues></DerivedField>";
}

TEST(EngineFormsTest, ValueMapsRecodeOnlyTheCategoriesTheyList) {
  Replay r(
      Doc("<DataField name=\"t\" optype=\"categorical\" dataType=\"string\"/>"
          "<DataField name=\"v\" optype=\"categorical\" dataType=\"double\"/>",
          Map("reordered", "t", "string", {{"A", "0"}, {"C &amp; D", "1"}, {"B", "2"}}) +
              Map("merged", "v", "integer", {{"0.1", "0"}, {"2", "0"}, {"3", "1"}})));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(Show(r.Set("t", Text("B")).Get("reordered")), "'2'");
  EXPECT_EQ(Show(r.Set("t", Text("C & D")).Get("reordered")), "'1'");
  EXPECT_EQ(Show(r.Set("t", Text("a")).Get("reordered")), "missing");  // never seen
  EXPECT_EQ(Show(r.Set("t", Missing(ValueType::kString)).Get("reordered")), "missing");
  // Numbers match by value and take the field's dataType.
  EXPECT_EQ(Show(r.Set("v", Number(0.1)).Get("merged")), "0 (whole)");
  EXPECT_EQ(Show(r.Set("v", Whole(3)).Get("merged")), "1 (whole)");
  EXPECT_EQ(Show(r.Set("v", Number(2.5)).Get("merged")), "missing");
}

TEST(EngineFormsTest, LinearRescalesAndBoxCox) {
  const std::string target =
      "<Extension extender=\"zelcraft.dev\"><Action stepKey=\"Target\" "
      "reasonKey=\"TargetRescale\"/>"
      "<SourceField value=\"whole\"/></Extension>";
  Replay r(
      Doc("<DataField name=\"x\" optype=\"continuous\" dataType=\"double\"/>"
          "<DataField name=\"whole\" optype=\"continuous\" dataType=\"integer\"/>",
          Continuous("z", Linear("15", "10", "<FieldRef field=\"x\"/>", "50", "100")) +
              Continuous("minmax", Linear("100", "20", "<FieldRef field=\"x\"/>", "5", "0")) +
              Continuous("power", Linear("1", "2", BoxCox("x", "-1", "0.5"), "1", "0")) +
              Continuous("log", Linear("2", "1", BoxCox("x", "-1", "0"), "0", "5")) +
              Continuous("wholeTarget", Linear("1", "2", BoxCox("whole", "-1", "0.5"), "1", "0"),
                         target)));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(Show(r.Set("x", Number(70)).Get("z")), "130");
  EXPECT_EQ(Show(r.Set("x", Number(50)).Get("z")), "100");
  EXPECT_EQ(Show(r.Set("x", Number(5)).Get("minmax")), "0");
  EXPECT_EQ(Show(r.Set("x", Number(30)).Get("minmax")), "125");  // beyond the training range
  // ((3 + 1)^0.5 - 1) / 0.5 = 2, then (1 / 2) * (2 - 1) = 0.5; 8 gives 1.5.
  EXPECT_EQ(Show(r.Set("x", Number(3)).Get("power")), "0.5");
  EXPECT_EQ(Show(r.Set("x", Number(8)).Get("power")), "1.5");
  EXPECT_EQ(Show(r.Set("x", Number(-2)).Get("power")), "missing");  // below the shift
  EXPECT_NEAR(r.Set("x", Number(std::exp(2.0) - 1)).Get("log").real, 9.0, 1e-12);
  EXPECT_EQ(Show(r.Set("x", Number(-1)).Get("log")), "missing");  // ln 0
  // A whole-number target stays whole, truncated toward zero.
  EXPECT_EQ(Show(r.Set("whole", Whole(3)).Get("wholeTarget")), "0 (whole)");
  EXPECT_EQ(Show(r.Set("whole", Whole(8)).Get("wholeTarget")), "1 (whole)");
}

TEST(EngineFormsTest, BinsHoldTheirRightMarginAndUnmatchedValuesAreMissing) {
  Replay r(Doc(
      "<DataField name=\"x\" optype=\"continuous\" dataType=\"double\"/>",
      "<DerivedField name=\"bin\" optype=\"ordinal\" dataType=\"double\"><Discretize field=\"x\">"
      "<DiscretizeBin binValue=\"0\"><Interval closure=\"openClosed\" rightMargin=\"1\"/>"
      "</DiscretizeBin><DiscretizeBin binValue=\"1\"><Interval closure=\"openClosed\" "
      "leftMargin=\"1\" rightMargin=\"2\"/></DiscretizeBin><DiscretizeBin binValue=\"2\">"
      "<Interval closure=\"openOpen\" leftMargin=\"2\"/></DiscretizeBin></Discretize>"
      "</DerivedField>"
      "<DerivedField name=\"unit\" optype=\"ordinal\" dataType=\"integer\"><Discretize field=\"x\">"
      "<DiscretizeBin binValue=\"0\"><Interval closure=\"closedOpen\" leftMargin=\"0\" "
      "rightMargin=\"1\"/></DiscretizeBin></Discretize></DerivedField>"
      "<DerivedField name=\"unitOr\" optype=\"ordinal\" dataType=\"integer\">"
      "<Discretize field=\"x\" defaultValue=\"9\" mapMissingTo=\"-1\">"
      "<DiscretizeBin binValue=\"0\"><Interval closure=\"closedOpen\" leftMargin=\"0\" "
      "rightMargin=\"1\"/></DiscretizeBin></Discretize></DerivedField>"));
  ASSERT_TRUE(r.ok());
  const std::pair<double, const char*> cases[] = {{-1e9, "0"}, {1, "0"},        {1.5, "1"},
                                                  {2, "1"},    {2.000001, "2"}, {1e9, "2"}};
  for (const auto& c : cases) EXPECT_EQ(Show(r.Set("x", Number(c.first)).Get("bin")), c.second);
  EXPECT_EQ(Show(r.Set("x", Missing(ValueType::kReal)).Get("bin")), "missing");
  EXPECT_EQ(Show(r.Get("unitOr")), "-1 (whole)");
  EXPECT_EQ(Show(r.Set("x", Number(0)).Get("unit")), "0 (whole)");
  EXPECT_EQ(Show(r.Set("x", Number(1)).Get("unit")), "missing");  // outside every bin
  EXPECT_EQ(Show(r.Get("unitOr")), "9 (whole)");
}

TEST(EngineFormsTest, ConstructedFeatureSumsItsProducts) {
  auto term = [](const char* coefficient, const char* field) {
    return std::string("<Apply function=\"*\"><Constant dataType=\"double\">") + coefficient +
           "</Constant><FieldRef field=\"" + field + "\"/></Apply>";
  };
  Replay r(
      Doc("<DataField name=\"a\" optype=\"continuous\" dataType=\"double\"/>"
          "<DataField name=\"b\" optype=\"continuous\" dataType=\"integer\"/>"
          "<DataField name=\"c\" optype=\"continuous\" dataType=\"double\"/>",
          Continuous("feature1", "<Apply function=\"+\">" + term("0.5", "a") +
                                     "<Apply function=\"+\">" + term("2", "b") + term("-1", "c") +
                                     "</Apply></Apply>")));
  ASSERT_TRUE(r.ok());
  r.Set("a", Number(2)).Set("b", Whole(3)).Set("c", Number(4));
  EXPECT_EQ(Show(r.Get("feature1")), "3");
  EXPECT_EQ(Show(r.Set("c", Missing(ValueType::kReal)).Get("feature1")), "missing");
}

TEST(EngineFormsTest, UserMissingValuesComeFromTheDataDictionary) {
  Replay r(
      Doc("<DataField name=\"income\" optype=\"continuous\" dataType=\"double\">"
          "<Extension extender=\"zelcraft.dev\"><UsageType value=\"enable\"/></Extension>"
          "<Extension extender=\"zelcraft.dev\" name=\"invalidRangeLower\" value=\"-1000000000\"/>"
          "<Extension extender=\"zelcraft.dev\" name=\"invalidRangeUpper\" value=\"-1\"/>"
          "<Extension extender=\"zelcraft.dev\" name=\"MissingValue\">"
          "<Value value=\"999\" property=\"missing\"/></Extension>"
          "<Interval closure=\"closedClosed\" leftMargin=\"0\" rightMargin=\"10\"/></DataField>"
          "<DataField name=\"note\" optype=\"categorical\" dataType=\"string\">"
          "<Extension extender=\"zelcraft.dev\" name=\"noSpaceTrim\" value=\"true\"/>"
          "<Value value=\"ok\" property=\"valid\"/><Value value=\"say \\&quot;no\\&quot;\" "
          "property=\"missing\"/><Value value=\"c\\\\d\" property=\"missing\"/></DataField>",
          ""));
  ASSERT_TRUE(r.ok());
  const std::pair<double, bool> incomes[] = {
      {-5, true}, {-1, true}, {-0.5, false}, {999, true}, {998.5, false}};
  for (const auto& income : incomes) {
    EXPECT_EQ(r.Set("income", Number(income.first)).Get("income").missing, income.second)
        << income.first;
  }
  // Categories are written with a backslash before quotes and backslashes.
  EXPECT_TRUE(r.Set("note", Text("say \"no\"")).Get("note").missing);
  EXPECT_TRUE(r.Set("note", Text("c\\d")).Get("note").missing);
  EXPECT_FALSE(r.Set("note", Text("say \\\"no\\\"")).Get("note").missing);
  EXPECT_FALSE(r.Set("note", Text("ok")).Get("note").missing);
}

TEST(EngineFormsTest, TargetInverseUndoesTheBoxCoxRescale) {
  struct Transform {
    const char* lambda;
    double shift, m, s, sigma, mu;
  };
  for (const Transform t :
       {Transform{"0.5", -1, 1.5, 0.8, 2, 10}, Transform{"0", 0.5, 0.2, 1.3, 1, 0}}) {
    SCOPED_TRACE(t.lambda);
    Replay r(BoxCoxTargetDoc(t.lambda, t.shift, t.m, t.s, t.sigma, t.mu));
    ASSERT_TRUE(r.ok() && r.document().inverse);
    const zelapply::Program& back = *r.document().inverse;
    zelapply::Frame frame = back.NewFrame();
    const int input = back.Find("y_t");
    ASSERT_TRUE(input >= 0 && back.IsRead(static_cast<std::size_t>(input)));
    for (double y : {0.75, 1.0, 3.0, 47.5, 1234.5}) {
      frame[static_cast<std::size_t>(input)] = r.Set("y", Number(y)).Get("y_t");
      back.Evaluate(&frame);
      const Value& original = frame[back.fields().size() - 1];
      EXPECT_NEAR(original.real, y, 1e-9 * y) << y;
    }
  }
}

}  // namespace
}  // namespace applytest
