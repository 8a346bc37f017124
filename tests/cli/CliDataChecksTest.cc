// What the command checks in the data and says about it: weights, timestamps
// read as dates or times, an excluded target, huge cells and the progress
// line.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>

#include "support/CliHarness.h"
#include "support/SchemaCheck.h"

namespace clitest {
namespace {

using schemacheck::IsSchemaValid;

TEST(CliData, WeightsMustBeNumbersThatFitTheCounts) {
  ScratchDir dir;
  WriteFile(dir / "dated.csv", "x,d,t\n1,2020-01-01,00:00:01\n2,2020-01-02,00:00:02\n");
  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"dated.csv", "--frequency-weight", "d"},
       "the frequency weight 'd' must hold numbers, not dates"},
      {{"dated.csv", "--analysis-weight", "t"},
       "the analysis weight 't' must hold numbers, not times"},
  };
  for (const auto& c : refused) {
    std::vector<std::string> args{"prepare"};
    args.insert(args.end(), c.first.begin(), c.first.end());
    const RunResult run = RunCli(dir.path(), args);
    EXPECT_EQ(run.status, 2) << c.second;
    EXPECT_EQ(run.err, "error: " + c.second + "\n");
  }

  const std::pair<std::string, std::string> beyond[] = {
      {"x,w\n1,2\n2,1e300\n", "line 3, column 2: the frequency weight of 'w' is 2^63 or more"},
      {"x,w\n1,9223372036854775807\n", "line 2, column 2: the frequency weight of 'w' is 2^63"},
      {"x,w\n1,4700000000000000000\n2,4700000000000000000\n",
       "line 3: the frequency weights add up to 2^63 or more records"},
  };
  for (const auto& c : beyond) {
    WriteFile(dir / "w.csv", c.first);
    const RunResult run = RunCli(dir.path(), {"prepare", "w.csv", "--frequency-weight", "w"});
    EXPECT_EQ(run.status, 2) << c.first;
    EXPECT_TRUE(Contains(run.err, "error: w.csv: " + c.second));
  }

  // Six billion records: the moments stay in range, and what the weights
  // leave out is counted once, user-missing weights included.
  WriteFile(dir / "big.csv",
            "x,w\n1,2000000000\n2,2000000000\n4,2000000000\n5,0\n6,-1\n7,\n8,99\n9,0.4\n");
  WriteFile(dir / "s.json", R"({"fields": {"w": {"missingValues": [99]}}})");
  const RunResult run =
      RunCli(dir.path(), {"prepare", "big.csv", "--frequency-weight", "w", "--schema", "s.json"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err,
      "warning: 5 records left out: their frequency or analysis weight is "
      "missing, zero or negative\n"));
}

