// The preparation run every host uses: the same document whether a file is
// held, streamed, read on several threads or handed over as a host's
// columns, on a table of more than one block of rows with missing values,
// outliers, texts and weights; the checks of a host's columns (names and
// texts a document cannot carry, weights, with rows and columns named);
// the memory estimate against hand-computed figures and the limit that
// refuses a build before its first pass, or streams a file whose columns
// do not fit beside the statistics.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

#include "io/ColumnStore.h"
#include "preparation/MemoryEstimate.h"
#include "preparation/PreparationRun.h"
#include "preparation/RunMessages.h"
#include "support/CliHarness.h"
#include "support/TestHost.h"

namespace {

using namespace TorCommon_1_3;
using zelprep::PreparationRun;
using zelprep::RunRequest;
using zelprep::RunResult;

std::string WithoutTimes(const std::string& pmml) {
  static const std::regex clock("<Timestamp>[^<]*</Timestamp>|processingTimeInSecond=\"[^\"]*\"");
  return std::regex_replace(pmml, clock, "");
}

// 70,000 rows (two blocks): a real with missing values and outliers, a
// whole number, a text of five categories, a weight with zeros and a
// continuous target.
std::string HardTable() {
  std::string csv = "x,n,c,w,y\n";
  for (int r = 0; r < 70000; ++r) {
    const double x = std::fmod(r * 0.37, 11.0) + (r % 997 == 0 ? 400.0 : 0.0);
    csv += (r % 13 == 0 ? std::string() : std::to_string(x)) + "," + std::to_string(r % 41) + "," +
           "abcde"[r % 5] + "," + std::to_string(r % 17 == 0 ? 0 : 1 + r % 3) + "," +
           std::to_string(2.0 * x + r % 7) + "\n";
  }
  return csv;
}

struct Ran {
  RunResult result;
  bool streamed = false;
};

Ran RunFile(const std::string& path, RunRequest request, bool stream) {
  PreparationRun run(std::move(request));
  testhost::FlagCheck never;
  if (run.ReadInputs() && run.LoadCsv({{path}, ',', stream}, never, zelio::ReadProgress::Silent())) {
    run.Build({never, zelio::ReadProgress::Silent(), nullptr, nullptr});
  }
  return {run.result(), run.data().streamed};
}

RunRequest Roles(int threads) {
  RunRequest request;
  request.target = "y";
  request.frequencyWeight = "w";
  request.threads = threads;
  return request;
}

TEST(PreparationRun, EveryPathBuildsTheSameDocument) {
  clitest::ScratchDir dir;
  clitest::WriteFile(dir / "t.csv", HardTable());
  const Ran held = RunFile(dir / "t.csv", Roles(1), false);
  ASSERT_TRUE(held.result.ok()) << held.result.status.message();
  EXPECT_FALSE(held.streamed);
  EXPECT_EQ(held.result.records, 70000);
  // Every 17th row has a zero weight and is left out, as the notes say.
  ASSERT_EQ(held.result.notes.size(), 1u);
  EXPECT_EQ(held.result.notes[0],
            "4118 records left out: their frequency or analysis weight is missing, zero or "
            "negative");
  const std::string document = WithoutTimes(held.result.document);
  const Ran streamed = RunFile(dir / "t.csv", Roles(2), true);
  EXPECT_TRUE(streamed.streamed);
  EXPECT_EQ(WithoutTimes(streamed.result.document), document);
  EXPECT_EQ(WithoutTimes(RunFile(dir / "t.csv", Roles(3), false).result.document), document);

  // The same rows as a host's columns.
  zelio::ColumnStore store;
  store.names = {"x", "n", "c", "w", "y"};
  for (int storage :
       {kStorageReal, kStorageInteger, kStorageString, kStorageInteger, kStorageReal}) {
    store.columns.emplace_back(storage);
  }
  const std::vector<std::vector<std::string>> rows = clitest::ReadCsv(HardTable());
  for (std::size_t r = 1; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < 5; ++c) {
      zelio::Column& column = store.columns[c];
      const std::string& cell = rows[r][c];
      if (cell.empty()) {
        column.AppendMissing();
      } else if (column.storage() == kStorageString) {
        column.AppendText(cell);
      } else if (column.storage() == kStorageInteger) {
        column.AppendInteger(std::stoll(cell));
      } else {
        column.AppendDouble(std::stod(cell));
      }
    }
  }
  for (zelio::Column& column : store.columns) column.PrepareReading();
  PreparationRun fromColumns(Roles(2));
  testhost::FlagCheck never;
  ASSERT_TRUE(fromColumns.ReadInputs() && fromColumns.TakeColumns(std::move(store)));
  ASSERT_TRUE(fromColumns.Build({never, zelio::ReadProgress::Silent(), nullptr, nullptr}));
  EXPECT_EQ(WithoutTimes(fromColumns.result().document), document);
}

