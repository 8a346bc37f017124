// The schema file and the settings (--settings, --set): what they change in
// the document, and the errors they are refused with.
#include <gtest/gtest.h>

#include "cli/CliHarness.h"

namespace clitest {
namespace {

const char kData[] =
    "id,age,size,region,code\n"
    "1,34,small,N,007\n"
    "2,?,large,S,012\n"
    "3,999,medium,N,100\n"
    "4,51,small,?,101\n";

TEST(CliSchema, OverridesInferenceAndDescribesValues) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", kData);
  WriteFile(dir / "s.json", R"({"fields": {
    "id": {"role": "none"},
    "age": {"label": "Age in years", "missingStrings": ["?"], "missingValues": [999]},
    "size": {"level": "ordinal", "categories": ["small", "medium", "large"],
             "valueLabels": {"large": "Large"}},
    "region": {"level": "nominal", "missingStrings": ["?"], "valueLabels": {"N": "North"}},
    "code": {"storage": "string"}}})");
  const RunResult run = RunCli(dir.path(), {"prepare", "d.csv", "--schema", "s.json", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Document doc(ReadFile(dir / "d.pmml"));
  EXPECT_EQ(doc.Eval("count(//p:DataField[@name='id'])"), "0");
  // "?" is a missing value, so age stays a number; 999 is its user-missing value.
  EXPECT_EQ(doc.Field("age", "@dataType"), "integer");
  EXPECT_EQ(doc.Field("age", "@displayName"), "Age in years");
  EXPECT_EQ(doc.All("//p:DataField[@name='age']//p:Value/@value"), "999");
  // Ordinal texts are coded 1..k in the given order, the texts as labels.
  EXPECT_EQ(doc.Field("size", "@optype") + " " + doc.Field("size", "@dataType"), "ordinal integer");
  EXPECT_EQ(doc.All("//p:DataField[@name='size']/p:Value/@value"), "1|2|3");
  EXPECT_EQ(doc.All("//p:DataField[@name='size']/p:Value/@displayValue"), "small|medium|Large");
  EXPECT_EQ(doc.Field("region", "p:Value[@value='N']/@displayValue"), "North");
  EXPECT_EQ(doc.Field("region", "p:Value[@value='?']/@property"), "missing");
  // Declared text keeps the leading zeros.
  EXPECT_EQ(doc.Field("code", "@dataType"), "string");
  EXPECT_EQ(doc.Eval("count(//p:DataField[@name='code']/p:Value[@value='007'])"), "1");
}

TEST(CliSchema, RefusesWhatCannotHold) {
  struct Case {
    const char* schema;
    const char* message;
  };
  const Case cases[] = {
      {R"({"fields": {"zz": {}}})",
       "the schema describes field 'zz', which the data does not have"},
      {R"({"fields": {"age": {"colour": "red"}}})", "field 'age': unknown property 'colour'"},
      {R"({"fields": {"age": {"storage": "float"}}})", "\"storage\" must be one of integer"},
      {R"({"fields": {"size": {"level": "ordinal"}}})", "needs its \"categories\" in order"},
      {R"({"fields": {"size": {"categories": ["small"]}}})", "apply only to ordinal text fields"},
      {R"({"fields": {"size": {"level": "continuous"}}})", "holds text and cannot be continuous"},
      {R"({"fields": {"size": {"storage": "date", "level": "nominal"}}})",
       "line 2, column 3: 'small' is not a date (YYYY-MM-DD) (field 'size')"},
      {R"({"fields": {"size": {"level": "ordinal", "categories": ["small", "large"]}}})",
       "line 4, column 3: 'medium' is not one of its categories (field 'size')"},
      {R"({"fields": {"age": {"missingRange": [5, 1]}}})", "a list of two numbers, low then high"},
      {R"({"fields": {"id": {"role": "none"}}, "extra": 1})", "the single key \"fields\""},
      {R"({"fields": {"age": )", "parse error"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteFile(dir / "d.csv", kData);
    WriteFile(dir / "s.json", c.schema);
    const RunResult run = RunCli(dir.path(), {"prepare", "d.csv", "--schema", "s.json"});
    EXPECT_EQ(run.status, 2) << c.schema;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(FileExists(dir / "d.pmml"));
  }
  ScratchDir dir;
  WriteFile(dir / "d.csv", kData);
  WriteFile(dir / "s.json", R"({"fields": {"region": {"role": "none"}}})");
  const RunResult none =
      RunCli(dir.path(), {"prepare", "d.csv", "--schema", "s.json", "--target", "region"});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("field 'region' has role none and cannot be the target"),
            std::string::npos);
}

// Whether the document holds the trimmed copy of a text field with blanks.
bool HasTrimmedCopy(const std::string& dir) {
  const Document doc(ReadFile(dir + "/b.pmml"));
  return doc.Eval("count(//p:DerivedField//p:Action[@reasonKey='TrimTrailingBlanks'])") != "0";
}

TEST(CliSettings, FileAndAssignmentsAreTypedAndAssignmentsWin) {
  ScratchDir dir;
  WriteFile(dir / "b.csv", "x,t\n1,a \n2,b\n3,a  \n4,b\n");
  WriteFile(dir / "off.json", R"({"trimBlanks": false, "outlierIdentCutoff": 2.5,
                                  "maxNOfUniqueCategories": 50,
                                  "scaleFeatureRescalingMethod": "minMax"})");
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "b.csv", "-q"}).status, 0);
  EXPECT_TRUE(HasTrimmedCopy(dir.path()));
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "b.csv", "--settings", "off.json", "-q"}).status, 0);
  EXPECT_FALSE(HasTrimmedCopy(dir.path()));
  ASSERT_EQ(RunCli(dir.path(),
                   {"prepare", "b.csv", "--settings", "off.json", "--set", "trimBlanks=true", "-q"})
                .status,
            0);
  EXPECT_TRUE(HasTrimmedCopy(dir.path()));
}

