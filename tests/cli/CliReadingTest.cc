// Reading CSV files: storage inference, RFC 4180 quoting, line endings and
// every malformed-input path of `zelcraft prepare`.
#include <gtest/gtest.h>

#include <string>

#include "support/CliHarness.h"

namespace clitest {
namespace {

TEST(CliReading, InfersEachStorageFromAllCells) {
  ScratchDir dir;
  // "+7" is an integer; 2^63 no longer fits one; 2021-02-29 and 24:00:00 do
  // not exist, which turns their columns into text.
  WriteFile(dir / "inf.csv",
            "int,real,date,time,stamp,text,empty,big,badstamp,baddate\n"
            "1,2.5,2020-01-02,10:00:00,2021-03-04 05:06:07,x,,9223372036854775807,"
            "2021-03-04 05:06:07,2020-02-29\n"
            "-3,1e3,1969-12-31,23:59:59.25,2021-03-04T05:06:07,y,,1,2021-03-04 05:06:07,"
            "2021-02-29\n"
            "+7,-0.5,2000-02-29,00:00:00,2021-03-04 05:06:07,x,,2,2021-03-04 24:00:00,"
            "2020-01-01\n"
            "4,3,1600-03-01,12:00:00,2021-03-04 05:06:07,y,,9223372036854775808,"
            "2021-03-04 05:06:07,2020-01-01\n");
  const RunResult run = RunCli(dir.path(), {"prepare", "inf.csv", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Document doc(ReadFile(dir / "inf.pmml"));
  ASSERT_TRUE(doc.ok());
  // The data type, then the range of a continuous field.
  const auto field = [&doc](const std::string& name) {
    return doc.Field(name, "@dataType") + " " + doc.Range(name);
  };
  EXPECT_EQ(field("int"), "integer -3..7");
  EXPECT_EQ(field("real"), "double -0.5..1000");
  // Day numbers from 1970-01-01: 1600-03-01 is -135080, 2020-01-02 is 18263.
  EXPECT_EQ(field("date"), "dateDaysSince[1970] -135080..18263");
  EXPECT_EQ(field("time"), "time 0..86399.25");
  // Timestamps go over as two fields in their place, the day (2021-03-04 is
  // day 18690) and the time of day (05:06:07 is 18367 s).
  EXPECT_EQ(field("stamp_date"), "dateDaysSince[1970] 18690..18690");
  EXPECT_EQ(field("stamp_time"), "time 18367..18367");
  EXPECT_EQ(doc.Eval("count(//p:DataField[@name='stamp'])"), "0");
  EXPECT_EQ(doc.Field("empty", "@dataType"), "double");
  EXPECT_EQ(doc.Field("big", "@dataType"), "double");
  for (const char* text : {"text", "badstamp", "baddate"}) {
    EXPECT_EQ(doc.Field(text, "@optype") + " " + doc.Field(text, "@dataType"), "categorical string")
        << text;
  }
}

TEST(CliReading, QuotingLineEndingsAndByteOrderMark) {
  ScratchDir dir;
  WriteFile(dir / "q.csv",
            "\xEF\xBB\xBFid,note,n\r\n"
            "1,\"a,b\",5\r\n"
            "2,\"say \"\"hi\"\"\",\"\"\r\n"
            "3,\"two\r\nlines\",7\r\n"
            "4,\"\",8\r\n"
            "5,,9\r\n");
  const RunResult run = RunCli(dir.path(), {"prepare", "q.csv", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Document doc(ReadFile(dir / "q.pmml"));
  EXPECT_EQ(doc.Field("id", "@dataType"), "integer");  // the mark is not in the name
  // A quoted empty cell is missing in a number field and the empty text in a
  // text field; an unquoted empty cell is missing in both.
  EXPECT_EQ(doc.Field("n", "@dataType"), "integer");
  EXPECT_EQ(doc.All("//p:DataField[@name='note']/p:Value/@value"),
            "|a,b|say \\\"hi\\\"|two\r\nlines");

  WriteFile(dir / "t.tsv", "a\tb\n1\tx,y\n2\tz\n");
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "t.tsv", "--delimiter", "\\t", "-q"}).status, 0);
  const Document tsv(ReadFile(dir / "t.pmml"));
  EXPECT_EQ(tsv.Field("a", "@dataType"), "integer");
  EXPECT_EQ(tsv.All("//p:DataField[@name='b']/p:Value/@value"), "x,y|z");
}

// A last row without its line break is a row like any other, read in memory
// or streamed, with a plain or a quoted last cell, after LF or CRLF rows;
// `apply` replays it too.
TEST(CliReading, ALastRowWithoutLineBreakCounts) {
  ScratchDir dir;
  WriteFile(dir / "plain.csv", "n,s\n1,a\n2,b\n3,c");
  WriteFile(dir / "quoted.csv", "n,s\n1,a\n2,b\n3,\"c\"");
  WriteFile(dir / "crlf.csv", "n,s\r\n1,a\r\n2,b\r\n3,\"c\"");
  for (const char* file : {"plain", "quoted", "crlf"}) {
    for (bool stream : {false, true}) {
      SCOPED_TRACE(std::string(file) + (stream ? " streamed" : " in memory"));
      std::vector<std::string> args = {"prepare", std::string(file) + ".csv", "-o", "out.pmml",
                                        "-q"};
      if (stream) args.push_back("--stream");
      const RunResult run = RunCli(dir.path(), args);
      ASSERT_EQ(run.status, 0) << run.err;
      const Document doc(ReadFile(dir / "out.pmml"));
      ASSERT_TRUE(doc.ok());
      EXPECT_EQ(doc.Range("n"), "1..3");
      EXPECT_EQ(doc.All("//p:DataField[@name='s']/p:Value/@value"), "a|b|c");
    }
    const RunResult applied =
        RunCli(dir.path(), {"apply", "out.pmml", std::string(file) + ".csv", "-q"});
    EXPECT_EQ(applied.status, 0) << applied.err;
    const auto rows = ReadCsv(applied.out);
    EXPECT_EQ(rows.size(), 4u) << applied.out;
    if (!rows.empty()) {
      EXPECT_EQ(rows.back()[Column(rows[0], "s")], "c");
    }
  }
}

TEST(CliReading, MalformedInputIsAnInputErrorNamingLineAndColumn) {
  struct Case {
    std::string csv;
    const char* message;
  };
  const Case cases[] = {
      {"", "the file is empty: no header row"},
      {"a,b\n", "the file has a header row but no records"},
      {"a,b,c\n1,2,3\n4,5\n", "line 3: 2 cells where the header has 3"},
      {"a,b\n1,\"open\n2,3\n", "line 2, column 2: unterminated quoted cell"},
      {"a,b\n\"x\"y,1\n", "line 2, column 1: unexpected text after a closing quote"},
      {"a,b,a\n1,2,3\n", "line 1, column 3: duplicate field name 'a'"},
      {"a,,c\n1,2,3\n", "line 1, column 2: empty field name"},
      {"a,b\n1,2\n3,\xC3\x28\n", "line 3, column 2: invalid UTF-8"},
      {"a,b\n1,\xC0\xAF\n", "line 2, column 2: invalid UTF-8"},      // overlong
      {"a,b\n1,\xED\xA0\x80\n", "line 2, column 2: invalid UTF-8"},  // surrogate
      // Characters no XML document can carry, in a header and in cells (the
      // line is the character's own in a cell that spans lines).
      {std::string("a,b\0c\n1,2\n", 10), "line 1, column 2: control character U+0000"},
      {"a,b\n1,x\x01y\n", "line 2, column 2: control character U+0001"},
      {"a,b\n1,\"x\ny\x1f\"\n", "line 3, column 2: control character U+001F"},
      {"a,\xEF\xBF\xBF\n1,2\n", "line 1, column 2: noncharacter U+FFFF"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteFile(dir / "bad.csv", c.csv);
    const RunResult run = RunCli(dir.path(), {"prepare", "bad.csv"});
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_TRUE(Contains(run.err, std::string("error: bad.csv: ") + c.message));
    EXPECT_FALSE(FileExists(dir / "bad.pmml"));
  }
}

// The three commands read a file alike: a malformed file stops each with
// the same message, also past the chunks a file is read in and in a row
// longer than a mebibyte.
TEST(CliReading, ApplyAndInverseStopWherePrepareStops) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  std::string rows = "x,y\n";
  while (rows.size() < 300000) rows += "3,\"1\"\"2\"\"\",\r\n1,\"4\n5\"\n";
  const std::string longCell(3 << 19, 'w');
  const std::string texts[] = {
      "",
      "x,y\n1,2\n3,\"open\n4,5\n",
      "x,y\n\"1\"2,3\n",
      "x,y\n1,2\n3,\xC3\x28\n",
      "x,y\n1,\"x\ny\x1f\"\n",
      "x,\xEF\xBF\xBF\n1,2\n",
      "x,y\n1,2\n3\n",
      rows + "1,2\x01\n",
      rows + "1," + longCell + std::string("\0", 1) + "\n",
      rows + "1,\"" + std::string("\0", 1) + longCell + longCell + "\"\n",
  };
  for (const std::string& text : texts) {
    WriteFile(dir / "bad.csv", text);
    const RunResult prepared = RunCli(dir.path(), {"prepare", "bad.csv", "-o", "bad.pmml"});
    EXPECT_EQ(prepared.status, 2) << prepared.err;
    EXPECT_TRUE(Contains(prepared.err, "error: bad.csv: "));
    const std::string message = prepared.err.substr(prepared.err.find("error: "));
    const RunResult applied = RunCli(dir.path(), {"apply", "doc.pmml", "bad.csv", "-q"});
    EXPECT_EQ(applied.status, 2);
    EXPECT_EQ(applied.err, message);
    const RunResult inverted =
        RunCli(dir.path(), {"inverse", "doc.pmml", "bad.csv", "--column", "x", "-q"});
    EXPECT_EQ(inverted.status, 2);
    EXPECT_EQ(inverted.err, message);
  }
}

TEST(CliReading, UsageAndRoleErrorsExitWithTwo) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", "a,b,t\n1,x,y\n2,z,y\n");
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"prepare", "nosuch.csv"}, "cannot open nosuch.csv"},
      {{"prepare", "d.csv", "--delimiter", "ab"}, "--delimiter takes one character"},
      {{"prepare", "d.csv", "--colour"}, "colour"},
      {{"prepare"}, "DATA is required"},
      {{"prepare", "d.csv", "--target", "nosuch"}, "the target 'nosuch' is not a field"},
      {{"prepare", "d.csv", "--target", "a", "--frequency-weight", "a"},
       "field 'a' cannot be both a target and a weight"},
      {{"prepare", "d.csv", "--target", "t", "--analysis-weight", "t"},
       "field 't' cannot be both a target and a weight"},
      {{"prepare", "d.csv", "--frequency-weight", "b"},
       "the frequency weight 'b' must hold numbers, not text"},
      {{"prepare", "d.csv", "-o", "missing-dir/out.pmml"},
       "cannot write missing-dir/out.pmml: No such file or directory"},
  };
  for (const Case& c : cases) {
    const RunResult run = RunCli(dir.path(), c.args);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_TRUE(Contains(run.err, c.message));
  }
  EXPECT_FALSE(FileExists(dir / "d.pmml"));
}

}  // namespace
}  // namespace clitest