TEST(CliData, TimestampsValidateAndGiveDaysAndTimesWhenDeclared) {
  ScratchDir dir;
  WriteFile(dir / "t.csv",
            "x,s,d,t,t_minute\n"
            "1,2021-03-04 05:06:07,2021-03-04 05:06:07,2021-03-04T05:06:07,1\n"
            "2,2021-03-05 23:59:00,2021-03-05 23:59:00,2021-03-05 23:59:00,2\n"
            "3,1969-12-31 12:30:00,1969-12-31 12:30:00,1969-12-31 12:30:00,3\n");
  const RunResult plain = RunCli(dir.path(), {"prepare", "t.csv", "-q", "-o", "plain.pmml"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  const std::string text = ReadFile(dir / "plain.pmml");
  EXPECT_TRUE(IsSchemaValid(text));
  const Document doc(text);
  // Each column of timestamps goes over as its date and its time of day,
  // which the header names, and which durations reach from the latest date
  // (2021-03-05) and time of day (23:59:00).
  EXPECT_EQ(doc.Eval("count(//p:DataField[@name='s'])"), "0");
  EXPECT_EQ(doc.Field("s_date", "@dataType") + " " + doc.Range("s_date"),
            "dateDaysSince[1970] -1..18691");
  EXPECT_EQ(doc.Field("s_time", "@dataType") + " " + doc.Range("s_time"), "time 18367..86340");
  EXPECT_EQ(doc.All("//p:Header/p:Extension[@name='timestampParts']/@value"), "s|d|t");
  EXPECT_EQ(doc.Eval("//p:Header/p:Extension[@name='timestampParts'][@value='t']/p:TimePart/"
                     "@field"),
            "t_time");
  EXPECT_EQ(doc.Eval("//p:Header/p:Extension[@name='referenceDateFromData']/@value"),
            "2021-03-05");
  EXPECT_EQ(doc.Eval("//p:Header/p:Extension[@name='referenceTimeFromData']/@value"),
            "23:59:00");
  EXPECT_EQ(doc.Eval("//p:DerivedField[@name='s_date_DurationDays']/p:Apply/p:Constant"), "18691");

  // Declared a date, a timestamp is its calendar day; declared a time, its
  // time of day. The parts keep their final names, and a name already taken
  // by a column gets the next free number.
  WriteFile(dir / "s.json", R"({"fields": {"d": {"storage": "date"}, "t": {"storage": "time"}}})");
  const RunResult declared = RunCli(
      dir.path(), {"prepare", "t.csv", "-q", "--schema", "s.json", "-o", "parts.pmml", "--data-out",
                   "parts.csv", "--set", "extractDayFromDate=true", "--set",
                   "extractMinuteFromTime=true", "--set", "checkFeatureMeasureLevel=false"});
  ASSERT_EQ(declared.status, 0) << declared.err;
  // Replaying the document reads the same file alike, with no unreadable cell.
  const RunResult replay = RunCli(dir.path(), {"apply", "parts.pmml", "t.csv"});
  EXPECT_EQ(replay.err, "");
  EXPECT_EQ(replay.out, ReadFile(dir / "parts.csv"));
  const std::string partsText = ReadFile(dir / "parts.pmml");
  EXPECT_TRUE(IsSchemaValid(partsText));
  const Document parts(partsText);
  EXPECT_EQ(parts.Field("d", "@dataType"), "dateDaysSince[1970]");
  // 2021-03-04 is day 18690, 1969-12-31 day -1.
  EXPECT_EQ(parts.Range("d"), "-1..18691");
  EXPECT_EQ(parts.Range("t"), "18367..86340");
  auto usage = [&](const std::string& name) {
    return parts.Eval("//p:DerivedField[@name='" + name + "']/p:Extension/p:UsageType/@value");
  };
  EXPECT_EQ(usage("d_day"), "enable");
  EXPECT_EQ(parts.All("//p:DerivedField[@name='d_day']/p:Value/@value"), "4|5|31");
  EXPECT_EQ(usage("t_minute_2"), "enable");
  EXPECT_EQ(parts.All("//p:DerivedField[@name='t_minute_2']/p:Value/@value"), "6|30|59");
  EXPECT_EQ(parts.Eval("count(//p:DerivedField[@name='t_minute'])"), "0");
}

TEST(CliData, AnExcludedTargetIsExplained) {
  const std::pair<std::string, std::string> cases[] = {
      {"x,t\n1,a\n", "the target 't' has the same value in every record that counts: 'a'"},
      {"x,t\n1,7\n2,7\n3,7\n", "the target 't' has the same value in every record that counts: 7"},
      {"x,t\n1,\n2,\n3,\n", "the target 't' is missing in every record that counts"},
      {"x,t\n1,a\n2,\n3,\n4,b\n5,\n",
       "the target 't' is missing in 60 % of the records, more than maxPercentageOfMissingvalue "
       "(50 %) allows"},
      {"x,t\n1,2020-01-01\n2,2020-02-01\n3,2021-01-01\n",
       "the target 't' holds dates or times, which are set aside once their parts and "
       "durations are derived; a target must hold numbers or text"},
      {"x,t,w\n1,a,0\n2,b,\n3,a,-1\n",
       "no record counts: every record's frequency or analysis weight is missing, zero or "
       "negative"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    WriteFile(dir / "d.csv", c.first);
    std::vector<std::string> args{"prepare", "d.csv", "--target", "t", "-q"};
    if (c.first.find(",w\n") != std::string::npos) {
      args.insert(args.end(), {"--frequency-weight", "w"});
    }
    const RunResult run = RunCli(dir.path(), args);
    EXPECT_EQ(run.status, 1) << c.first;
    EXPECT_EQ(run.err, "error 210012: every target field was excluded\nnote: " + c.second + "\n")
        << c.first;
  }
}

TEST(CliData, AHugeCellIsWrittenAndReplayedWithoutLibraryMessages) {
  ScratchDir dir;
  {
    std::ofstream csv(dir / "h.csv");
    csv << "x,t\n1," << std::string(10500000, 'a') << "\n2,b\n3,c\n";
  }
  const RunResult run = RunCli(dir.path(), {"prepare", "h.csv", "--data-out", "p.csv"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err.find("huge"), std::string::npos) << run.err.substr(0, 2000);
  EXPECT_EQ(run.err.find("error"), std::string::npos);
  // The summary was read back from the document.
  EXPECT_TRUE(Contains(run.err, "fields recommended: "));
  const Document doc(ReadFile(dir / "h.pmml"));
  EXPECT_EQ(doc.Eval("string-length(//p:DataField[@name='t']/p:Value[1]/@value)"), "10500000");
  // The document reads back for replay, in the same run and later.
  const RunResult apply = RunCli(dir.path(), {"apply", "h.pmml", "h.csv"});
  EXPECT_EQ(apply.status, 0);
  EXPECT_EQ(apply.err, "");
  EXPECT_EQ(apply.out.size(), ReadFile(dir / "p.csv").size());
  EXPECT_TRUE(apply.out == ReadFile(dir / "p.csv"));
}

TEST(CliData, TheProgressLineCountsRecordsAndNamesEveryPass) {
  ScratchDir dir;
  WriteFile(dir / "p.csv", "x,y,t\n1,5,a\n2,3,b\n3,,a\n4,1,b\n");
  // Without outlier handling the second pass is skipped: the line must not
  // fall behind.
  const RunResult run = RunCli(
      dir.path(), {"prepare", "p.csv", "--progress", "--set", "detectFeatureOutliers=false"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> phases;
  const std::regex drawn("\r([a-z0-9/ ]+): ([0-9]+) records");
  std::string counted;
  for (std::sregex_iterator it(run.err.begin(), run.err.end(), drawn), end; it != end; ++it) {
    if (phases.empty() || phases.back() != (*it)[1]) phases.push_back((*it)[1]);
    if ((*it)[2] != "0") counted += std::string((*it)[1]) + "=" + std::string((*it)[2]) + " ";
  }
  // The file is read once.
  EXPECT_EQ(phases, (std::vector<std::string>{"reading", "pass 1/7", "pass 2/7", "pass 3/7",
                                              "pass 4/7", "pass 5/7", "pass 6/7", "pass 7/7",
                                              "finishing", "writing"}));
  EXPECT_TRUE(Contains(counted, "pass 1/7=4 "));
  EXPECT_TRUE(Contains(counted, "reading=4 "));
}

}  // namespace
}  // namespace clitest
