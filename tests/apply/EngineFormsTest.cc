// The expression forms of the later preparation steps, on small documents
// written by hand in the form the document writer uses, with results
// computed by hand where the cross-check with the component cannot reach:
// weights that drop a record, values on a band's edge or a bin's margin
// under every closure, categories a value table lacks, values beyond the
// training range or below a Box-Cox shift, the min-max rescale and
// constructed features.
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

// The built-ins of a skewed input's transform: abs, max and threshold.
TEST(EngineFormsTest, AbsMaxAndThresholdOfTheSkewTransforms) {
  const std::string x = "<FieldRef field=\"x\"/>";
  const std::string zero = "<Constant>0</Constant>";
  Replay r(Doc("<DataField name=\"x\" optype=\"continuous\" dataType=\"double\"/>",
               Continuous("abs", "<Apply function=\"abs\">" + x + "</Apply>") +
                   Continuous("max", "<Apply function=\"max\">" + x +
                                         "<Constant>2.5</Constant></Apply>") +
                   Continuous("above", "<Apply function=\"threshold\">" + x + zero + "</Apply>")));
  ASSERT_TRUE(r.ok());
  struct Row {
    Value x;
    const char* abs;
    const char* max;
    const char* above;
  };
  const Row rows[] = {
      {Number(-3), "3", "2.5", "0"},
      {Number(0), "0", "2.5", "0"},  // threshold is strictly above
      {Number(2.5), "2.5", "2.5", "1"},
      {Number(7), "7", "7", "1"},
      {Missing(ValueType::kReal), "missing", "missing", "missing"},
  };
  for (const Row& row : rows) {
    r.Set("x", row.x);
    EXPECT_EQ(Show(r.Get("abs")), row.abs);
    EXPECT_EQ(Show(r.Get("max")), row.max);
    EXPECT_EQ(Show(r.Get("above")), row.above);
  }
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

// A category the table lacks takes the table's defaultValue, or is missing
// without one; a missing input takes mapMissingTo, never the default.
TEST(EngineFormsTest, UnlistedCategoriesTakeTheDefaultMissingOnesMapMissingTo) {
  auto map = [](const std::string& name, const std::string& field, const std::string& type,
                const std::string& attributes, const std::string& rows) {
    return "<DerivedField name=\"" + name + "\" optype=\"categorical\" dataType=\"" + type +
           "\"><MapValues outputColumn=\"o\" " + attributes + "><FieldColumnPair field=\"" +
           field + "\" column=\"i\"/><InlineTable>" + rows + "</InlineTable></MapValues>" +
           "</DerivedField>";
  };
  const std::string letters = "<row><i>a</i><o>A</o></row><row><i>b</i><o>B</o></row>";
  const std::string numbers = "<row><i>1</i><o>10</o></row><row><i>2</i><o>20</o></row>";
  Replay r(Doc("<DataField name=\"s\" optype=\"categorical\" dataType=\"string\"/>"
               "<DataField name=\"n\" optype=\"categorical\" dataType=\"integer\"/>",
               map("both", "s", "string", "mapMissingTo=\"none\" defaultValue=\"other\"", letters) +
                   map("noDefault", "s", "string", "mapMissingTo=\"none\"", letters) +
                   map("noMissing", "s", "string", "defaultValue=\"other\"", letters) +
                   map("code", "n", "integer", "mapMissingTo=\"0\" defaultValue=\"-1\"", numbers)));
  ASSERT_TRUE(r.ok());
  Value listed, unlisted;
  listed.SetText("b");
  unlisted.SetText("z");
  struct Case {
    Value s;
    const char *both, *noDefault, *noMissing;
  };
  const Case cases[] = {
      {listed, "'B'", "'B'", "'B'"},
      {unlisted, "'other'", "missing", "'other'"},
      {Missing(ValueType::kString), "'none'", "'none'", "missing"},
  };
  for (const Case& c : cases) {
    r.Set("s", c.s);
    EXPECT_EQ(Show(r.Get("both")), c.both) << Show(c.s);
    EXPECT_EQ(Show(r.Get("noDefault")), c.noDefault) << Show(c.s);
    EXPECT_EQ(Show(r.Get("noMissing")), c.noMissing) << Show(c.s);
  }
  EXPECT_EQ(Show(r.Set("n", Whole(2)).Get("code")), "20 (whole)");
  EXPECT_EQ(Show(r.Set("n", Number(1)).Get("code")), "10 (whole)");
  EXPECT_EQ(Show(r.Set("n", Whole(3)).Get("code")), "-1 (whole)");
  EXPECT_EQ(Show(r.Set("n", Missing(ValueType::kInteger)).Get("code")), "0 (whole)");
}

// Rows sharing their outputs, as merged categories do: every input still
// finds its own row's output, texts and numbers alike, and a bad output is
// refused at the first row that holds it.
TEST(EngineFormsTest, RowsSharingAnOutputKeepTheirOwn) {
  std::string texts, numbers;
  for (int r = 0; r < 3000; ++r) {
    const std::string k = std::to_string(r);
    texts += "<row><i>c" + k + "</i><o>g" + std::to_string(r % 7) + "</o></row>";
    numbers += "<row><i>" + k + "</i><o>" + std::to_string((r * 13) % 11) + "</o></row>";
  }
  const auto map = [](const std::string& name, const std::string& field, const std::string& type,
                      const std::string& rows) {
    return "<DerivedField name=\"" + name + "\" optype=\"categorical\" dataType=\"" + type +
           "\"><MapValues outputColumn=\"o\"><FieldColumnPair field=\"" + field +
           "\" column=\"i\"/><InlineTable>\n" + rows + "</InlineTable></MapValues></DerivedField>";
  };
  const std::string inputs = "<DataField name=\"s\" optype=\"categorical\" dataType=\"string\"/>"
                             "<DataField name=\"n\" optype=\"categorical\" dataType=\"integer\"/>";
  Replay r(Doc(inputs, map("group", "s", "string", texts) + map("code", "n", "integer", numbers)));
  ASSERT_TRUE(r.ok());
  for (int k : {0, 1, 6, 7, 8, 1023, 1024, 2999}) {
    Value text;
    text.SetText("c" + std::to_string(k));
    r.Set("s", text).Set("n", Whole(k));
    EXPECT_EQ(Show(r.Get("group")), "'g" + std::to_string(k % 7) + "'") << k;
    EXPECT_EQ(Show(r.Get("code")), std::to_string((k * 13) % 11) + " (whole)") << k;
  }
  const std::string bad = "<row><i>1</i><o>1</o></row>\n<row><i>2</i><o>x</o></row>\n"
                          "<row><i>3</i><o>x</o></row>";
  zelapply::CompiledDocument document;
  EXPECT_EQ(zelapply::CompileDocument(Doc(inputs, map("code", "n", "integer", bad)), &document)
                .message(),
            "line 6: o: the output 'x' does not fit the field's dataType");
}

// One bin from 1 to 2 under each closure, and values exactly on its margins:
// a closed end holds its margin, an open one leaves it to the default.
TEST(EngineFormsTest, ValuesOnAMarginFollowTheClosure) {
  const char* closures[] = {"closedClosed", "closedOpen", "openClosed", "openOpen"};
  std::string fields;
  for (const char* closure : closures) {
    fields += std::string("<DerivedField name=\"") + closure +
              "\" optype=\"ordinal\" dataType=\"integer\"><Discretize field=\"x\" "
              "defaultValue=\"9\" mapMissingTo=\"-1\"><DiscretizeBin binValue=\"0\">"
              "<Interval closure=\"" +
              closure + "\" leftMargin=\"1\" rightMargin=\"2\"/></DiscretizeBin></Discretize>"
              "</DerivedField>";
  }
  Replay r(Doc("<DataField name=\"x\" optype=\"continuous\" dataType=\"double\"/>", fields));
  ASSERT_TRUE(r.ok());
  // Per closure: the bin for 1, for 2 (as a real and as a whole number).
  const std::pair<const char*, const char*> onMargins[] = {
      {"0 (whole)", "0 (whole)"}, {"0 (whole)", "9 (whole)"},
      {"9 (whole)", "0 (whole)"}, {"9 (whole)", "9 (whole)"}};
  for (int c = 0; c < 4; ++c) {
    SCOPED_TRACE(closures[c]);
    EXPECT_EQ(Show(r.Set("x", Number(1)).Get(closures[c])), onMargins[c].first);
    EXPECT_EQ(Show(r.Set("x", Whole(1)).Get(closures[c])), onMargins[c].first);
    EXPECT_EQ(Show(r.Set("x", Number(2)).Get(closures[c])), onMargins[c].second);
    EXPECT_EQ(Show(r.Set("x", Whole(2)).Get(closures[c])), onMargins[c].second);
    EXPECT_EQ(Show(r.Set("x", Number(1.5)).Get(closures[c])), "0 (whole)");
    EXPECT_EQ(Show(r.Set("x", Number(std::nextafter(1.0, 0.0))).Get(closures[c])), "9 (whole)");
    EXPECT_EQ(Show(r.Set("x", Number(std::nextafter(2.0, 3.0))).Get(closures[c])), "9 (whole)");
    EXPECT_EQ(Show(r.Set("x", Missing(ValueType::kReal)).Get(closures[c])), "-1 (whole)");
  }
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

}  // namespace
}  // namespace applytest
