// Byte ranges of a CSV file: cut at every size, the ranges' rows are the
// file's rows, each once, for LF and CRLF, a byte-order mark and a last row
// without a line feed; the header row ends where the CSV rules end it; a
// changed file is refused. The loader with storages fixed for every range,
// a row limit, and type inferences combined over ranges as over the whole.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "io/ByteRange.h"
#include "io/DataLoader.h"
#include "io/TypeInference.h"
#include "support/CliHarness.h"
#include "support/TestHost.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {
namespace {

using namespace TorCommon_1_3;

ByteRange Cut(const std::string& path, int64_t headerEnd, int64_t begin, int64_t end) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0);
  ByteRange range;
  range.path = path;
  range.headerEnd = headerEnd;
  range.begin = begin;
  range.end = end;
  range.size = info.st_size;
  range.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return range;
}

// Rows of 1 to 40 bytes, quoted cells with delimiters among them.
std::string Rows(const std::string& newline, bool finalNewline) {
  std::string text;
  for (int r = 0; r < 60; ++r) {
    if (r > 0) text += newline;
    text += std::to_string(r) + "," + (r % 5 == 0 ? "\"a, b\"" : std::string(r % 23, 'x'));
  }
  return finalNewline ? text + newline : text;
}

TEST(ByteRangeTest, RangesOfEverySizeReadEveryRowOnce) {
  clitest::ScratchDir dir;
  for (const std::string newline : {"\n", "\r\n"}) {
    for (const bool bom : {false, true}) {
      for (const bool final : {true, false}) {
        const std::string header = std::string(bom ? "\xEF\xBB\xBF" : "") + "n,s" + newline;
        const std::string text = header + Rows(newline, final);
        const std::string path = dir / "rows.csv";
        clitest::WriteFile(path, text);
        int64_t headerEnd = 0;
        ASSERT_TRUE(FindHeaderEnd(path, ',', &headerEnd).ok());
        ASSERT_EQ(headerEnd, static_cast<int64_t>(header.size()));
        const auto size = static_cast<int64_t>(text.size());
        for (int64_t block = 1; block <= size; block += block < 50 ? 1 : 37) {
          std::string rows;
          int64_t next = headerEnd;
          for (int64_t begin = headerEnd; begin < size; begin += block) {
            RangeText range;
            const ByteRange cut = Cut(path, headerEnd, begin, begin + block);
            ASSERT_TRUE(ReadByteRange(cut, false, &range).ok());
            ASSERT_EQ(range.first, next) << "block " << block << " at " << begin;
            if (!range.empty()) next = range.last;
            rows += range.text;
          }
          ASSERT_EQ(next, size) << "block " << block;
          EXPECT_EQ(rows, text.substr(header.size())) << "block " << block;
        }
      }
    }
  }
}

TEST(ByteRangeTest, TheHeaderTextComesFirstAndRangesOfSeveralFilesJoinOnALineBreak) {
  clitest::ScratchDir dir;
  clitest::WriteFile(dir / "a.csv", "x,y\n1,2\n3,4");
  clitest::WriteFile(dir / "b.csv", "x,y\n5,6\n");
  RangeText text;
  ASSERT_TRUE(ReadByteRange(Cut(dir / "a.csv", 4, 4, 11), true, &text).ok());
  ASSERT_TRUE(ReadByteRange(Cut(dir / "b.csv", 4, 4, 8), false, &text).ok());
  EXPECT_EQ(text.text, "x,y\n1,2\n3,4\n5,6\n");
}

TEST(ByteRangeTest, TheHeaderRowEndsWhereTheRulesEndIt) {
  clitest::ScratchDir dir;
  int64_t end = -1;
  clitest::WriteFile(dir / "q.csv", "\"a\nb\",c\n1,2\n");
  ASSERT_TRUE(FindHeaderEnd(dir / "q.csv", ',', &end).ok());
  EXPECT_EQ(end, 8);
  clitest::WriteFile(dir / "cr.csv", "a,b\r1,2\r");
  ASSERT_TRUE(FindHeaderEnd(dir / "cr.csv", ',', &end).ok());
  EXPECT_EQ(end, 4);
  // A long header, past the first window.
  const std::string wide = std::string(100000, 'h') + ",z\n1,2\n";
  clitest::WriteFile(dir / "wide.csv", wide);
  ASSERT_TRUE(FindHeaderEnd(dir / "wide.csv", ',', &end).ok());
  EXPECT_EQ(end, 100003);
  // No complete row, or a malformed one: the whole file, for the loader to judge.
  clitest::WriteFile(dir / "open.csv", "\"a,b\n1,2\n");
  ASSERT_TRUE(FindHeaderEnd(dir / "open.csv", ',', &end).ok());
  EXPECT_EQ(end, 9);
  clitest::WriteFile(dir / "empty.csv", "");
  ASSERT_TRUE(FindHeaderEnd(dir / "empty.csv", ',', &end).ok());
  EXPECT_EQ(end, 0);
  const zelstatus::Status none = FindHeaderEnd(dir / "none.csv", ',', &end);
  EXPECT_EQ(none.kind(), zelstatus::Kind::kInputOutput);
  EXPECT_NE(none.message().find("none.csv: cannot read the file"), std::string::npos);
}

