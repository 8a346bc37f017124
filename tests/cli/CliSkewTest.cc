// The skewness step on the command line, over a file past one block of rows:
// the document validates, one and two threads write the same document, the
// prepared data of `prepare --data-out` equal what `apply` makes of the same
// file and the transformed values those computed here from the document's
// exponent; the defaults leave skewed inputs as they are.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/CliHarness.h"
#include "support/SchemaCheck.h"

namespace clitest {
namespace {

// x: a long right tail; w: both signs, a long left tail; u: symmetric; y:
// the target. Every 97th x is missing.
std::string SkewedCsv(int rows) {
  std::string csv = "x,w,u,y\n";
  for (int i = 0; i < rows; ++i) {
    const double t = (i % 1000) / 1000.0;
    const std::string x = i % 97 == 0 ? "" : std::to_string(std::exp(6.0 * t) + 0.5);
    csv += x + "," + std::to_string(3.0 - std::exp(5.0 * ((i * 7) % 1000) / 1000.0)) + "," +
           std::to_string(i % 11) + "," + std::to_string(t * 4 + (i % 3)) + "\n";
  }
  return csv;
}

TEST(CliSkew, ThreadsAgreeAndTheReplayComputesWhatTheBuildPrepared) {
  ScratchDir dir;
  const int rows = 65536 + 1500;
  WriteFile(dir / "data.csv", SkewedCsv(rows));
  for (const std::string method : {"boxCox", "signedLog"}) {
    SCOPED_TRACE(method);
    std::vector<std::string> documents;
    for (const char* threads : {"1", "2"}) {
      const RunResult run = RunCli(
          dir.path(), {"prepare", "data.csv", "--target", "y", "-q", "--threads", threads,
                       "--set", "transformSkewedInputs=true", "--set",
                       "skewTransformMethod=" + method, "--set", "detectFeatureOutliers=false",
                       "--set", "featureConstruction=false", "--set", "featureSelection=false",
                       "-o", "doc.pmml", "--data-out", "prepared.csv"});
      ASSERT_EQ(run.status, 0) << run.err;
      documents.push_back(WithoutTimes(ReadFile(dir / "doc.pmml")));
    }
    EXPECT_EQ(documents[0], documents[1]);
    EXPECT_TRUE(schemacheck::IsSchemaValid(documents[0]));
    const Document doc(documents[0]);
    EXPECT_EQ(doc.Eval("count(//p:StepSummary/p:Action[@reasonKey='TransformSkewness'])"), "1");
    EXPECT_EQ(doc.Eval("string(//p:StepSummary/p:Action[@reasonKey='TransformSkewness']/"
                       "@numOfFields)"),
              "2");
    EXPECT_EQ(doc.Eval("count(//p:DerivedField[@name='u_SkewTransform'])"), "0");

    const RunResult replay =
        RunCli(dir.path(), {"apply", "doc.pmml", "data.csv", "-q", "-o", "replayed.csv"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(ReadFile(dir / "replayed.csv"), ReadFile(dir / "prepared.csv"));

    // The transformed x of a few rows, rescaled by the document's own mean
    // and SD, from the exponent and shift its summary quotes.
    const std::string action =
        "//p:DerivedField[@name='x_ReplaceMissingCont_SkewTransform']//p:Action/";
    const std::string input = "//p:DerivedField[@name='x_transformed']//p:Apply[@function='-']/";
    const double mean = std::stod(doc.Eval("string(" + input + "p:Constant)"));
    const double sd = std::stod(
        doc.Eval("string(//p:DerivedField[@name='x_transformed']//p:Apply[@function='/']/"
                 "p:Constant[2])"));
    const std::vector<std::vector<std::string>> prepared = ReadCsv(ReadFile(dir / "prepared.csv"));
    const std::size_t column = Column(prepared.front(), "x_transformed");
    for (int i : {1, 2, 500, 999, 65537}) {
      const double x = std::exp(6.0 * ((i % 1000) / 1000.0)) + 0.5;
      double y;
      if (method == "signedLog") {
        y = std::log(1 + x);
      } else {
        const double lambda = std::stod(doc.Eval("string(" + action + "@parameter)"));
        const double shift = std::stod(doc.Eval("string(" + action + "@parameter2)"));
        y = lambda == 0 ? std::log(x - shift) : (std::pow(x - shift, lambda) - 1) / lambda;
      }
      EXPECT_NEAR(std::stod(prepared[static_cast<std::size_t>(i) + 1][column]), (y - mean) / sd,
                  1e-4)
          << i;
    }
  }
}

// The printed summary and the report say which inputs were transformed, and
// how.
TEST(CliSkew, TheSummaryAndTheReportNameTheTransforms) {
  ScratchDir dir;
  WriteFile(dir / "data.csv", SkewedCsv(2000));
  const RunResult run = RunCli(
      dir.path(), {"prepare", "data.csv", "--target", "y", "--set", "transformSkewedInputs=true",
                   "--set", "skewTransformMethod=signedLog", "--set",
                   "detectFeatureOutliers=false", "-o", "doc.pmml", "--report", "doc.html"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "skewed inputs transformed: 2 fields (w (signed log), x (signed "
                                "log))\n"));
  EXPECT_TRUE(Contains(ReadFile(dir / "doc.html"), "skewness reduced: signed log"));

  const RunResult boxCox = RunCli(
      dir.path(), {"prepare", "data.csv", "--target", "y", "--set", "transformSkewedInputs=true",
                   "--set", "detectFeatureOutliers=false", "-o", "doc.pmml"});
  ASSERT_EQ(boxCox.status, 0) << boxCox.err;
  EXPECT_TRUE(Contains(boxCox.err, "x (Box-Cox, exponent "));
}

TEST(CliSkew, TheDefaultsLeaveSkewedInputsAlone) {
  ScratchDir dir;
  WriteFile(dir / "data.csv", SkewedCsv(2000));
  const RunResult run =
      RunCli(dir.path(), {"prepare", "data.csv", "--target", "y", "-q", "-o", "doc.pmml"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string pmml = ReadFile(dir / "doc.pmml");
  EXPECT_EQ(pmml.find("TransformSkewness"), std::string::npos);
  EXPECT_EQ(pmml.find("_SkewTransform"), std::string::npos);
}

}  // namespace
}  // namespace clitest
