// `zelcraft prepare` with a categorical target: the run summary says how many
// inputs were excluded for lack of association and how many were binned,
// and the binned fields are in the document.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cli/CliHarness.h"

namespace clitest {
namespace {

// x lies near 1 for "no" and near 10 for "yes": binned. colour takes each of
// its values equally often with either answer: no association.
TEST(CliTarget, SummaryNamesUnassociatedAndBinnedInputs) {
  ScratchDir dir;
  std::string csv = "x,colour,churn\n";
  for (int i = 0; i < 20; ++i) {
    const bool yes = i % 2 == 1;
    csv += std::to_string((yes ? 10.0 : 1.0) + (i / 2) * 0.01) + "," +
           (i % 4 < 2 ? "red" : "blue") + "," + (yes ? "yes" : "no") + "\n";
  }
  WriteFile(dir / "small.csv", csv);
  const RunResult run = RunCli(dir.path(), {"prepare", "small.csv", "--target", "churn"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("against the target: 1 inputs excluded for lack of association, 1 binned"),
            std::string::npos)
      << run.err;
  const Document doc(ReadFile(dir / "small.pmml"));
  EXPECT_EQ(doc.Eval("count(//p:DerivedField/p:Discretize)"), "1");
  EXPECT_EQ(doc.Eval("count(//p:Discretize/p:DiscretizeBin)"), "2");

  // Without a target nothing is measured against one.
  const RunResult untargeted = RunCli(dir.path(), {"prepare", "small.csv", "-o", "-"});
  ASSERT_EQ(untargeted.status, 0) << untargeted.err;
  EXPECT_EQ(untargeted.err.find("against the target"), std::string::npos) << untargeted.err;
}

TEST(CliTarget, ExampleDataShowsBinnedFields) {
  ScratchDir dir;
  const std::string generate = SiblingProgram("zelcraft-example-data") + " " + dir.path();
  ASSERT_EQ(std::system(generate.c_str()), 0);
  const RunResult run =
      RunCli(dir.path(), {"prepare", "customers.csv", "--target", "churn", "--frequency-weight",
                          "weight", "--schema", "customers.schema.json", "--settings",
                          "customers.settings.json", "-o", "customers.pmml"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Document doc(ReadFile(dir / "customers.pmml"));
  const std::string binned =
      doc.Eval("sum(//p:StepSummary/p:Action[@reasonKey='BinValues']/@numOfFields)");
  EXPECT_NE(binned, "0");
  EXPECT_EQ(doc.Eval("count(//p:DerivedField[p:Discretize])"), binned);
  // The frequency weight is no input: never binned.
  EXPECT_EQ(doc.Eval("count(//p:Discretize[@field='weight'])"), "0");
  EXPECT_NE(run.err.find(" inputs excluded for lack of association, " + binned + " binned"),
            std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace clitest
