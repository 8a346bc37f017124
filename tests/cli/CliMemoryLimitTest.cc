// --memory-limit bounds the held columns and the build's statistics
// together: a header wider than the statistics fit under it is refused
// before any pass with the estimate, and nothing is written; a limit the
// statistics fit under builds as without one.
#include <gtest/gtest.h>

#include "support/CliHarness.h"

namespace clitest {
namespace {

// `columns` whole-number columns of three rows: too few rows for their
// pairs to be made, so each costs its own statistics only (20 kB).
std::string WideTable(int columns) {
  std::string csv;
  for (int c = 0; c < columns; ++c) csv += (c ? ",c" : "c") + std::to_string(c);
  csv += "\n";
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < columns; ++c) csv += (c ? "," : "") + std::to_string((c * 7 + r) % 10);
    csv += "\n";
  }
  return csv;
}

TEST(CliMemoryLimit, AWideHeaderIsRefusedUpFrontWithTheEstimate) {
  ScratchDir dir;
  WriteFile(dir / "wide.csv", WideTable(3000));
  const RunResult refused =
      RunCli(dir.path(), {"prepare", "wide.csv", "--memory-limit", "10M", "-o", "never.pmml"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err,
            "error: the statistics of 3000 fields would take about 57 MiB, more than the memory "
            "limit of 10 MiB: hand the build fewer fields or raise --memory-limit\n");
  EXPECT_FALSE(FileExists(dir / "never.pmml"));

  const RunResult built =
      RunCli(dir.path(), {"prepare", "wide.csv", "--memory-limit", "100M", "-o", "doc.pmml", "-q"});
  EXPECT_EQ(built.status, 0) << built.err;
  EXPECT_TRUE(FileExists(dir / "doc.pmml"));
}

}  // namespace
}  // namespace clitest
