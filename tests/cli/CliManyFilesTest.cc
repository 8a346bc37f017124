// Several CSV files prepared as one data set: the document and the prepared
// data are byte for byte those of the files' concatenation (the header's
// time and the run time aside), in memory, streamed and on one or two
// threads, past a block of rows with a file boundary inside a block and one
// exactly at a block boundary; the files differ in line ends, final line
// breaks and byte-order marks, and one is empty and one only a header. A
// categorical field passes the category limit with categories that drift
// from file to file, the latest date sits in a middle file and a frequency
// weight counts every record. What goes wrong is named by the file and its
// own line.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/CliHarness.h"

namespace clitest {
namespace {

constexpr const char* kHeader = "x,k,cat,d,w,y";

// Record i of the generated table.
std::string Row(int64_t i) {
  const double x = static_cast<double>((i * 7919) % 1000) / 10.0 + static_cast<double>(i % 3);
  const int64_t k = i % 97;
  // New categories keep arriving, so the table's order depends on every file.
  const int64_t category = i / 700 + (i % 5);
  int year = 2020;
  int month = 1 + static_cast<int>((i * 7) % 12);
  int day = 1 + static_cast<int>((i * 13) % 28);
  if (i == 50000) {  // the latest date, in the second file
    year = 2024;
    month = 6;
    day = 30;
  }
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
  const double y = x * 2 + static_cast<double>(k % 5 + category % 7);
  char row[160];
  std::snprintf(row, sizeof row, "%.1f,%lld,c%lld,%s,%lld,%.1f", x, static_cast<long long>(k),
                static_cast<long long>(category), date, static_cast<long long>(1 + i % 3), y);
  return row;
}

struct Part {
  std::string name;
  int64_t rows;  // -1: an empty file, without a header
  bool crlf;
  bool bom;
  bool finalBreak;
};

// Writes the parts and their concatenation (all.csv); the records of each.
std::vector<int64_t> WriteParts(const ScratchDir& dir, const std::vector<Part>& parts) {
  std::string all = std::string(kHeader) + "\n";
  std::vector<int64_t> rows;
  int64_t next = 0;
  for (const Part& part : parts) {
    std::string text;
    if (part.rows >= 0) {
      const std::string end = part.crlf ? "\r\n" : "\n";
      text = (part.bom ? "\xEF\xBB\xBF" : "") + std::string(kHeader);
      for (int64_t r = 0; r < part.rows; ++r, ++next) {
        const std::string row = Row(next);
        text += end + row;
        all += row + "\n";
      }
      if (part.finalBreak) text += end;
    }
    WriteFile(dir / part.name, text);
    rows.push_back(std::max<int64_t>(part.rows, 0));
  }
  WriteFile(dir / "all.csv", all);
  return rows;
}

TEST(CliManyFiles, FilesReadAsOneGiveTheDocumentAndDataOfTheirConcatenation) {
  ScratchDir dir;
  // 40,000 ends inside the first block of 65,536 rows, 65,536 at its end.
  const std::vector<Part> parts = {{"p1.csv", 40000, false, false, true},
                                   {"p2.csv", 25536, true, true, false},
                                   {"p3.csv", -1, false, false, false},
                                   {"p4.csv", 0, false, false, true},
                                   {"p5.csv", 30000, false, true, false}};
  const std::vector<int64_t> rows = WriteParts(dir, parts);
  const std::vector<std::string> common = {
      "--target", "y", "--frequency-weight", "w", "--set", "maxNOfUniqueCategories=60", "-q"};
  std::vector<std::string> args = {"prepare", "all.csv", "-o", "all.pmml", "--data-out",
                                   "all.out.csv"};
  args.insert(args.end(), common.begin(), common.end());
  RunResult run = RunCli(dir.path(), args);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string document = WithoutTimes(ReadFile(dir / "all.pmml"));
  const std::string data = ReadFile(dir / "all.out.csv");
  // The reference of durations is the latest date of all the files.
  ASSERT_TRUE(Contains(document, "2024-06-30"));

  const std::vector<std::vector<std::string>> variants = {
      {}, {"--threads", "2"}, {"--threads", "1"}, {"--stream", "--threads", "2"},
      {"--stream", "--threads", "1"}};
  for (std::size_t v = 0; v < variants.size(); ++v) {
    args = {"prepare", "p1.csv", "p2.csv", "p3.csv", "p4.csv", "p5.csv", "-o", "many.pmml",
            "--data-out", "many.out.csv"};
    args.insert(args.end(), common.begin(), common.end());
    args.insert(args.end(), variants[v].begin(), variants[v].end());
    run = RunCli(dir.path(), args);
    ASSERT_EQ(run.status, 0) << "variant " << v << ": " << run.err;
    EXPECT_EQ(WithoutTimes(ReadFile(dir / "many.pmml")), document) << "variant " << v;
    EXPECT_EQ(ReadFile(dir / "many.out.csv"), data) << "variant " << v;
  }

  // One prepared file per input: the header and that input's rows of the
  // file with every record, in memory and streamed.
  const std::vector<std::string> lines = Lines(data);
  ASSERT_EQ(lines.size(), 1u + 95536u);
  for (const char* stream : {"--threads", "--stream"}) {
    args = {"prepare", "p*.csv", "-o", "parts.pmml", "--data-out", "out/{name}.prepared.csv",
            stream, "2"};
    if (std::string(stream) == "--stream") args.pop_back();
    args.insert(args.end(), common.begin(), common.end());
    std::system(("mkdir -p " + (dir / "out")).c_str());
    run = RunCli(dir.path(), args);
    ASSERT_EQ(run.status, 0) << run.err;
    std::size_t first = 1;
    for (std::size_t p = 0; p < parts.size(); ++p) {
      std::string expected = lines[0] + "\n";
      for (int64_t r = 0; r < rows[p]; ++r) expected += lines[first + r] + "\n";
      first += rows[p];
      const std::string name = parts[p].name.substr(0, 2) + ".prepared.csv";
      EXPECT_EQ(ReadFile(dir / ("out/" + name)), expected) << name << " " << stream;
    }
  }
}

TEST(CliManyFiles, AGlobIsExpandedInNameOrder) {
  ScratchDir dir;
  // Byte order puts "s10" between "s1" and "s2"; each file's tag says where
  // its rows went.
  for (const char* name : {"s2", "s10", "s1"}) {
    std::string text = "tag,v\n";
    for (int r = 0; r < 4; ++r) text += std::string(name) + "," + std::to_string(r * 3 + 1) + "\n";
    WriteFile(dir / (std::string(name) + ".csv"), text);
  }
  const RunResult run = RunCli(dir.path(), {"prepare", "s*.csv", "-o", "g.pmml", "--data-out",
                                            "g.out.csv", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::vector<std::string>> table = ReadCsv(ReadFile(dir / "g.out.csv"));
  const std::size_t tag = Column(table[0], "tag");
  std::string order;
  for (std::size_t r = 1; r < table.size(); r += 4) order += table[r][tag] + " ";
  EXPECT_EQ(order, "s1 s10 s2 ");
  EXPECT_TRUE(Contains(ReadFile(dir / "g.pmml"), "<Value value=\"s1\""));
}

TEST(CliManyFiles, WhatGoesWrongIsNamedByItsFileAndLine) {
  ScratchDir dir;
  WriteFile(dir / "a.csv", "x,y,c\n1,2,a\n3,4,b\n");
  WriteFile(dir / "b.csv", "x,y,c\r\n5,6,a\r\n");
  WriteFile(dir / "renamed.csv", "x,z,c\n1,2,a\n");
  WriteFile(dir / "wider.csv", "x,y,c,d\n1,2,a,4\n");
  WriteFile(dir / "narrower.csv", "x,y\n1,2\n");
  WriteFile(dir / "short-row.csv", "x,y,c\n7,8,a\n9,10,b\n11,12\n");
  WriteFile(dir / "open-quote.csv", "x,y,c\n7,8,a\n9,10,\"b\n");
  WriteFile(dir / "header-only.csv", "x,y,c\n");
  WriteFile(dir / "empty.csv", "");
  std::filesystem::create_symlink("a.csv", dir / "link-to-a.csv");
  const struct {
    std::vector<std::string> files;
    std::string message;
  } cases[] = {
      {{"a.csv", "b.csv", "renamed.csv"},
       "error: renamed.csv: its header differs from that of a.csv at column 2: 'z' where a.csv "
       "has 'y'\n"},
      {{"a.csv", "wider.csv"},
       "error: wider.csv: its header differs from that of a.csv at column 4: 'd' where a.csv "
       "has no column\n"},
      {{"empty.csv", "a.csv", "narrower.csv"},
       "error: narrower.csv: its header differs from that of a.csv at column 3: no column "
       "where a.csv has 'c'\n"},
      {{"a.csv", "b.csv", "short-row.csv"},
       "error: short-row.csv: line 4: 2 cells where the header has 3\n"},
      {{"a.csv", "b.csv", "open-quote.csv"}, "error: open-quote.csv: line 3"},
      {{"a.csv", "b.csv", "missing.csv"}, "error: cannot open missing.csv"},
      {{"a.csv", "nothing-*.csv"}, "error: no file matches the pattern 'nothing-*.csv'\n"},
      {{"a.csv", "a.csv"}, "error: a.csv is given twice: its records would count twice\n"},
      {{"a.csv", "b.csv", "./a.csv"},
       "error: ./a.csv is given twice: its records would count twice\n"},
      {{"a.csv", "link-to-a.csv"},
       "error: link-to-a.csv is given twice: its records would count twice\n"},
      {{"header-only.csv", "empty.csv"},
       "error: header-only.csv ... empty.csv (2 files): the files have a header row but no "
       "records\n"},
  };
  for (const auto& c : cases) {
    for (const char* stream : {"--threads=2", "--stream"}) {
      std::vector<std::string> args = {"prepare", "-o", "out.pmml", "-q", stream};
      args.insert(args.begin() + 1, c.files.begin(), c.files.end());
      const RunResult run = RunCli(dir.path(), args);
      EXPECT_EQ(run.status, 2) << c.message;
      EXPECT_EQ(run.err.substr(0, c.message.size()), c.message) << run.err;
      EXPECT_FALSE(FileExists(dir / "out.pmml")) << c.message;
    }
  }
}

TEST(CliManyFiles, PreparedFilesPerInputMustHaveNamesOfTheirOwn) {
  ScratchDir dir;
  std::system(("mkdir -p " + (dir / "one") + " " + (dir / "two")).c_str());
  WriteFile(dir / "one/d.csv", "x,y\n1,2\n3,5\n");
  WriteFile(dir / "two/d.csv", "x,y\n4,4\n6,1\n");
  RunResult run = RunCli(dir.path(), {"prepare", "one/d.csv", "two/d.csv", "-o", "d.pmml",
                                      "--data-out", "{name}.out.csv", "-q"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(Contains(run.err, "error: the prepared data of one/d.csv and of two/d.csv would "
                                "both be written to d.out.csv"));
  EXPECT_EQ(DirectoryEntries(dir.path()), (std::vector<std::string>{"one", "two"}));
  // Nor may one overwrite an input.
  run = RunCli(dir.path(), {"prepare", "one/d.csv", "two/d.csv", "-o", "d.pmml", "--data-out",
                            "one/{name}.csv", "-q"});
  EXPECT_EQ(run.status, 2);
  EXPECT_FALSE(FileExists(dir / "d.pmml"));
  EXPECT_EQ(ReadFile(dir / "one/d.csv"), "x,y\n1,2\n3,5\n");
  // Every file waits to be committed with the others: a thousand at most,
  // refused before any is read.
  std::system(("mkdir -p " + (dir / "many")).c_str());
  for (int i = 0; i < 1001; ++i) WriteFile(dir / ("many/" + std::to_string(i) + ".csv"), "x\n");
  run = RunCli(dir.path(), {"prepare", "many/*.csv", "-o", "m.pmml", "--data-out",
                            "many/{name}.out", "-q"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "error: --data-out with {name} writes at most 1000 files, one per input, "
                     "not 1001: give one file for all the records\n");
  EXPECT_FALSE(FileExists(dir / "m.pmml"));
}

}  // namespace
}  // namespace clitest
