// The run summary counts what the outlier and missing-value steps did, under
// the names of the CSV's own columns, and the help says what their settings
// mean.
#include <gtest/gtest.h>

#include <string>

#include "cli/CliHarness.h"

namespace clitest {
namespace {

TEST(CliTreatmentSummary, OutliersAndReplacedValuesAreCountedPerInputColumn) {
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
  EXPECT_NE(trimmed.err.find("outliers trimmed to the cutoff: 1 field (x)\n"), std::string::npos)
      << trimmed.err;
  EXPECT_NE(trimmed.err.find("missing values replaced: 3 in 2 fields (s, x)\n"), std::string::npos)
      << trimmed.err;

  // A blanked outlier is one more missing value to replace.
  const RunResult blanked =
      RunCli(dir.path(), {"prepare", "d.csv", "--set", "outliersOperation=setToMissingVal"});
  ASSERT_EQ(blanked.status, 0) << blanked.err;
  EXPECT_NE(blanked.err.find("outliers set to missing: 1 field (x)\n"), std::string::npos);
  EXPECT_NE(blanked.err.find("missing values replaced: 4 in 2 fields (s, x)\n"), std::string::npos);

  const RunResult help = RunCli(dir.path(), {"prepare", "--help"});
  EXPECT_NE(help.out.find("setToMissingVal makes them missing"), std::string::npos);
  EXPECT_NE(help.out.find("replace missing values of ordinal inputs by their median"),
            std::string::npos);
}

}  // namespace
}  // namespace clitest
