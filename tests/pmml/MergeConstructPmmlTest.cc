// Merged and constructed fields in the document: the value tables of merges
// (one row per source category, ascending byte-wise or by number, with the
// default label for categories the table lacks), the nested sum of a
// constructed feature, and their entries in the processing summary.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "pmml/PmmlTestDoc.h"
#include "support/TestHost.h"

namespace {

using namespace testhost;
using namespace TorCommon_1_3;
using namespace pmmltest;

std::string Texts(const std::vector<const xmlNode*>& nodes) {
  std::string joined;
  for (const xmlNode* node : nodes) joined += (joined.empty() ? "" : "|") + Text(node);
  return joined;
}

// The "input" or "output" cells of a MapValues table, in row order.
std::string Column(const xmlNode* map, const std::string& column) {
  std::vector<const xmlNode*> cells;
  for (const xmlNode* row : Children(Child(map, "InlineTable"), "row")) {
    cells.push_back(Child(row, column));
  }
  return Texts(cells);
}

// 80 records, no target. area: B 40, a 30, Z 4, b 3, é 3 (a minimum of 8:
// b, é and Z together, then a, then B). code: 2 40, 10 36, 7 4 (7 and 10,
// then 2). x1, x2 and x3 move together.
TEST(MergeConstructPmmlTest, ValueTablesAndSumOfProducts) {
  TorVarList vars;
  vars.AddVariable(NominalField("area", true));
  vars.AddVariable(NominalField("code", false));
  for (const char* name : {"x1", "x2", "x3"}) vars.AddVariable(ContField(name));
  MemorySource source;
  const std::pair<const char*, int> areas[] = {{"B", 40}, {"a", 30}, {"Z", 4}, {"b", 3}, {"é", 3}};
  const std::pair<int, int> codes[] = {{2, 40}, {10, 36}, {7, 4}};
  std::vector<std::string> area;
  std::vector<int> code;
  for (const auto& [text, count] : areas) area.insert(area.end(), count, text);
  for (const auto& [value, count] : codes) code.insert(code.end(), count, value);
  for (int i = 0; i < 80; ++i) {
    const double x = (i * 37) % 80;
    source.Add({Str(area[i]), Int(code[i]), Real(x), Real(2 * x + (i % 3)), Real(x - (i % 5))});
  }
  TorSettings settings = EarlyStepsOnly();
  for (const char* key : {"unsupervisedMergeNominal", "featureConstruction"}) {
    settings.SetBool(key, true);
  }
  settings.SetBool("checkFeatureMeasureLevel", false);
  const Doc doc(ValidDocument(vars, source, settings));

  const xmlNode* areaField = FindField(doc, "area_transformed");
  const xmlNode* areaMap = Child(areaField, "MapValues");
  EXPECT_EQ(Attrs(areaMap), "outputColumn=output defaultValue=");
  EXPECT_EQ(Attrs(Child(areaMap, "FieldColumnPair")), "field=area column=input");
  EXPECT_EQ(Column(areaMap, "input"), "B|Z|a|b|é");
  EXPECT_EQ(Column(areaMap, "output"), "2|0|1|0|0");
  EXPECT_EQ(AttrOfEach(Children(areaField, "Value"), "value"), "0|1|2");

  const xmlNode* codeMap = Child(FindField(doc, "code_transformed"), "MapValues");
  EXPECT_EQ(Attr(codeMap, "defaultValue"), "0");
  EXPECT_EQ(Column(codeMap, "input"), "2|7|10");
  EXPECT_EQ(Column(codeMap, "output"), "1|0|0");

  // t0 + (t1 + t2), each term a double constant times its input; x2 and x1
  // agree most, so the group starts with them.
  const std::string sum = std::regex_replace(Tree(Child(FindField(doc, "feature1"), "Apply")),
                                             std::regex(":[-+.0-9e]+"), ":c");
  auto term = [](const std::string& x) {
    return "Apply(function=*)[Constant(dataType=double):c FieldRef(field=" + x + ")]";
  };
  EXPECT_EQ(sum, "Apply(function=+)[" + term("x2") + " Apply(function=+)[" + term("x1") + " " +
                     term("x3") + "]]");

  const xmlNode* summary = FindSummary(doc);
  const auto steps = Children(summary, "StepSummary");
  EXPECT_EQ(Tree(Child(WithAttr(steps, "stepKey", "CategoricalFeatures"), "Action")),
            "Action(numOfFields=2 reasonKey=Merge4HandleSpareCategories)");
  EXPECT_EQ(AttrOfEach(Children(WithAttr(steps, "stepKey", "ContinuousFeatures"), "Action"),
                       "reasonKey"),
            "ExcludeCoverdFeature|Construct");
  EXPECT_EQ(Attr(Child(summary, "ProcessingSummary"), "recommendedConstructed"), "1");
  ExpectSummaryMatchesFields(doc);
}

}  // namespace
