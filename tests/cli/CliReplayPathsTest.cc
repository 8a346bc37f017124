// The two readers of a file agree on a hard one: the loader (columns in
// memory, or the streamed record source) feeds `prepare --data-out`, the row
// reader and row decoder feed `apply`, and both must write the same prepared
// data, byte for byte. The file has a byte-order mark, LF and CRLF rows,
// quoted cells with delimiters, doubled quotes and line breaks, quoted empty
// cells, characters of two to four bytes, numbers in every written form (20
// digits, exponents, signs, a negative zero), timestamps in a declared date
// column, a column that is not read with cells longer than a chunk, and
// more rows than a block.
#include <gtest/gtest.h>

#include <string>

#include "support/CliHarness.h"

namespace clitest {
namespace {

std::string HardCsv() {
  const char* notes[] = {"plain",  "\"a, b\"", "\"say \"\"hi\"\"\"", "\"two\r\nlines\"",
                         "\"\"",   "",         "\xC3\xA9t\xC3\xA9",  "\xE2\x82\xAC\xF0\x9F\x98\x80",
                         " blank "};
  const char* amounts[] = {"0.25",
                           "-3",
                           "+7.5",
                           ".5",
                           "5.",
                           "1e3",
                           "-0.0",
                           "2.5E-2",
                           "",
                           "12345678901234567890",
                           "3.14159265358979323846"};
  const char* days[] = {"2021-03-04", "1969-12-31", "2020-02-29 23:59:59", "2021-01-01T00:00:00",
                        ""};
  const char* clocks[] = {"00:00:00", "23:59:59.999", "12:30:00", ""};
  std::string csv = "\xEF\xBB\xBFid,note,amount,day,clock,pad,w,y\r\n";
  const std::string longCell(300000, 'p');  // longer than a chunk
  for (int i = 0; i < 70000; ++i) {
    const std::string pad = i % 20000 == 7 ? "\"" + longCell + "\n\"" : "x";
    csv += std::to_string(i % 5000) + "," + notes[i % 9] + "," + amounts[i % 11] + "," +
           days[i % 5] + "," + clocks[i % 4] + "," + pad + "," +
           std::to_string(i % 13 == 0 ? 0 : 1 + i % 3) + "," + std::to_string((i * 7) % 101) +
           ".5" + (i % 3 == 0 ? "\r\n" : "\n");
  }
  return csv;
}

TEST(CliReplayPaths, PreparedDataFromTheLoaderEqualsApplyOnTheFile) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", HardCsv());
  WriteFile(dir / "s.json", R"({"fields": {"day": {"storage": "date"}, "pad": {"role": "none"}}})");
  const std::vector<std::string> common = {
      "prepare", "d.csv", "--target", "y", "--frequency-weight", "w", "--schema",
      "s.json",  "-o",    "doc.pmml", "-q"};
  const std::vector<std::vector<std::string>> variants = {
      {"--data-out", "memory.csv"}, {"--data-out", "stream.csv", "--stream", "--threads", "2"}};
  for (const auto& variant : variants) {
    std::vector<std::string> args = common;
    args.insert(args.end(), variant.begin(), variant.end());
    const RunResult run = RunCli(dir.path(), args);
    ASSERT_EQ(run.status, 0) << run.err;
  }
  const Document doc(ReadFile(dir / "doc.pmml"));
  EXPECT_EQ(doc.Field("day", "@dataType"), "dateDaysSince[1970]");
  EXPECT_EQ(doc.Field("amount", "@dataType"), "double");
  const RunResult applied = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "-o", "a.csv"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  EXPECT_EQ(applied.err, "");
  const std::string expected = ReadFile(dir / "a.csv");
  ASSERT_EQ(ReadCsv(expected).size(), 70001u);
  for (const char* file : {"memory.csv", "stream.csv"}) {
    // Not EXPECT_EQ: a diff of texts this long would take longer than the runs.
    EXPECT_TRUE(ReadFile(dir / file) == expected) << file;
  }
}

}  // namespace
}  // namespace clitest
