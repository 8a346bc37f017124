// `zelcraft apply`, `zelcraft inverse` and `prepare --data-out` end to end:
// what unseen categories, values outside every bin and unreadable cells
// become, the error paths, and the inverse of a Box-Cox target.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "support/CliHarness.h"

namespace clitest {
namespace {

const char kDoc[] = R"(<PMML version="4.0" xmlns="http://www.dmg.org/PMML-4_0">
<DataDictionary>
<DataField name="n" optype="continuous" dataType="integer"/>
<DataField name="s" optype="categorical" dataType="string"/>
<DataField name="level" optype="ordinal" dataType="integer">
<Value value="1" displayValue="low" property="valid"/><Value value="2" displayValue="high" property="valid"/>
</DataField>
<DataField name="off" optype="continuous" dataType="double">
<Extension><UsageType value="disable"/></Extension></DataField>
</DataDictionary>
<TransformationDictionary>
<DerivedField name="coded" optype="categorical" dataType="string"><MapValues outputColumn="o">
<FieldColumnPair field="s" column="i"/><InlineTable><row><i>a</i><o>0</o></row><row><i>b, c</i><o>1</o></row></InlineTable>
</MapValues></DerivedField>
<DerivedField name="kept" optype="categorical" dataType="string"><MapValues outputColumn="o">
<Extension name="recodeElseCopy"/><FieldColumnPair field="s" column="i"/></MapValues></DerivedField>
<DerivedField name="bin" optype="ordinal" dataType="double"><Discretize field="n">
<DiscretizeBin binValue="0"><Interval closure="closedClosed" leftMargin="0" rightMargin="9"/></DiscretizeBin>
</Discretize></DerivedField>
<DerivedField name="hidden" optype="continuous" dataType="double">
<Extension><UsageType value="disable"/></Extension><FieldRef field="off"/></DerivedField>
</TransformationDictionary>
</PMML>
)";

TEST(CliApply, UnseenCategoriesOutOfBinValuesAndUnreadableCells) {
  ScratchDir dir;
  WriteFile(dir / "doc.pmml", kDoc);
  WriteFile(dir / "d.csv",
            "extra,n,s,level,off\n"
            "1,3,a,high,0.5\n"
            "2,abc,z,low,\n"
            "3,12,\"b, c\",2,1\n"
            "4,x7,\"\",medium,2\n"
            "5,,,,3\n");
  const RunResult run = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "--all-fields"});
  ASSERT_EQ(run.status, 0) << run.err;
  // The unseen category z is missing in a plain map and copied where the
  // map says so; 12 lies outside every bin; "abc" and "x7" are no whole
  // numbers and "medium" no label: missing, one warning per column.
  EXPECT_EQ(run.out,
            "n,s,level,coded,kept,bin,hidden\n"
            "3,a,2,0,a,0,0.5\n"
            ",z,1,,z,,\n"
            "12,\"b, c\",2,1,\"b, c\",,1\n"
            ",\"\",,,\"\",,2\n"
            ",,,,,,3\n");
  EXPECT_EQ(run.err,
            "warning: d.csv: line 3, column 2: 'abc' is not a whole number that fits 64 bits "
            "(field 'n'); 2 cells of this column read as missing\n"
            "warning: d.csv: line 5, column 4: 'medium' is not a whole number that fits 64 bits "
            "(field 'level'); 1 cell of this column read as missing\n");
  // Without --all-fields the disabled field stays out.
  const RunResult enabled = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "-q"});
  EXPECT_EQ(enabled.out.substr(0, enabled.out.find('\n')), "n,s,level,coded,kept,bin");
  EXPECT_EQ(enabled.err, "");
}

TEST(CliApply, NeedsOnlyTheColumnsTheWrittenFieldsDependOn) {
  ScratchDir dir;
  WriteFile(dir / "doc.pmml", kDoc);
  // "off" feeds only the disabled "hidden": data without it replays alike,
  // unless every derived field is asked for.
  WriteFile(dir / "d.csv", "n,s,level,off\n3,a,high,0.5\n");
  WriteFile(dir / "lean.csv", "level,s,n\nhigh,a,3\n");
  const RunResult full = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv"});
  const RunResult lean = RunCli(dir.path(), {"apply", "doc.pmml", "lean.csv"});
  ASSERT_EQ(lean.status, 0) << lean.err;
  EXPECT_EQ(lean.out, full.out);
  const RunResult all = RunCli(dir.path(), {"apply", "doc.pmml", "lean.csv", "--all-fields"});
  EXPECT_EQ(all.status, 2);
  EXPECT_EQ(all.err, "error: lean.csv: the document's field 'off' is not a column of the data\n");
}