zelio::ColumnStore TwoColumns(const std::string& name, const std::vector<std::string>& texts,
                              const std::vector<double>& weights) {
  zelio::ColumnStore store;
  store.names = {name, "w"};
  store.columns.emplace_back(kStorageString);
  store.columns.emplace_back(kStorageReal);
  for (std::size_t r = 0; r < texts.size(); ++r) {
    store.columns[0].AppendText(texts[r]);
    if (std::isnan(weights[r])) {
      store.columns[1].AppendMissing();
    } else {
      store.columns[1].AppendDouble(weights[r]);
    }
  }
  for (zelio::Column& column : store.columns) column.PrepareReading();
  return store;
}

std::string Refusal(zelio::ColumnStore store, const std::string& weight = "") {
  RunRequest request;
  request.frequencyWeight = weight;
  PreparationRun run(request);
  EXPECT_TRUE(run.ReadInputs());
  EXPECT_FALSE(run.TakeColumns(std::move(store)));
  EXPECT_TRUE(run.result().status.inputError());
  return run.result().status.message();
}

TEST(PreparationRun, AHostsColumnsAreCheckedWithTheirRowsAndColumns) {
  const std::vector<double> ones(4, 1.0);
  EXPECT_EQ(Refusal(TwoColumns(std::string("a\0b", 3), {"p", "q", "p", "q"}, ones)),
            "column 1: the name 'a\\x00b' holds control character U+0000, which XML cannot "
            "carry");
  EXPECT_EQ(Refusal(TwoColumns("t", {"p", "q", "bad\x1f", "bad\x1f"}, ones)),
            "row 3, column 1: control character U+001F, which XML cannot carry (field 't')");
  EXPECT_EQ(Refusal(TwoColumns("t", {"p", "\xed\xa0\x80", "p", "q"}, ones)),
            "row 2, column 1: invalid UTF-8 (field 't')");
  // The tally names the row of the weight, a frame's row, not a file's line.
  EXPECT_EQ(Refusal(TwoColumns("t", {"p", "q", "p", "q"}, {1.0, 2.0, 1e19, 1.0}), "w"),
            "row 3, column 2: the frequency weight of 'w' is 2^63 or more; weights count whole "
            "records in 64 bits");
  EXPECT_EQ(Refusal(TwoColumns("t", {}, {})), "the data has no records");

  RunRequest request;
  request.frequencyWeight = "w";
  PreparationRun run(request);
  ASSERT_TRUE(run.ReadInputs());
  ASSERT_TRUE(run.TakeColumns(
      TwoColumns("t", {"p", "q", "p", "q", "r"}, {1.0, std::nan(""), 0.0, -2.0, 3.0})));
  ASSERT_EQ(run.result().notes.size(), 1u);
  EXPECT_EQ(run.result().notes[0].substr(0, 18), "3 records left out");
}

TEST(PreparationRun, TheWarningLinesGroupTheStepsThatDoNotApply) {
  // 210103: supervised binning without a categorical target; 210105:
  // feature selection without a target; 210113: every field excluded.
  const std::vector<TorStatus> warnings = {TorStatus(210103, true), TorStatus(210113, true),
                                           TorStatus(210105, true)};
  const std::vector<std::string> lines = zelprep::WarningLines({"a note"}, warnings);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "warning: a note");
  EXPECT_EQ(lines[1], "warning 210113: " + zelprep::StatusMessage(210113));
  EXPECT_EQ(lines[2].rfind("not applicable here: ", 0), 0u);
  EXPECT_NE(lines[2].find(", "), std::string::npos);
  EXPECT_TRUE(zelprep::WarningLines({}, {}).empty());
  EXPECT_EQ(zelprep::StatusMessage(999), "unknown status");
}

TorVarList Fields(int continuous, int categorical, int categories, bool target) {
  TorVarList fields;
  for (int i = 0; i < continuous; ++i) {
    fields.AddVariable(testhost::ContField("x" + std::to_string(i)));
  }
  for (int i = 0; i < categorical; ++i) {
    fields.AddVariable(new TorCatVar("c" + std::to_string(i), "", categories,
                                     kLevelCategoricalString, kRoleInput, false));
  }
  if (target) fields.AddVariable(testhost::ContField("y", 2, kRoleTarget));
  return fields;
}

