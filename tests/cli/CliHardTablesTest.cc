// The paths against each other on hard tables (examples/HardTables.h: a
// column without a value, one missing in a whole block, constant and lone
// values, magnitudes up to 1e308, subnormals and signed zeros,
// texts and whole numbers past the category limit in an order that changes
// along the rows, dates before 1970, weights of 0 and fractions) at one, two
// and three blocks of rows. Each table is prepared in memory on one, two and
// three threads and streamed: every document is the one-thread document,
// byte for byte (the header's time and the processing time aside), and its
// numbers are within 1e-12 of those the component writes meeting the rows
// one by one (of the field's range, for numbers near 0 amid large values);
// a build the data makes fail fails alike on every path. A few seeds run
// here, at every vector level (ctest runs this suite once per level);
// fuzz_hard_tables runs many more on small blocks, and the Python tests take
// the same tables to data frames and partitions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HardTables.h"
#include "frame/ZelVectorLevel.h"
#include "support/CliHarness.h"
#include "support/RecordByRecord.h"
#include "support/SchemaCheck.h"

using ZelFrame::BestVectorLevel;
using ZelFrame::VectorLevelInUse;

namespace clitest {
namespace {

struct Case {
  uint64_t seed;
  int blocks;
};

void CheckPaths(const Case& c) {
  const hardtables::HardTable table =
      hardtables::MakeHardTable(c.seed, hardtables::RowsForBlocks(c.seed, c.blocks));
  ScratchDir dir;
  WriteFile(dir / "data.csv", table.csv);
  WriteFile(dir / "schema.json", table.schema);
  PrepareInputs inputs{dir / "data.csv", dir / "schema.json", table.target,
                       table.frequencyWeight, table.analysisWeight, table.settings};
  // A build the data makes fail fails alike on every path.
  std::string error;
  const std::string reference = Comparable(RecordByRecordDocument(inputs, &error));
  const std::string failure = error.empty() ? "" : "error " + error.substr(error.rfind(' ') + 1);

  std::vector<std::string> common = {"prepare", "data.csv", "--schema", "schema.json",
                                     "--target", table.target, "-q", "-o", "run.pmml"};
  if (!table.frequencyWeight.empty()) {
    common.insert(common.end(), {"--frequency-weight", table.frequencyWeight});
  }
  if (!table.analysisWeight.empty()) {
    common.insert(common.end(), {"--analysis-weight", table.analysisWeight});
  }
  for (const std::string& setting : table.settings) common.insert(common.end(), {"--set", setting});
  const std::vector<std::vector<std::string>> paths = {
      {"--threads", "1"}, {"--threads", "2"}, {"--threads", "3"}, {"--stream", "--threads", "1"}};
  std::string oneThread;
  for (const std::vector<std::string>& path : paths) {
    std::vector<std::string> args = common;
    args.insert(args.end(), path.begin(), path.end());
    const RunResult run = RunCli(dir.path(), args);
    const std::string name = path[0] + " " + path.back();
    if (!failure.empty()) {
      EXPECT_EQ(run.status, 1) << name;
      EXPECT_EQ(run.err.substr(0, failure.size() + 1), failure + ":") << name << ": " << run.err;
      continue;
    }
    ASSERT_EQ(run.status, 0) << name << ": " << run.err;
    const std::string document = Comparable(ReadFile(dir / "run.pmml"));
    if (oneThread.empty()) {
      oneThread = document;
      EXPECT_TRUE(SameNumbers(reference, document)) << "one thread against record by record";
      continue;
    }
    EXPECT_EQ(document, oneThread) << name;
  }
}

// Under the sanitizers, whose builds run many times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Seeds 0 to 5 take each magnitude of the large column once, both kinds of
// target, weights and none, a last block full and short; seed 4 a lower
// category limit. At the narrower vector levels (their own runs of this
// suite) the tables of three and two blocks with the largest magnitudes and
// a categorical target; under the sanitizers the second alone.
TEST(HardTables, EveryPathWritesTheDocumentOfOneThread) {
  const bool best = VectorLevelInUse() == BestVectorLevel();
  const std::vector<Case> cases = kSanitized ? std::vector<Case>{{5, 2}}
                                  : best     ? std::vector<Case>{{0, 1}, {1, 2}, {2, 3}, {3, 2},
                                                                 {4, 3}, {5, 2}}
                                             : std::vector<Case>{{4, 3}, {5, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE("seed " + std::to_string(c.seed) + ", " + std::to_string(c.blocks) + " blocks");
    CheckPaths(c);
  }
}

}  // namespace
}  // namespace clitest
