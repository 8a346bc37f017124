// Reading CSV files: storage inference, RFC 4180 quoting, line endings and
// every malformed-input path of `zelcraft prepare`.
#include <gtest/gtest.h>

#include "cli/CliHarness.h"

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
  const auto margins = [&](const std::string& field) {
    const std::string interval =
        "//*[local-name()='DataField'][@name='" + field + "']/*[local-name()='Interval']/@";
    return doc.Eval(interval + "leftMargin") + ".." + doc.Eval(interval + "rightMargin");
  };
  EXPECT_EQ(doc.FieldAttribute("int", "dataType"), "integer");
  EXPECT_EQ(margins("int"), "-3..7");
  EXPECT_EQ(doc.FieldAttribute("real", "dataType"), "double");
  EXPECT_EQ(margins("real"), "-0.5..1000");
  // Day numbers from 1970-01-01: 1600-03-01 is -135080, 2020-01-02 is 18263.
  EXPECT_EQ(doc.FieldAttribute("date", "dataType"), "dateDaysSince[1970]");
  EXPECT_EQ(margins("date"), "-135080..18263");
  EXPECT_EQ(doc.FieldAttribute("time", "dataType"), "time");
  EXPECT_EQ(margins("time"), "0..86399.25");
  // Timestamps go over without a measurement level, so without a type.
  EXPECT_EQ(doc.Eval("count(//*[local-name()='DataField'][@name='stamp'])"), "1");
  EXPECT_EQ(doc.FieldAttribute("stamp", "optype"), "");
  EXPECT_EQ(doc.FieldAttribute("empty", "dataType"), "double");
  EXPECT_EQ(doc.FieldAttribute("big", "dataType"), "double");
  for (const char* text : {"text", "badstamp", "baddate"}) {
    EXPECT_EQ(doc.FieldAttribute(text, "dataType"), "string") << text;
    EXPECT_EQ(doc.FieldAttribute(text, "optype"), "categorical") << text;
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
  const std::string note = "//*[local-name()='DataField'][@name='note']/*[local-name()='Value']";
  EXPECT_EQ(doc.FieldAttribute("id", "dataType"), "integer");  // the mark is not in the name
  // A quoted empty cell is missing in a number field and the empty text in a
  // text field; an unquoted empty cell is missing in both.
  EXPECT_EQ(doc.FieldAttribute("n", "dataType"), "integer");
  EXPECT_EQ(doc.Eval("count(" + note + "[@property='valid'])"), "4");
  EXPECT_EQ(doc.Eval("count(" + note + "[@value='a,b'])"), "1");
  EXPECT_EQ(doc.Eval("count(" + note + "[@value='say \\\"hi\\\"'])"), "1");
  EXPECT_EQ(doc.Eval("count(" + note + "[@value='two\r\nlines'])"), "1");
  EXPECT_EQ(doc.Eval("count(" + note + "[@value=''])"), "1");

  WriteFile(dir / "t.tsv", "a\tb\n1\tx,y\n2\tz\n");
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "t.tsv", "--delimiter", "\\t", "-q"}).status, 0);
  const Document tsv(ReadFile(dir / "t.pmml"));
  EXPECT_EQ(tsv.FieldAttribute("a", "dataType"), "integer");
  EXPECT_EQ(tsv.Eval("count(//*[local-name()='DataField'][@name='b']/*[@value='x,y'])"), "1");
}

TEST(CliReading, MalformedInputIsAnInputErrorNamingLineAndColumn) {
  struct Case {
    const char* csv;
    const char* message;
  };
  const Case cases[] = {
      {"", "the file is empty: no header row"},
      {"a,b,c\n1,2,3\n4,5\n", "line 3: 2 cells where the header has 3"},
      {"a,b\n1,\"open\n2,3\n", "line 2, column 2: unterminated quoted cell"},
      {"a,b\n\"x\"y,1\n", "line 2, column 1: unexpected text after a closing quote"},
      {"a,b,a\n1,2,3\n", "line 1, column 3: duplicate field name 'a'"},
      {"a,,c\n1,2,3\n", "line 1, column 2: empty field name"},
      {"a,b\n1,2\n3,\xC3\x28\n", "line 3, column 2: invalid UTF-8"},
      {"a,b\n1,\xC0\xAF\n", "line 2, column 2: invalid UTF-8"},      // overlong
      {"a,b\n1,\xED\xA0\x80\n", "line 2, column 2: invalid UTF-8"},  // surrogate
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    WriteFile(dir / "bad.csv", c.csv);
    const RunResult run = RunCli(dir.path(), {"prepare", "bad.csv"});
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_NE(run.err.find(std::string("error: bad.csv: ") + c.message), std::string::npos)
        << run.err;
    EXPECT_FALSE(FileExists(dir / "bad.pmml"));
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
      {{"prepare", "d.csv", "--frequency-weight", "b"}, "the frequency weight 'b' holds text"},
      {{"prepare", "d.csv", "-o", "missing-dir/out.pmml"}, "cannot write to missing-dir/"},
  };
  for (const Case& c : cases) {
    const RunResult run = RunCli(dir.path(), c.args);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(FileExists(dir / "d.pmml"));
}

}  // namespace
}  // namespace clitest
