// The schema file and the settings (--settings, --set): what they change in
// the document, and the errors they are refused with.
#include <gtest/gtest.h>

#include "support/CliHarness.h"

namespace clitest {
namespace {

const char kData[] =
    "id,age,size,region,code\n"
    "1,34,small,N,007\n"
    "2,,large,S,012\n"
    "3,999,medium,N,100\n"
    "4,51,small,?,101\n"
    "5,40,small,N,102\n";

TEST(CliSchema, OverridesInferenceAndDescribesValues) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", kData);
  WriteFile(dir / "s.json", R"({"fields": {
    "id": {"role": "none"},
    "age": {"label": "Age in years", "missingValues": [999], "missingRange": [34, 40]},
    "size": {"level": "ordinal", "categories": ["small", "medium", "large"],
             "valueLabels": {"large": "Large"}},
    "region": {"level": "nominal", "missingStrings": ["?"], "valueLabels": {"N": "North"}},
    "code": {"storage": "string"}}})");
  const RunResult run = RunCli(dir.path(), {"prepare", "d.csv", "--schema", "s.json", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Document doc(ReadFile(dir / "d.pmml"));
  EXPECT_EQ(doc.Eval("count(//p:DataField[@name='id'])"), "0");
  // 999 is a user-missing value of age; so are 34 and 40, on the bounds of
  // the closed missing range, written low then high.
  EXPECT_EQ(doc.Field("age", "@dataType"), "integer");
  EXPECT_EQ(doc.Field("age", "@displayName"), "Age in years");
  EXPECT_EQ(doc.All("//p:DataField[@name='age']//p:Value/@value"), "999");
  EXPECT_EQ(doc.Range("age"), "51..51");
  EXPECT_EQ(doc.Field("age", "p:Extension[@name='invalidRangeLower']/@value") + ".." +
                doc.Field("age", "p:Extension[@name='invalidRangeUpper']/@value"),
            "34..40");
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
       "line 2, column 3: 'small' is not a date (YYYY-MM-DD) or a timestamp (field 'size')"},
      {R"({"fields": {"size": {"level": "ordinal", "categories": ["small", "large"]}}})",
       "line 4, column 3: 'medium' is not one of its categories (field 'size')"},
      {R"({"fields": {"age": {"missingRange": [5, 1]}}})", "a list of two numbers, low then high"},
      // Missing definitions the component would ignore for the field's kind.
      {R"({"fields": {"region": {"missingValues": [1]}}})",
       "field 'region' holds text: \"missingValues\" and \"missingRange\" apply only"},
      {R"({"fields": {"region": {"missingRange": [1, 2]}}})", "field 'region' holds text"},
      {R"({"fields": {"age": {"missingStrings": ["?"]}}})",
       "field 'age' does not hold text: \"missingStrings\" apply only to text fields"},
      {R"({"fields": {"age": {"label": "a", "label": "b"}}})", "s.json: duplicate key \"label\""},
      {R"({"fields": {"age": {}, "age": {}}})", "s.json: duplicate key \"age\""},
      {R"({"fields": {"id": {"role": "none"}}, "extra": 1})", "the single key \"fields\""},
      {R"({"fields": {"age": )", "parse error"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteFile(dir / "d.csv", kData);
    WriteFile(dir / "s.json", c.schema);
    const RunResult run = RunCli(dir.path(), {"prepare", "d.csv", "--schema", "s.json"});
    EXPECT_EQ(run.status, 2) << c.schema;
    EXPECT_TRUE(Contains(run.err, c.message));
    EXPECT_FALSE(FileExists(dir / "d.pmml"));
  }
  ScratchDir dir;
  WriteFile(dir / "d.csv", kData);
  WriteFile(dir / "s.json", R"({"fields": {"region": {"role": "none"}}})");
  const RunResult none =
      RunCli(dir.path(), {"prepare", "d.csv", "--schema", "s.json", "--target", "region"});
  EXPECT_EQ(none.status, 2);
  EXPECT_TRUE(Contains(none.err, "field 'region' has role none and cannot be the target"));
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
  WriteFile(dir / "int.json", R"({"maxNOfUniqueCategories": 2.5})");
  WriteFile(dir / "list.json", R"([1, 2])");
  WriteFile(dir / "twice.json", R"({"trimBlanks": true, "trimBlanks": false})");
  const Case cases[] = {
      // Names, types and structure.
      {{"--settings", "typo.json"},
       2,
       "unknown settings key \"outlierIdentCutof\"; did you mean \"outlierIdentCutoff\"?"},
      {{"--set", "TRIMBLANK=true"}, 2, "did you mean \"trimBlanks\"?"},
      {{"--settings", "int.json"}, 2, "settings key \"maxNOfUniqueCategories\" takes an int"},
      {{"--set", "maxNOfUniqueCategories=3000000000"}, 2, "takes an int"},
      {{"--settings", "list.json"}, 2, "expected an object of settings keys"},
      {{"--settings", "twice.json"}, 2, "twice.json: duplicate key \"trimBlanks\""},
      {{"--settings", "."}, 2, "cannot read .: Is a directory"},
      {{"--set", "trimBlanks"}, 2, "--set expects KEY=VALUE"},
      // Values the component would accept but that mean nothing.
      {{"--set", "maxNOfUniqueCategories=-1"},
       2,
       "settings key \"maxNOfUniqueCategories\" must not be negative"},
      {{"--set", "maxPercentageOfMissingvalue=100.5"},
       2,
       "\"maxPercentageOfMissingvalue\" is a percentage from 0 to 100"},
      {{"--set", "unsupervisedMergingMinPercentageOfCases=-0.1"}, 2, "a percentage from 0 to 100"},
      {{"--set", "scaleToOrdinalValuesNumThreshold=0"},
       2,
       "\"scaleToOrdinalValuesNumThreshold\" must be above 0"},
      {{"--set", "zScore_SD=0"}, 2, "settings key \"zScore_SD\" must be above 0"},
      {{"--analysis-weight", "t"}, 2, "the analysis weight 't' must hold numbers, not text"},
      // Typed correctly but refused by the component.
      {{"--set", "outlierIdentCutoff=0"}, 1, "error 210032: "},
      {{"--set", "homogeneousSubsetsPValue=1.5"}, 1, "error 210033: "},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"prepare", "b.csv"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = RunCli(dir.path(), args);
    EXPECT_EQ(run.status, c.status) << c.message;
    EXPECT_TRUE(Contains(run.err, c.message));
  }
  EXPECT_FALSE(FileExists(dir / "b.pmml"));

  // The limits themselves are accepted.
  const RunResult edges =
      RunCli(dir.path(), {"prepare", "b.csv", "-q", "--set", "maxPercentageOfMissingvalue=100",
                          "--set", "catFeatureScreenThreshold=0"});
  EXPECT_EQ(edges.status, 0) << edges.err;
}

