// `apply` and `inverse` over several CSV files read as one, as `prepare`
// reads them: the output is byte for byte what the files' concatenation
// gives, and with "{name}" each input's own file holds the header and that
// input's rows of it. The inputs run past a block of 65,536 rows, a batch
// of 1,024 and a chunk of the reader, differ in line ends, final line
// breaks and byte-order marks, and one holds only a header and one nothing.
// A header that differs is the error `prepare` gives, a fault in a later
// file is named by that file and its own line, and any fault leaves no
// output behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "HardTables.h"
#include "support/CliHarness.h"

namespace clitest {
namespace {

struct Part {
  std::string name;
  int64_t rows;  // -1: an empty file, without a header; -2: the rest
  bool crlf;
  bool bom;
  bool finalBreak;
};

// Writes the records of `table` (a header line, then one line per record)
// shared out to `parts` in order; the records each took.
std::vector<int64_t> WriteParts(const ScratchDir& dir, const std::string& table,
                                const std::vector<Part>& parts) {
  const std::vector<std::string> lines = Lines(table);
  std::vector<int64_t> taken;
  std::size_t next = 1;
  for (const Part& part : parts) {
    std::string text;
    int64_t rows = 0;
    if (part.rows != -1) {
      const std::string end = part.crlf ? "\r\n" : "\n";
      text = (part.bom ? "\xEF\xBB\xBF" : "") + lines[0];
      for (; next < lines.size() && (part.rows == -2 || rows < part.rows); ++next, ++rows) {
        text += end + lines[next];
      }
      if (part.finalBreak) text += end;
    }
    WriteFile(dir / part.name, text);
    taken.push_back(rows);
  }
  EXPECT_EQ(next, lines.size()) << "every record in a part";
  return taken;
}

// The output of each part: the header line of `whole`, then its records.
void ExpectSplit(const ScratchDir& dir, const std::string& whole,
                 const std::vector<std::string>& outputs, const std::vector<int64_t>& rows) {
  const std::vector<std::string> lines = Lines(whole);
  std::size_t first = 1;
  for (std::size_t p = 0; p < outputs.size(); ++p) {
    std::string expected = lines[0] + "\n";
    for (int64_t r = 0; r < rows[p]; ++r) expected += lines[first + r] + "\n";
    first += rows[p];
    EXPECT_EQ(ReadFile(dir / outputs[p]), expected) << outputs[p];
  }
  EXPECT_EQ(first, lines.size());
}

TEST(CliReplayManyFiles, ApplyOverFilesIsApplyOverTheirConcatenation) {
  ScratchDir dir;
  const uint64_t seed = 7;
  const hardtables::HardTable table =
      hardtables::MakeHardTable(seed, hardtables::RowsForBlocks(seed, 2));
  ASSERT_GT(table.rows, 65537 + 1025 + 1);
  WriteFile(dir / "all.csv", table.csv);
  WriteFile(dir / "schema.json", table.schema);
  std::vector<std::string> args = {"prepare", "all.csv", "--schema", "schema.json", "--target",
                                   table.target, "-q", "-o", "doc.pmml"};
  for (const std::string& setting : table.settings) args.insert(args.end(), {"--set", setting});
  RunResult run = RunCli(dir.path(), args);
  ASSERT_EQ(run.status, 0) << run.err;

  // Past a block, then a batch and one row, a header alone, nothing, a
  // single row and the rest; the file boundaries fall inside the reader's
  // chunks.
  const std::vector<Part> parts = {{"p1.csv", 65537, false, false, true},
                                   {"p2.csv", 1025, true, true, false},
                                   {"p3.csv", 0, false, false, true},
                                   {"p4.csv", -1, false, false, false},
                                   {"p5.csv", 1, true, false, true},
                                   {"p6.csv", -2, false, true, false}};
  const std::vector<int64_t> rows = WriteParts(dir, table.csv, parts);
  run = RunCli(dir.path(), {"apply", "doc.pmml", "all.csv", "-o", "all.out.csv", "--all-fields",
                            "--schema-out", "all.schema.json", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string whole = ReadFile(dir / "all.out.csv");
  ASSERT_EQ(Lines(whole).size(), static_cast<std::size_t>(table.rows) + 1);

  run = RunCli(dir.path(), {"apply", "doc.pmml", "p1.csv", "p2.csv", "p3.csv", "p4.csv", "p5.csv",
                            "p6.csv", "-o", "many.out.csv", "--all-fields", "--schema-out",
                            "many.schema.json", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "many.out.csv"), whole);
  EXPECT_EQ(ReadFile(dir / "many.schema.json"), ReadFile(dir / "all.schema.json"));
  // Standard output takes them all in one.
  run = RunCli(dir.path(), {"apply", "doc.pmml", "p?.csv", "--all-fields", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out == whole) << "standard output differs";

  // One file per input, the empty ones' too.
  std::system(("mkdir -p " + (dir / "out")).c_str());
  run = RunCli(dir.path(), {"apply", "doc.pmml", "p*.csv", "-o", "out/{name}.prepared.csv",
                            "--all-fields"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> outputs;
  for (const Part& part : parts) outputs.push_back("out/" + part.name.substr(0, 2) + ".prepared.csv");
  ExpectSplit(dir, whole, outputs, rows);
  EXPECT_EQ(DirectoryEntries(dir / "out").size(), parts.size());
}

// Predictions on the transformed scale, some missing, one quoted empty;
// the lines `inverse` reads from row i on.
std::string Predictions(int from, int count) {
  std::string text;
  for (int i = from; i < from + count; ++i) {
    std::string cell = std::to_string(-3.0 + 0.001 * i);
    if (i % 97 == 5) cell = "";
    if (i == 11) cell = "\"\"";
    text += "p" + std::to_string(i) + "," + cell + "\n";
  }
  return text;
}

TEST(CliReplayManyFiles, InverseOverFilesIsInverseOverTheirConcatenation) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  const std::string header = "id,y_transformed\n";
  WriteFile(dir / "all.csv", header + Predictions(0, 5000));
  WriteFile(dir / "a.csv", header + Predictions(0, 3000));
  WriteFile(dir / "b.csv", "");
  WriteFile(dir / "c.csv", header);
  std::string crlf;
  for (const std::string& line : Lines(Predictions(3000, 2000))) crlf += line + "\r\n";
  WriteFile(dir / "d.csv", "\xEF\xBB\xBF" + header.substr(0, header.size() - 1) + "\r\n" + crlf);
  RunResult run = RunCli(dir.path(), {"inverse", "doc.pmml", "all.csv", "--column",
                                      "y_transformed", "-o", "all.out.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string whole = ReadFile(dir / "all.out.csv");
  const auto table = ReadCsv(whole);
  ASSERT_EQ(table.size(), 5001u);
  EXPECT_EQ(table[0], (std::vector<std::string>{"id", "y_transformed", "y_transformed_inverse"}));
  EXPECT_EQ(table[6][2], "");  // no prediction, no inverse
  EXPECT_FALSE(table[7][2].empty());

  run = RunCli(dir.path(), {"inverse", "doc.pmml", "[a-d].csv", "--column", "y_transformed", "-o",
                            "many.out.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "many.out.csv"), whole);
  run = RunCli(dir.path(), {"inverse", "doc.pmml", "a.csv", "b.csv", "c.csv", "d.csv", "--column",
                            "y_transformed", "-o", "{name}.inverse.csv", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  ExpectSplit(dir, whole, {"a.inverse.csv", "b.inverse.csv", "c.inverse.csv", "d.inverse.csv"},
              {3000, 0, 0, 2000});
}

TEST(CliReplayManyFiles, AHeaderThatDiffersIsTheErrorPrepareGives) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  WriteFile(dir / "a.csv", "x,y\n1,20\n2,30\n");
  WriteFile(dir / "b.csv", "x,z\n1,20\n");
  WriteFile(dir / "c.csv", "x\n1\n");
  const struct {
    std::string second;
    std::string message;
  } cases[] = {
      {"b.csv", "error: b.csv: its header differs from that of a.csv at column 2: 'z' where a.csv "
                "has 'y'\n"},
      {"c.csv", "error: c.csv: its header differs from that of a.csv at column 2: no column "
                "where a.csv has 'y'\n"},
  };
  for (const auto& c : cases) {
    const std::vector<std::vector<std::string>> commands = {
        {"prepare", "a.csv", c.second, "--target", "y", "-o", "out.pmml", "-q"},
        {"apply", "doc.pmml", "a.csv", c.second, "-o", "out.csv", "-q"},
        {"inverse", "doc.pmml", "a.csv", c.second, "--column", "y", "-o", "out.csv", "-q"}};
    for (const auto& args : commands) {
      const RunResult run = RunCli(dir.path(), args);
      EXPECT_EQ(run.status, 2) << args[0];
      EXPECT_EQ(run.err, c.message) << args[0];
    }
  }
  EXPECT_EQ(DirectoryEntries(dir.path()),
            (std::vector<std::string>{"a.csv", "b.csv", "c.csv", "d.csv", "doc.pmml"}));
}

TEST(CliReplayManyFiles, AFaultInALaterFileIsNamedByItAndLeavesNoOutput) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  std::string big = "x,y\n";
  for (int i = 0; i < 5000; ++i) big += std::to_string(i % 7) + "," + std::to_string(i) + "\n";
  WriteFile(dir / "a.csv", big);
  WriteFile(dir / "b.csv", "x,y\r\n1,20\r\n2,30\r\n");
  WriteFile(dir / "short-row.csv", "x,y\n1,2\n3,4\n5\n");
  WriteFile(dir / "open-quote.csv", "x,y\n1,2\n3,\"4\n");
  WriteFile(dir / "empty.csv", "");
  WriteFile(dir / "kept.csv", "old");
  const struct {
    std::string third;
    std::string message;
  } cases[] = {
      {"short-row.csv", "error: short-row.csv: line 4: 1 cells where the header has 2\n"},
      {"open-quote.csv", "error: open-quote.csv: line 3"},
      {"missing.csv", "error: cannot open missing.csv"},
  };
  for (const auto& c : cases) {
    for (const char* output : {"kept.csv", "{name}.out.csv"}) {
      const std::vector<std::vector<std::string>> commands = {
          {"apply", "doc.pmml", "a.csv", "b.csv", c.third, "-o", output},
          {"inverse", "doc.pmml", "a.csv", "b.csv", c.third, "--column", "y", "-o", output}};
      for (const auto& args : commands) {
        const RunResult run = RunCli(dir.path(), args);
        EXPECT_EQ(run.status, 2) << args[0] << " " << output;
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message) << run.err;
      }
    }
  }
  EXPECT_EQ(ReadFile(dir / "kept.csv"), "old");
  EXPECT_EQ(DirectoryEntries(dir.path()),
            (std::vector<std::string>{"a.csv", "b.csv", "d.csv", "doc.pmml", "empty.csv",
                                      "kept.csv", "open-quote.csv", "short-row.csv"}));

  // Nothing to read at all, and an unreadable cell named by its own file
  // and line.
  RunResult run = RunCli(dir.path(), {"apply", "doc.pmml", "empty.csv", "empty.csv"});
  EXPECT_EQ(run.err, "error: empty.csv is given twice: its records would count twice\n");
  WriteFile(dir / "none.csv", "");
  run = RunCli(dir.path(), {"apply", "doc.pmml", "empty.csv", "none.csv"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "error: empty.csv ... none.csv (2 files): every file is empty: no header row\n");
  WriteFile(dir / "word.csv", "x,y\n1,2\n3,4\n5,seven\n");
  run = RunCli(dir.path(), {"apply", "doc.pmml", "a.csv", "word.csv", "-o", "w.csv"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "warning: word.csv: line 4, column 2: 'seven' is not a number "
                                "(field 'y'); 1 cell of this column read as missing\n"));
}

TEST(CliReplayManyFiles, OutputsPerInputMustHaveNamesOfTheirOwn) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  std::system(("mkdir -p " + (dir / "one") + " " + (dir / "two")).c_str());
  WriteFile(dir / "one/d.csv", "x,y\n1,2\n3,5\n");
  WriteFile(dir / "two/d.csv", "x,y\n4,4\n6,1\n");
  RunResult run =
      RunCli(dir.path(), {"apply", "doc.pmml", "one/d.csv", "two/d.csv", "-o", "{name}.out.csv"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "error: the prepared data of one/d.csv and of two/d.csv would both be "
                     "written to d.out.csv: give --output a pattern that tells them apart\n");
  // Nor may one overwrite an input.
  run = RunCli(dir.path(), {"inverse", "doc.pmml", "one/d.csv", "two/d.csv", "--column", "y",
                            "-o", "one/{name}.csv"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(Contains(run.err, "one/d.csv"));
  EXPECT_EQ(ReadFile(dir / "one/d.csv"), "x,y\n1,2\n3,5\n");
  EXPECT_EQ(DirectoryEntries(dir.path()),
            (std::vector<std::string>{"d.csv", "doc.pmml", "one", "two"}));
}

}  // namespace
}  // namespace clitest
