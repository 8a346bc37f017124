// The run summary of `zelcraft prepare`, under the names of the CSV's own
// columns: inputs excluded for lack of association with the target and
// inputs binned against it, what the outlier and missing-value steps did
// (and what the help says their settings mean), and the fields merged,
// constructed and screened out again.
#include <gtest/gtest.h>

#include <string>

#include "support/CliHarness.h"

namespace clitest {
namespace {

// x lies near 1 for "no" and near 10 for "yes": binned. colour takes each of
// its values equally often with either answer: no association.
TEST(CliSummary, UnassociatedAndBinnedInputs) {
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
  EXPECT_TRUE(Contains(run.err,
      "against the target: 1 inputs excluded for lack of association, 1 binned"));
  const Document doc(ReadFile(dir / "small.pmml"));
  EXPECT_EQ(doc.Eval("count(//p:DerivedField/p:Discretize)"), "1");
  EXPECT_EQ(doc.Eval("count(//p:Discretize/p:DiscretizeBin)"), "2");

  // Without a target nothing is measured against one.
  const RunResult untargeted = RunCli(dir.path(), {"prepare", "small.csv", "-o", "-"});
  ASSERT_EQ(untargeted.status, 0) << untargeted.err;
  EXPECT_EQ(untargeted.err.find("against the target"), std::string::npos) << untargeted.err;
}

TEST(CliSummary, OutliersAndReplacedValuesAreCountedPerInputColumn) {
  ScratchDir dir;
  // x: 40 values about 20, one far away and two empty; s: one empty cell.
  std::string csv = "x,s\n";
  for (int i = 0; i < 43; ++i) {
    const std::string x = i < 2 ? "" : i == 2 ? "5000" : std::to_string(15 + i % 11);
    csv += x + "," + (i == 3 ? "" : i % 2 ? "u" : "v") + "\n";
  }
  WriteFile(dir / "d.csv", csv);
  const RunResult trimmed = RunCli(dir.path(), {"prepare", "d.csv"});
  ASSERT_EQ(trimmed.status, 0) << trimmed.err;
  EXPECT_TRUE(Contains(trimmed.err, "outliers trimmed to the cutoff: 1 field (x)\n"));
  EXPECT_TRUE(Contains(trimmed.err, "missing values replaced: 3 in 2 fields (s, x)\n"));

  // A blanked outlier is one more missing value to replace.
  const RunResult blanked =
      RunCli(dir.path(), {"prepare", "d.csv", "--set", "outliersOperation=setToMissingVal"});
  ASSERT_EQ(blanked.status, 0) << blanked.err;
  EXPECT_TRUE(Contains(blanked.err, "outliers set to missing: 1 field (x)\n"));
  EXPECT_TRUE(Contains(blanked.err, "missing values replaced: 4 in 2 fields (s, x)\n"));

  const RunResult help = RunCli(dir.path(), {"prepare", "--help"});
  EXPECT_TRUE(Contains(help.out, "setToMissingVal makes them missing"));
  EXPECT_TRUE(Contains(help.out, "replace missing values of ordinal inputs by their median"));
}

// area: north 10, south 8, and three areas of one record (a minimum of 2 at
// the default 10 %). x and y rise together. Neither area nor colour tells
// the answers apart, so merged against them each keeps one category.
TEST(CliSummary, MergedConstructedAndScreenedFields) {
  ScratchDir dir;
  const char* areas[] = {"east", "west", "hill"};
  std::string csv = "area,x,y,colour,answer\n";
  for (int i = 0; i < 21; ++i) {
    const std::string area = i < 10 ? "north" : i < 18 ? "south" : areas[i - 18];
    csv += area + "," + std::to_string(i) + "," + std::to_string(2 * i + i % 3) + "," +
           (i % 4 < 2 ? "red" : "blue") + "," + (i % 2 ? "yes" : "no") + "\n";
  }
  WriteFile(dir / "small.csv", csv);
  const RunResult plain = RunCli(dir.path(), {"prepare", "small.csv", "-o", "-"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_TRUE(Contains(plain.err,
      "merged sparse categories: area, 5 categories into 3 (area_transformed)"));
  EXPECT_TRUE(Contains(plain.err, "constructed feature1 from y, x\n"));
  // Derived fields are named themselves, with the column they come from.
  EXPECT_TRUE(Contains(plain.err,
      "excluded for covered by a constructed feature: 2 (x_Outlier_RescaleScaleFeature [x], "
      "y_Outlier_RescaleScaleFeature [y])\n"));

  const RunResult targeted = RunCli(dir.path(), {"prepare", "small.csv", "-o", "-", "--target",
                                                 "answer", "--set", "featureSelection=false"});
  ASSERT_EQ(targeted.status, 0) << targeted.err;
  EXPECT_TRUE(Contains(targeted.err,
      "merged categories alike for the target: colour, 2 categories into 1"));
  EXPECT_TRUE(Contains(targeted.err,
      "excluded for constant after merging categories: 2 (area_MergeNominalHasTarget [area], "
      "colour_MergeNominalHasTarget [colour])\n"));
  // Steps that do not apply to data with a target share one line.
  EXPECT_TRUE(Contains(targeted.err,
      "not applicable here: unsupervised merging (a target is present)\n"));
  EXPECT_EQ(targeted.err.find("warning 210115"), std::string::npos) << targeted.err;
}

}  // namespace
}  // namespace clitest
