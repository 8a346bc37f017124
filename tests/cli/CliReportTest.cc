// `zelcraft report` and `prepare --report`: where the page goes, which
// outputs are refused before any work, and a page for a document that
// lacks what a fresh one carries. What the page shows is checked in a
// browser (tests/report).
#include <gtest/gtest.h>

#include <string>

#include "support/CliHarness.h"

namespace clitest {
namespace {

// A document as an older or foreign writer might make it: two fields, no
// processing summary, no statistics, no target.
const char kBareDocument[] =
    "<?xml version=\"1.0\"?>\n"
    "<PMML version=\"4.0\" xmlns=\"http://www.dmg.org/PMML-4_0\"><Header/>"
    "<DataDictionary numberOfFields=\"2\">"
    "<DataField name=\"a &amp; b\" optype=\"continuous\" dataType=\"double\"/>"
    "<DataField name=\"&lt;c&gt;\" optype=\"categorical\" dataType=\"string\"/>"
    "</DataDictionary><TransformationDictionary/></PMML>\n";

TEST(CliReport, PageOfADocumentThatLacksSummaryStatisticsAndTarget) {
  ScratchDir dir;
  WriteFile(dir / "old.pmml", kBareDocument);
  const RunResult run = RunCli(dir.path(), {"report", "old.pmml"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "report written to old.html\n"));
  const std::string page = ReadFile(dir / "old.html");
  EXPECT_TRUE(Contains(page, "no processing summary"));
  EXPECT_TRUE(Contains(page, "does not list its reported fields"));
  EXPECT_TRUE(Contains(page, "no statistics for this field"));
  EXPECT_TRUE(Contains(page, "prepared without a target"));
  // Both fields get a panel, their names escaped.
  EXPECT_TRUE(Contains(page, "data-name=\"a &amp; b\""));
  EXPECT_TRUE(Contains(page, "data-name=\"&lt;c&gt;\""));
  EXPECT_EQ(page.find("<c>"), std::string::npos);
  // Nothing is fetched: no reference to another address.
  EXPECT_EQ(page.find("http://"), std::string::npos);
  EXPECT_EQ(page.find("https://"), std::string::npos);
  EXPECT_EQ(page.find(" src="), std::string::npos);

  const RunResult toStdout = RunCli(dir.path(), {"report", "old.pmml", "-o", "-"});
  ASSERT_EQ(toStdout.status, 0) << toStdout.err;
  EXPECT_EQ(toStdout.out, page);
}

TEST(CliReport, RefusesBadDocumentsAndOutputsThatAreInputs) {
  ScratchDir dir;
  WriteFile(dir / "notes.pmml", "<notes>not a preparation</notes>\n");
  const RunResult foreign = RunCli(dir.path(), {"report", "notes.pmml"});
  EXPECT_EQ(foreign.status, 2);
  EXPECT_TRUE(Contains(foreign.err, "notes.pmml: not a PMML document"));
  EXPECT_FALSE(FileExists(dir / "notes.html"));

  WriteFile(dir / "old.pmml", kBareDocument);
  const RunResult self = RunCli(dir.path(), {"report", "old.pmml", "-o", "old.pmml"});
  EXPECT_EQ(self.status, 2);
  EXPECT_EQ(ReadFile(dir / "old.pmml"), kBareDocument);
  EXPECT_EQ(RunCli(dir.path(), {"report", "missing.pmml"}).status, 2);

  // prepare --report is checked with the other outputs before the data is read.
  WriteFile(dir / "d.csv", "x,y\n1,a\n2,b\n3,a\n4,b\n");
  const RunResult onData = RunCli(dir.path(), {"prepare", "d.csv", "--report", "d.csv"});
  EXPECT_EQ(onData.status, 2);
  EXPECT_TRUE(Contains(onData.err, "d.csv"));
  const RunResult onDocument =
      RunCli(dir.path(), {"prepare", "d.csv", "-o", "d.pmml", "--report", "d.pmml"});
  EXPECT_EQ(onDocument.status, 2);
  EXPECT_TRUE(Contains(onDocument.err, "the report cannot be written to d.pmml"));
  const RunResult twoOnStdout =
      RunCli(dir.path(), {"prepare", "d.csv", "-o", "-", "--report", "-"});
  EXPECT_EQ(twoOnStdout.status, 2);
  EXPECT_FALSE(FileExists(dir / "d.pmml"));

  const RunResult both = RunCli(dir.path(), {"prepare", "d.csv", "--report", "d.html"});
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_TRUE(Contains(both.err, "report written to d.html\n"));
  const std::string page = ReadFile(dir / "d.html");
  EXPECT_TRUE(Contains(page, "Preparation report: \u2068d.csv\u2069"));
  EXPECT_TRUE(Contains(page, "<dt>records read</dt><dd>4</dd>"));
}

}  // namespace
}  // namespace clitest