TEST(CliSettings, KeysWithoutEffectAreAcceptedWithOneWarningEach) {
  ScratchDir dir;
  WriteFile(dir / "b.csv", "x,t\n1,a\n2,b\n3,a\n");
  WriteFile(dir / "host.json", R"({"outputMode": "file", "filterOut": 3,
                                   "reorderNominalCatsPriorToMerging": true})");
  const RunResult run =
      RunCli(dir.path(), {"prepare", "b.csv", "--settings", "host.json", "--set",
                          "frequencyWeight=w", "--set", "maxNOfUniqueCategories=50"});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* key :
       {"outputMode", "filterOut", "reorderNominalCatsPriorToMerging", "frequencyWeight"}) {
    const std::string line = std::string("settings key \"") + key + "\" has no effect; ignored\n";
    const std::size_t at = run.err.find(line);
    EXPECT_NE(at, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(line, at + 1), std::string::npos);
  }
  // A value key is read only when its switch is given.
  EXPECT_TRUE(Contains(run.err,
      "warning: settings key \"maxNOfUniqueCategories\" has no effect without "
      "\"excludeFeatureIfHasManyUniqueCatogories\" set to true\n"));
}

TEST(CliSettings, ReferenceForDurationsWithoutItsSwitchIsWarned) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", "x,t\n1,a\n2,b\n3,a\n");
  const RunResult bare = RunCli(dir.path(), {"prepare", "d.csv", "--set",
                                             "referenceTimeForDurations=3600"});
  ASSERT_EQ(bare.status, 0) << bare.err;
  EXPECT_TRUE(Contains(bare.err,
      "warning: settings key \"referenceTimeForDurations\" has no effect "
      "without \"computeTimeDuration\" set to true\n"));
  const RunResult switched =
      RunCli(dir.path(), {"prepare", "d.csv", "--set", "computeDateDuration=true", "--set",
                          "referenceDateForDurations=0", "--set", "todaysDate=3"});
  ASSERT_EQ(switched.status, 0) << switched.err;
  EXPECT_EQ(switched.err.find("\"referenceDateForDurations\" has no effect"), std::string::npos)
      << switched.err;
  EXPECT_TRUE(Contains(switched.err,
      "warning: settings key \"todaysDate\" has no effect without "
      "\"referenceDateType\" set to todaysDate\n"));
}

}  // namespace
}  // namespace clitest
