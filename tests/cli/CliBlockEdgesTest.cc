// Data every host must prepare, whatever the cut into blocks of rows: a
// numeric column without one value in a file past one block (its histogram
// bounds are not finite numbers), and single values so large that their
// cube, their square or their distance from the others passes the largest
// double. Each file is prepared in memory on one and two threads and
// streamed; every run succeeds and writes the document the component
// writes when it meets the rows one by one.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/CliHarness.h"
#include "support/RecordByRecord.h"

namespace clitest {
namespace {

// Prepares `csv` in `dir` on every path, with `schema` when not empty; the
// documents of the runs, which must all succeed, after the record-by-record
// one.
std::vector<std::string> Documents(const ScratchDir& dir, const std::string& csv,
                                   const std::string& target, const std::string& schema = "") {
  WriteFile(dir / "data.csv", csv);
  std::string error;
  PrepareInputs inputs;
  inputs.csvPath = dir / "data.csv";
  inputs.target = target;
  if (!schema.empty()) {
    WriteFile(dir / "schema.json", schema);
    inputs.schemaPath = dir / "schema.json";
  }
  std::vector<std::string> documents = {RecordByRecordDocument(inputs, &error)};
  EXPECT_EQ(error, "");
  const std::vector<std::vector<std::string>> paths = {
      {"--threads", "1"}, {"--threads", "2"}, {"--stream", "--threads", "1"}};
  for (std::size_t p = 0; p < paths.size(); ++p) {
    std::vector<std::string> args = {"prepare", "data.csv", "--target", target, "-q", "-o",
                                     "run.pmml"};
    if (!schema.empty()) args.insert(args.end(), {"--schema", "schema.json"});
    args.insert(args.end(), paths[p].begin(), paths[p].end());
    const RunResult run = RunCli(dir.path(), args);
    EXPECT_EQ(run.status, 0) << paths[p][0] << " " << paths[p].back() << ": " << run.err;
    documents.push_back(run.status == 0 ? ReadFile(dir / "run.pmml") : "");
  }
  return documents;
}

TEST(CliBlockEdges, AColumnWithoutValuesPastOneBlock) {
  for (int rows : {65536, 65537, 2 * 65536 + 3}) {
    SCOPED_TRACE(rows);
    ScratchDir dir;
    std::string csv = "a,empty,y\n";
    for (int i = 0; i < rows; ++i) {
      csv += std::to_string(i % 1000 * 0.25) + ",," + std::to_string(i % 37 + (i % 1000) * 0.5) +
             "\n";
    }
    const std::vector<std::string> documents = Documents(dir, csv, "y");
    const std::string reference = Comparable(documents[0]);
    ASSERT_NE(reference, "");
    const Document parsed(reference);
    EXPECT_EQ(parsed.Eval("string(//p:UnivariateStats[@field='empty']/p:Counts/@missingFreq)"),
              std::to_string(rows));
    for (std::size_t d = 1; d < documents.size(); ++d) {
      EXPECT_TRUE(SameNumbers(reference, Comparable(documents[d]))) << "run " << d;
      EXPECT_EQ(Comparable(documents[d]), Comparable(documents[1])) << "run " << d;
    }
  }
}

TEST(CliBlockEdges, HugeValuesAreData) {
  const std::string digits300 = "9" + std::string(299, '0');
  for (const std::string& huge : {std::string("1e102"), std::string("1e103"), digits300,
                                  std::string("1.79e308"), std::string("-1.79e308")}) {
    SCOPED_TRACE(huge);
    ScratchDir dir;
    std::string csv = "a,b,y\n";
    for (int i = 0; i < 51; ++i) {
      csv += (i == 7 ? huge : std::to_string(i % 9 * 1.5)) + "," + std::to_string(i % 5) + "," +
             std::to_string(i * 0.75 + i % 4) + "\n";
    }
    const std::vector<std::string> documents = Documents(dir, csv, "y");
    const std::string reference = Comparable(documents[0]);
    ASSERT_NE(reference, "");
    for (std::size_t d = 1; d < documents.size(); ++d) {
      EXPECT_TRUE(SameNumbers(reference, Comparable(documents[d]))) << "run " << d;
    }
    // The cube of 1e103 passes the largest double, the square of 1e155 and
    // beyond too: the skewness is not reported then, the mean is.
    const Document parsed(reference);
    const std::string stats = "//p:UnivariateStats[@field='a']/p:NumericInfo";
    EXPECT_EQ(parsed.Eval("count(" + stats + "/p:Extension[@name='skewness'])"),
              huge == "1e102" ? "1" : "0");
    double others = 0.0;
    for (int i = 0; i < 51; ++i) others += i == 7 ? 0.0 : i % 9 * 1.5;
    const double mean = (std::stod(huge) + others) / 51.0;
    EXPECT_NEAR(std::stod(parsed.Eval("string(" + stats + "/@mean)")), mean,
                std::fabs(mean) * 1e-14);
  }
}

// Values near both ends of the doubles make means and deviations that are
// not numbers, and so the values derived from them (outliers pulled back
// to a cutoff that is not a number): such a derived value is missing, as
// the document's replay takes it, on every path, and no histogram meets it.
// Fields whose range passes the largest double, against a continuous and a
// categorical target, and a few weighted records.
TEST(CliBlockEdges, ValuesNearTheLargestDouble) {
  for (const std::string target : {"y", "yc"}) {
    SCOPED_TRACE(target);
    ScratchDir dir;
    std::string csv = "a,b,y,yc\n";
    for (int i = 0; i < 51; ++i) {
      const std::string a = i == 7 ? "1.7e308" : i == 20 ? "-1.75e308" : std::to_string(i % 9);
      csv += a + "," + std::to_string(i % 5) + "," + std::to_string(i * 0.75 + i % 4) + "," +
             (i % 3 == 0 ? "p" : "q") + "\n";
    }
    const std::vector<std::string> documents = Documents(dir, csv, target);
    ASSERT_NE(documents[0], "");
    for (std::size_t d = 1; d < documents.size(); ++d) {
      EXPECT_TRUE(SameNumbers(Comparable(documents[0]), Comparable(documents[d]))) << "run " << d;
    }
  }
  ScratchDir dir;
  const std::string weighted =
      "huge,fw,y\n650.91197275803279,3.25,69.578140994630445\n"
      "63.130843548640769,1,50.743309482594285\n-31.221444724404137,3.25,60.375951951445998\n"
      "211.08960883228497,1,65.522781012160777\n-1.3165845802413992e+308,2,68.967855279130418\n";
  WriteFile(dir / "data.csv", weighted);
  const RunResult run = RunCli(dir.path(), {"prepare", "data.csv", "--target", "y",
                                            "--frequency-weight", "fw", "-q", "-o", "run.pmml"});
  EXPECT_EQ(run.status, 0) << run.err;
}

// A field whose range passes the largest double has no finite mean or
// standard deviation, and the document carries them as they are: it cannot
// be replayed. The command writes it all the same, quiet or not (a Box-Cox
// target is no reason to replay it); only what needs the replay
// (--data-out) fails.
TEST(CliBlockEdges, ADocumentThatCannotBeReplayedIsWrittenQuietOrNot) {
  ScratchDir dir;
  std::string csv = "a,y\n";
  for (int i = 0; i < 51; ++i) {
    const std::string a = i == 7 ? "1.7e308" : i == 20 ? "-1.75e308" : std::to_string(i % 9);
    csv += a + "," + std::to_string(10 + i * 0.75 + i % 4) + "\n";
  }
  WriteFile(dir / "data.csv", csv);
  const std::vector<std::string> boxCox = {"prepare", "data.csv", "--target", "y", "--set",
                                           "rescaleScaleTargetUsingBoxCox=true", "--set",
                                           "targetSD=1"};
  std::vector<std::string> quiet = boxCox;
  quiet.insert(quiet.end(), {"-q", "-o", "quiet.pmml"});
  std::vector<std::string> told = boxCox;
  told.insert(told.end(), {"-o", "told.pmml"});
  const RunResult quietRun = RunCli(dir.path(), quiet);
  const RunResult toldRun = RunCli(dir.path(), told);
  ASSERT_EQ(quietRun.status, 0) << quietRun.err;
  ASSERT_EQ(toldRun.status, 0) << toldRun.err;
  EXPECT_FALSE(Contains(toldRun.err, "cannot be replayed"));
  EXPECT_EQ(Comparable(ReadFile(dir / "told.pmml")), Comparable(ReadFile(dir / "quiet.pmml")));
  std::vector<std::string> replayed = quiet;
  replayed.insert(replayed.end(), {"--data-out", "prepared.csv"});
  const RunResult replayRun = RunCli(dir.path(), replayed);
  EXPECT_NE(replayRun.status, 0);
  EXPECT_FALSE(FileExists(dir / "prepared.csv"));
}

// Fields with more categories than the limit keep the first categories in
// record order and what they counted until the table was full, whatever
// blocks the rows fall in: here the categories of the first block are the
// 100 highest names, those of the later blocks lower ones, so that the
// 101st (the first of the second block) is the lowest name seen so far; a
// text field and a nominal field of whole numbers.
TEST(CliBlockEdges, CategoryFieldsPastTheirLimit) {
  ScratchDir dir;
  const int rows = 65536 + 100;
  std::string csv = "c,k,x,y\n";
  for (int i = 0; i < rows; ++i) {
    const int block = i / 65536;
    const int category = 299 - i % 100 - 100 * block;
    csv += "k" + std::to_string(category) + "," + std::to_string(1000 - category) + "," +
           std::to_string(i % 17 * 0.5) + "," + std::to_string(i % 23 + i % 7 * 0.25) + "\n";
  }
  const std::vector<std::string> documents =
      Documents(dir, csv, "y", R"({"fields": {"k": {"level": "nominal"}}})");
  const std::string reference = Comparable(documents[0]);
  ASSERT_NE(reference, "");
  const Document parsed(reference);
  // The first block's hundred categories, then the second block's first.
  EXPECT_EQ(parsed.Eval("string(//p:UnivariateStats[@field='c']/p:DiscrStats/p:Array[2]/@n)"),
            "101");
  const std::string texts =
      parsed.Eval("string(//p:UnivariateStats[@field='c']/p:DiscrStats/p:Array[@type='string'])");
  // Row 65,536 holds k163, 36 rows into the cycle of a hundred.
  EXPECT_EQ(texts.substr(0, 14), "\"k163\" \"k200\" ");
  for (std::size_t d = 1; d < documents.size(); ++d) {
    EXPECT_TRUE(SameNumbers(reference, Comparable(documents[d]))) << "run " << d;
  }
}

}  // namespace
}  // namespace clitest