TEST(CliSettings, BadSettingsAreInputErrorsAndRejectedValuesComponentErrors) {
  ScratchDir dir;
  WriteFile(dir / "b.csv", "x,t\n1,a\n2,b\n");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  WriteFile(dir / "typo.json", R"({"outlierIdentCutof": 2})");
  WriteFile(dir / "bool.json", R"({"trimBlanks": "no"})");
  WriteFile(dir / "int.json", R"({"maxNOfUniqueCategories": 2.5})");
  WriteFile(dir / "list.json", R"([1, 2])");
  const Case cases[] = {
      {{"--settings", "typo.json"},
       2,
       "unknown settings key \"outlierIdentCutof\"; did you mean \"outlierIdentCutoff\"?"},
      {{"--set", "TRIMBLANK=true"}, 2, "did you mean \"trimBlanks\"?"},
      {{"--settings", "bool.json"}, 2, "settings key \"trimBlanks\" takes a bool"},
      {{"--settings", "int.json"}, 2, "settings key \"maxNOfUniqueCategories\" takes an int"},
      {{"--settings", "list.json"}, 2, "expected an object of settings keys"},
      {{"--settings", "nosuch.json"}, 2, "cannot open nosuch.json"},
      {{"--set", "outlierIdentCutoff=abc"}, 2, "takes a double, got \"abc\""},
      {{"--set", "maxNOfUniqueCategories=3000000000"}, 2, "takes an int"},
      {{"--set", "trimBlanks"}, 2, "--set expects KEY=VALUE"},
      // Typed correctly but refused by the component.
      {{"--set", "outlierIdentCutoff=0"}, 1, "error 210032: "},
      {{"--set", "homogeneousSubsetsPValue=1.5"}, 1, "error 210033: "},
      {{"--analysis-weight", "t"}, 1, "error 210034: "},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"prepare", "b.csv"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = RunCli(dir.path(), args);
    EXPECT_EQ(run.status, c.status) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(FileExists(dir / "b.pmml"));
}

}  // namespace
}  // namespace clitest