TEST(CliApply, ErrorsLeaveExistingOutputUntouched) {
  ScratchDir dir;
  WriteFile(dir / "doc.pmml", kDoc);
  std::string bad = kDoc;
  bad.replace(bad.find("<Discretize "), 11, "<Aggregate");
  bad.replace(bad.find("</Discretize>"), 12, "</Aggregate");
  WriteFile(dir / "bad.pmml", bad);
  WriteFile(dir / "short.csv", "n,s,off\n1,a,1\n");
  WriteFile(dir / "ragged.csv", "n,s,level,off\n1,a,1,2\n1,a\n");
  // Both readers refuse what a document cannot carry, with the same words.
  WriteFile(dir / "control.csv", "n,s,level,off\n1,a\x01,1,2\n");
  WriteFile(dir / "out.csv", "old");
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"apply", "doc.pmml", "short.csv", "-o", "out.csv"},
       "error: short.csv: the document's field 'level' is not a column of the data\n"},
      {{"apply", "doc.pmml", "ragged.csv", "-o", "out.csv"},
       "error: ragged.csv: line 3: 2 cells where the header has 4\n"},
      {{"apply", "bad.pmml", "short.csv", "-o", "out.csv"},
       "error: bad.pmml: line 17: Aggregate: the engine does not know this element\n"},
      {{"apply", "missing.pmml", "short.csv", "-o", "out.csv"},
       "error: cannot open missing.pmml: No such file or directory\n"},
      {{"inverse", "doc.pmml", "short.csv", "--column", "n", "-o", "out.csv"},
       "error: doc.pmml: the document has no target inverse\n"},
      {{"apply", "doc.pmml", "control.csv", "-o", "out.csv"},
       "error: control.csv: line 2, column 2: control character U+0001, which XML cannot "
       "carry\n"},
  };
  for (const Case& c : cases) {
    const RunResult run = RunCli(dir.path(), c.args);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_EQ(run.err, c.message);
  }
  EXPECT_EQ(ReadFile(dir / "out.csv"), "old");
  // No temporary file is left behind.
  EXPECT_EQ(DirectoryEntries(dir.path()),
            (std::vector<std::string>{"bad.pmml", "control.csv", "doc.pmml", "out.csv",
                                      "ragged.csv", "short.csv"}));
  EXPECT_EQ(RunCli(dir.path(), {"inverse", "doc.pmml", "short.csv"}).status, 2);  // no --column
}

// Prepared through the command line, a Box-Cox rescaled target maps back to
// the target it came from, whether the exponent chosen is 0 (the logarithm)
// or not; the prepared data comes through standard output.
TEST(CliApply, InverseGivesThePreparedTargetBack) {
  ScratchDir dir;
  for (const bool logarithm : {true, false}) {
    SCOPED_TRACE(logarithm ? "exponent 0" : "exponent not 0");
    // A log-symmetric target and one spread evenly; one target is missing.
    std::string data = "x,y\n";
    std::vector<double> targets;
    for (int i = 0; i < 200; ++i) {
      const double u = std::sin(i * 0.37);
      targets.push_back(logarithm ? std::exp(4 + 2 * u) : 50 + 25 * u + 0.1 * i);
      char row[64];
      std::snprintf(row, sizeof row, "%d,%.17g\n", i % 17, targets.back());
      data += i == 7 ? "7,\n" : row;
    }
    WriteFile(dir / "d.csv", data);
    const RunResult prepare =
        RunCli(dir.path(), {"prepare", "d.csv", "--target", "y", "-o", "doc.pmml", "--data-out",
                            "-", "-q", "--set", "rescaleScaleTargetUsingBoxCox=true", "--set",
                            "targetMean=10", "--set", "targetSD=2"});
    ASSERT_EQ(prepare.status, 0) << prepare.err;
    EXPECT_FALSE(FileExists(dir / "-"));
    const Document doc(ReadFile(dir / "doc.pmml"));
    EXPECT_EQ(doc.Eval("count(//p:DerivedField[@name='y_transformed']//p:Apply[@function='pow'])"),
              logarithm ? "0" : "1");
    // Standard output holds what `apply` makes of the same file.
    const RunResult apply = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "-q"});
    EXPECT_EQ(prepare.out, apply.out);
    WriteFile(dir / "prepared.csv", prepare.out);

    const RunResult run =
        RunCli(dir.path(), {"inverse", "doc.pmml", "prepared.csv", "--column", "y_transformed"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = ReadCsv(run.out);
    ASSERT_EQ(rows.size(), targets.size() + 1);
    const std::size_t inverse = Column(rows[0], "y_transformed_inverse");
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const std::string& cell = rows[i + 1][inverse];
      if (i == 7) {
        EXPECT_EQ(cell, "");  // no prediction, no inverse
      } else {
        EXPECT_NEAR(std::stod(cell), targets[i], 1e-9 * targets[i]) << "row " << i;
      }
    }
  }
  // Both outputs cannot share standard output.
  const RunResult both =
      RunCli(dir.path(), {"prepare", "d.csv", "--target", "y", "-o", "-", "--data-out", "-"});
  EXPECT_EQ(both.status, 2);
  EXPECT_EQ(both.err,
            "error: only one of the document, the prepared data, its schema, the statistics and "
            "the report can go to standard output\n");
  EXPECT_EQ(both.out, "");
}