TEST(ByteRangeTest, AFileChangedAfterItWasCutIsRefused) {
  clitest::ScratchDir dir;
  clitest::WriteFile(dir / "d.csv", "x\n1\n2\n");
  const ByteRange range = Cut(dir / "d.csv", 2, 2, 6);
  clitest::WriteFile(dir / "d.csv", "x\n1\n2\n3\n");
  RangeText text;
  const zelstatus::Status changed = ReadByteRange(range, true, &text);
  EXPECT_FALSE(changed.ok());
  EXPECT_NE(changed.message().find("d.csv: the file changed after it was cut into ranges"),
            std::string::npos);
}

zelstatus::Status LoadText(const std::string& text, const std::vector<int>* storages,
                           int64_t maxRows, LoadedData* data) {
  const Schema schema;
  LoadRequest request;
  request.paths = {"range.csv"};
  request.schema = &schema;
  request.storages = storages;
  request.maxRows = maxRows;
  request.chunkBytes = 64;
  testhost::FlagCheck never;
  return LoadCsvText(request, text, never, ReadProgress::Silent(), data);
}

TEST(ByteRangeTest, FixedStoragesReadEveryRangeAlike) {
  // Alone, this range reads n as whole numbers and d as dates; the whole
  // data's storages make them reals and texts.
  const std::string text = "n,d\n1,2020-01-02\n2,2021-03-04\n";
  const std::vector<int> storages = {kStorageReal, kStorageString};
  LoadedData data;
  const zelstatus::Status loaded = LoadText(text, &storages, 0, &data);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  ASSERT_EQ(data.plans.size(), 2u);
  EXPECT_EQ(data.plans[0].storage, kStorageReal);
  EXPECT_EQ(data.plans[1].storage, kStorageString);
  EXPECT_EQ(data.store.columns[0].Double(1), 2.0);
  EXPECT_EQ(data.store.columns[1].Text(0), "2020-01-02");
  // A cell that does not fit a fixed storage is refused where it is.
  const std::vector<int> whole = {kStorageInteger, kStorageDate};
  LoadedData refused;
  const zelstatus::Status error =
      LoadText("n,d\n1,2020-01-02\n2.5,2021-03-04\n", &whole, 0, &refused);
  EXPECT_EQ(error.kind(), zelstatus::Kind::kInvalidInput);
  EXPECT_NE(error.message().find("line 3, column 1: '2.5'"), std::string::npos)
      << error.message();
}

TEST(ByteRangeTest, ARowLimitStopsAfterTheChunkThatReachesIt) {
  std::string text = "n\n";
  for (int r = 0; r < 1000; ++r) text += std::to_string(r) + "\n";
  LoadedData data;
  const zelstatus::Status loaded = LoadText(text, nullptr, 10, &data);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  EXPECT_GE(data.rows, 10);
  EXPECT_LT(data.rows, 100);
  EXPECT_EQ(data.store.columns[0].Integer(9), 9);
  // A column that turns to text within the rows read is read again as far
  // as the first read went, not to the end of the text.
  std::string turning = "n,m\n";
  for (int r = 0; r < 1000; ++r) turning += std::to_string(r) + "," + (r == 3 ? "x" : "7") + "\n";
  LoadedData mixed;
  const zelstatus::Status reread = LoadText(turning, nullptr, 10, &mixed);
  ASSERT_TRUE(reread.ok()) << reread.message();
  EXPECT_GE(mixed.rows, 10);
  EXPECT_LT(mixed.rows, 100);
  EXPECT_EQ(mixed.plans[1].storage, kStorageString);
  EXPECT_EQ(mixed.store.columns[1].Text(2), "7");
  EXPECT_EQ(mixed.store.columns[1].Text(3), "x");
  EXPECT_EQ(mixed.store.columns[1].Text(mixed.rows - 1), "7");
}

TEST(ByteRangeTest, InferencesMergeToTheWholeDataOne) {
  auto of = [](std::vector<std::string> cells) {
    TypeInference inference;
    for (const std::string& cell : cells) inference.Add(cell);
    return inference;
  };
  auto merged = [&](std::vector<std::string> a, std::vector<std::string> b) {
    TypeInference first = of(a);
    const TypeInference second = of(b);
    first.Merge(TypeInference::Of(second.candidates(), second.seen()));
    std::vector<std::string> all = a;
    all.insert(all.end(), b.begin(), b.end());
    EXPECT_EQ(first.Result(), of(all).Result());
    return first.Result();
  };
  EXPECT_EQ(merged({"1", "2"}, {"1.5"}), kStorageReal);
  EXPECT_EQ(merged({"1"}, {}), kStorageInteger);
  EXPECT_EQ(merged({}, {}), kStorageReal);
  EXPECT_EQ(merged({"2020-01-02"}, {"x"}), kStorageString);
  EXPECT_EQ(merged({"2020-01-02"}, {"2021-12-31"}), kStorageDate);
  EXPECT_EQ(merged({"12:30:00"}, {"7"}), kStorageString);
}

}  // namespace
}  // namespace zelio
