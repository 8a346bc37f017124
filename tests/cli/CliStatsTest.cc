// `zelcraft prepare --stats`: the reported statistics as a flat CSV file,
// with figures computed here from the data, and the run summary's count of
// rescaled inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/CliHarness.h"

namespace clitest {
namespace {

// The cells of each row, by the first cell (the header's is "field").
std::map<std::string, std::vector<std::string>> Rows(const std::string& csv) {
  std::map<std::string, std::vector<std::string>> rows;
  for (std::vector<std::string>& row : ReadCsv(csv)) rows[row.front()] = std::move(row);
  return rows;
}

double Number(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

TEST(CliStats, StatisticsFileHoldsTheReportedFields) {
  ScratchDir dir;
  // x: 1 to 20 and two empty cells; "c,1": two texts, one with a comma.
  std::string csv = "x,\"c,1\"\n";
  for (int i = 1; i <= 22; ++i) {
    csv += (i <= 20 ? std::to_string(i) : "") + "," + (i % 3 ? "red" : "\"dark, blue\"") + "\n";
  }
  WriteFile(dir / "d.csv", csv);
  const RunResult run = RunCli(dir.path(), {"prepare", "d.csv", "--stats", "d.stats.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "continuous inputs rescaled (z-score): 1\n"));
  EXPECT_TRUE(Contains(run.err, "statistics written to d.stats.csv\n"));

  const std::string text = ReadFile(dir / "d.stats.csv");
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "field,kind,count,missing,mean,min,max,sd,skewness,categories");
  EXPECT_TRUE(Contains(text, "\n\"c,1\",categorical,22,0,,,,,,2\n"));
  const auto rows = Rows(text);
  ASSERT_EQ(rows.size(), 4u) << text;  // the header, "c,1", x and its rescaled copy
  // x as read: mean 10.5, spread sqrt(665 / 19), symmetric.
  const std::vector<std::string>& x = rows.at("x");
  ASSERT_EQ(x.size(), 10u);
  EXPECT_EQ(x[1] + " " + x[2] + " " + x[3], "continuous 20 2");
  EXPECT_NEAR(Number(x[4]), 10.5, 1e-12);
  EXPECT_EQ(x[5] + " " + x[6], "1 20");
  EXPECT_NEAR(Number(x[7]), std::sqrt(665.0 / 19), 1e-12);
  EXPECT_NEAR(Number(x[8]), 0.0, 1e-12);
  EXPECT_EQ(x[9], "");
  // Its copy: missing values replaced by the mean, then mean 0 and SD 1.
  const std::vector<std::string>& z = rows.at("x_transformed");
  EXPECT_EQ(z[1] + " " + z[2] + " " + z[3], "continuous 22 0");
  EXPECT_NEAR(Number(z[4]), 0.0, 1e-12);
  EXPECT_NEAR(Number(z[5]), -9.5 / std::sqrt(665.0 / 21), 1e-12);
  EXPECT_NEAR(Number(z[7]), 1.0, 1e-12);

  // A failed run leaves the statistics file as it was.
  const RunResult failed =
      RunCli(dir.path(), {"prepare", "d.csv", "--stats", "d.stats.csv", "--set",
                          "scaleFeatureRescalingMethod=zScore", "--set", "zScore_SD=0"});
  EXPECT_EQ(failed.status, 2) << failed.err;
  EXPECT_EQ(ReadFile(dir / "d.stats.csv"), text);
}

}  // namespace
}  // namespace clitest