// Prediction data has no target and no weight: `apply` reads it all the
// same, the weight and the transformed target come out empty and every other
// column is what the full data gives; an input column is still required.
TEST(CliApply, PredictionDataWithoutTargetAndWeight) {
  ScratchDir dir;
  std::string data = "x,c,w,y\n";
  std::string bare = "x,c\n";
  for (int i = 0; i < 120; ++i) {
    const std::string x = std::to_string(i % 13);
    const std::string c = i % 3 == 0 ? "a" : "b";
    const std::string y = std::to_string(3 * (i % 13) + i % 5);
    data += x + "," + c + "," + std::to_string(1 + i % 2) + "," + y + "\n";
    bare += x + "," + c + "\n";
  }
  WriteFile(dir / "d.csv", data);
  WriteFile(dir / "bare.csv", bare);
  WriteFile(dir / "inputs-only.csv", "c\na\n");
  const RunResult prepare =
      RunCli(dir.path(), {"prepare", "d.csv", "--target", "y", "--frequency-weight", "w", "-o",
                          "doc.pmml", "-q", "--set", "rescaleScaleTargetUsingBoxCox=true"});
  ASSERT_EQ(prepare.status, 0) << prepare.err;
  const RunResult full = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "-q"});
  const RunResult run = RunCli(dir.path(), {"apply", "doc.pmml", "bare.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto expected = ReadCsv(full.out);
  const auto rows = ReadCsv(run.out);
  ASSERT_EQ(rows.size(), expected.size());
  ASSERT_EQ(rows[0], expected[0]);
  // The rescaled target stands in for the target, which is not shown.
  EXPECT_EQ(std::count(rows[0].begin(), rows[0].end(), "y"), 0);
  const std::size_t transformed = Column(rows[0], "y_transformed");
  const std::size_t weight = Column(rows[0], "w");
  for (std::size_t r = 1; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      if (c == transformed || c == weight) {
        EXPECT_EQ(rows[r][c], "") << "row " << r << ", " << rows[0][c];
      } else {
        EXPECT_EQ(rows[r][c], expected[r][c]) << "row " << r << ", " << rows[0][c];
      }
    }
  }
  const RunResult missing = RunCli(dir.path(), {"apply", "doc.pmml", "inputs-only.csv"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err,
            "error: inputs-only.csv: the document's field 'x' is not a column of the data\n");
}

TEST(CliApply, ResultsBeyondTheDoublesAreEmptyCells) {
  // The rescale's line reaches 10 * 1e308 at 10, and -10 * 1e308 at -10.
  ScratchDir dir;
  WriteFile(dir / "doc.pmml", R"(<PMML version="4.0" xmlns="http://www.dmg.org/PMML-4_0">
<DataDictionary><DataField name="x" optype="continuous" dataType="double"/></DataDictionary>
<TransformationDictionary>
<DerivedField name="r" optype="continuous" dataType="double"><NormContinuous field="x">
<LinearNorm orig="0" norm="0"/><LinearNorm orig="1" norm="1e308"/></NormContinuous></DerivedField>
</TransformationDictionary>
</PMML>
)");
  WriteFile(dir / "d.csv", "x\n0.5\n10\n-10\n");
  const RunResult run = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "x,r\n0.5,5e+307\n10,\n-10,\n");
}

}  // namespace
}  // namespace clitest