TEST(MemoryEstimate, CountsFieldsCategoriesAndPairsAsDocumented) {
  TorSettings settings;
  // 10 continuous inputs and a continuous target: 11 fields of 20 kB, and
  // 11 * 12 / 2 pairs of 240 bytes.
  zelprep::MemoryEstimate estimate =
      zelprep::EstimateBuildMemory(settings, Fields(10, 0, 0, true), 1, 1000);
  EXPECT_EQ(estimate.fields, 11u);
  EXPECT_EQ(estimate.fieldBytes, 11u * 20000u);
  EXPECT_EQ(estimate.pairedFields, 11u);
  EXPECT_EQ(estimate.pairBytes, 66u * 240u);
  // Two replicas: 14 kB and 40 bytes a pair more.
  estimate = zelprep::EstimateBuildMemory(settings, Fields(10, 0, 0, true), 2, 1000);
  EXPECT_EQ(estimate.fieldBytes, 11u * 34000u);
  EXPECT_EQ(estimate.pairBytes, 66u * 280u);
  // Categories up to the limit plus one (100 + 1 by default), 100 bytes each.
  estimate = zelprep::EstimateBuildMemory(settings, Fields(0, 3, 500, false), 1, 1000);
  EXPECT_EQ(estimate.fieldBytes, 3u * (20000u + 101u * 100u));
  EXPECT_EQ(estimate.pairBytes, 0u);
  // Without a target the pairs serve feature construction only; with fewer
  // records than recasting needs, the inputs turn ordinal first.
  EXPECT_EQ(zelprep::EstimateBuildMemory(settings, Fields(100, 0, 0, false), 1, 1000).pairedFields,
            100u);
  EXPECT_EQ(zelprep::EstimateBuildMemory(settings, Fields(100, 0, 0, false), 1, 3).pairedFields,
            0u);
  settings.SetBool("featureConstruction", false);
  EXPECT_EQ(zelprep::EstimateBuildMemory(settings, Fields(100, 0, 0, false), 1, 1000).pairBytes,
            0u);
  EXPECT_EQ(zelprep::DescribeBytes(999), "999 bytes");
  EXPECT_EQ(zelprep::DescribeBytes(1023), "1023 bytes");
  EXPECT_EQ(zelprep::DescribeBytes(1536), "1.5 KiB");
  EXPECT_EQ(zelprep::DescribeBytes(uint64_t{100} << 20), "100 MiB");
  EXPECT_EQ(zelprep::DescribeBytes(uint64_t{19} << 30), "19 GiB");
}

TEST(MemoryEstimate, TheLimitRefusesABuildOrStreamsItsFile) {
  clitest::ScratchDir dir;
  // 300 continuous fields against a continuous target: their pairs take
  // 301 * 302 / 2 * 240 bytes, about 10.4 MiB.
  std::string csv;
  for (int c = 0; c < 300; ++c) csv += "x" + std::to_string(c) + ",";
  csv += "y\n";
  for (int r = 0; r < 40; ++r) {
    for (int c = 0; c < 300; ++c) csv += std::to_string((r * (c + 3)) % 29 + 0.5) + ",";
    csv += std::to_string(r) + "\n";
  }
  clitest::WriteFile(dir / "wide.csv", csv);
  RunRequest request;
  request.target = "y";
  request.memoryLimit = 10000000;
  request.memoryLimitName = "--memory-limit";
  const Ran refused = RunFile(dir / "wide.csv", request, false);
  EXPECT_EQ(refused.result.status.kind(), zelstatus::Kind::kLimitExceeded);
  EXPECT_EQ(refused.result.status.message(),
            "the statistics of 301 fields would take about 16 MiB (10 MiB of it for the pairs of "
            "301 continuous fields), more than the memory limit of 9.5 MiB: hand the build fewer "
            "fields or raise --memory-limit");
  EXPECT_TRUE(refused.result.warnings.empty());

  // A limit the statistics fit but the held columns do not fit beside:
  // the file is streamed, and gives the document of a run without limit.
  const uint64_t statistics = 301u * 20000u + 301u * 302u / 2u * 240u;
  request.memoryLimit = statistics + 1000;
  const Ran squeezed = RunFile(dir / "wide.csv", request, false);
  ASSERT_TRUE(squeezed.result.ok()) << squeezed.result.status.message();
  EXPECT_TRUE(squeezed.streamed);
  request.memoryLimit = 0;
  const Ran free = RunFile(dir / "wide.csv", request, false);
  EXPECT_FALSE(free.streamed);
  EXPECT_EQ(WithoutTimes(squeezed.result.document), WithoutTimes(free.result.document));
}

}  // namespace
