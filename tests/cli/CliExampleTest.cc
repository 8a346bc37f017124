// The example data end to end: generated the same way twice, prepared against
// churn with the prepared data set written beside the document, replayed by
// `apply` to the same bytes with the derived values checked against the
// source cells, and prepared again without a target. The run summaries
// repeat what the documents say.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "support/CliHarness.h"

namespace clitest {
namespace {

// Days since 1970-01-01 by the C library's own calendar.
long DaysOf(const std::string& date) {
  std::tm tm = {};
  tm.tm_year = std::stoi(date.substr(0, 4)) - 1900;
  tm.tm_mon = std::stoi(date.substr(5, 2)) - 1;
  tm.tm_mday = std::stoi(date.substr(8, 2));
  return static_cast<long>(timegm(&tm) / 86400);
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(CliExample, PreparedReplayedAndPreparedAgainWithoutTarget) {
  ScratchDir dir;
  const std::string generate = SiblingProgram("zelcraft-example-data") + " " + dir.path();
  ASSERT_EQ(std::system(generate.c_str()), 0);
  const std::string first = ReadFile(dir / "customers.csv");
  ASSERT_EQ(std::system(generate.c_str()), 0);
  EXPECT_EQ(ReadFile(dir / "customers.csv"), first);  // deterministic

  const std::vector<std::string> common = {"prepare", "customers.csv", "--frequency-weight",
                                           "weight", "--schema", "customers.schema.json"};
  std::vector<std::string> churn = common;
  churn.insert(churn.end(), {"--target", "churn", "--settings", "customers.settings.json", "-o",
                             "customers.pmml", "--data-out", "prepared.csv"});
  const RunResult prepare = RunCli(dir.path(), churn);
  ASSERT_EQ(prepare.status, 0) << prepare.err;
  const Document doc(ReadFile(dir / "customers.pmml"));
  // The last login's timestamps go over as its date and its time of day.
  EXPECT_TRUE(Contains(prepare.err, "read 4000 records of 18 fields; 18 handed to the component"));
  EXPECT_TRUE(Contains(prepare.err, "prepared data written to prepared.csv"));
  EXPECT_EQ(doc.Eval("//p:DataDictionary/@numberOfFields"), "18");
  EXPECT_EQ(doc.Field("satisfaction", "@optype"), "ordinal");
  EXPECT_EQ(doc.Field("churn", "@optype"), "categorical");
  const std::string recommended = doc.Eval("//p:ProcessingSummary/@recommendedTotal");
  ASSERT_FALSE(recommended.empty());
  EXPECT_TRUE(Contains(prepare.err, "fields recommended: " + recommended + " "));
  EXPECT_TRUE(Contains(prepare.err,
      "merged categories alike for the target: postcode_area, 66 categories"));
  // Binned inputs, never the frequency weight, as many as the summary says.
  const std::string binned =
      doc.Eval("sum(//p:StepSummary/p:Action[@reasonKey='BinValues']/@numOfFields)");
  EXPECT_NE(binned, "0");
  EXPECT_EQ(doc.Eval("count(//p:DerivedField[p:Discretize])"), binned);
  EXPECT_EQ(doc.Eval("count(//p:Discretize[@field='weight'])"), "0");
  EXPECT_TRUE(Contains(prepare.err,
      " inputs excluded for lack of association, " + binned + " binned"));

  // Read again and parsed by each field's dataType, the file gives what the
  // columns in memory gave: the ordinal text categories read back through
  // their labels.
  const RunResult apply = RunCli(dir.path(), {"apply", "customers.pmml", "customers.csv", "-q"});
  ASSERT_EQ(apply.status, 0) << apply.err;
  EXPECT_EQ(apply.err, "");
  const std::string prepared = ReadFile(dir / "prepared.csv");
  EXPECT_EQ(apply.out, prepared);
  // One column per enabled field, in document order.
  const auto rows = ReadCsv(prepared);
  ASSERT_EQ(rows.size(), 4001u);
  std::string header;
  for (const std::string& name : rows[0]) header += (header.empty() ? "" : "|") + name;
  EXPECT_EQ(header, doc.All("//p:DataDictionary/p:DataField[p:Extension/p:UsageType/@value="
                            "'enable']/@name | //p:DerivedField[p:Extension/p:UsageType/@value="
                            "'enable']/@name"));
  // Derived values against the source cells, computed independently; every
  // derived field is written, so later steps do not hide the early ones.
  const RunResult all =
      RunCli(dir.path(), {"apply", "customers.pmml", "customers.csv", "-q", "--all-fields"});
  ASSERT_EQ(all.status, 0) << all.err;
  const auto derived = ReadCsv(all.out);
  ASSERT_EQ(derived.size(), 4001u);
  const auto source = ReadCsv(first);
  // The fields are found by what made them, not by their final names.
  auto madeBy = [&doc](const std::string& source, const std::string& reason) {
    return doc.Eval("string(//p:DerivedField[p:Extension/p:SourceField/@value='" + source +
                    "' and p:Extension/p:Action[1]/@reasonKey='" + reason + "']/@name)");
  };
  const std::size_t days = Column(derived[0], madeBy("signup_date", "DeriveDays"));
  const std::size_t segment = Column(derived[0], madeBy("segment", "TrimTrailingBlanks"));
  const std::size_t satisfaction =
      Column(derived[0], madeBy("satisfaction", "ReplaceMissingOrdinalFeature"));
  const std::size_t signup = Column(source[0], "signup_date");
  const std::size_t rawSegment = Column(source[0], "segment");
  const std::size_t rawSatisfaction = Column(source[0], "satisfaction");
  const char* const levels[] = {"very low", "low", "medium", "high", "very high"};
  std::string replacement;  // the one code every missing level takes
  for (std::size_t r = 1; r < derived.size(); ++r) {
    ASSERT_EQ(std::stol(derived[r][days]), DaysOf(source[r][signup]) - 19723) << r;
    std::string trimmed = source[r][rawSegment];
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    ASSERT_EQ(derived[r][segment], trimmed) << r;
    const std::string& level = source[r][rawSatisfaction];
    if (level.empty()) {
      if (replacement.empty()) replacement = derived[r][satisfaction];
      ASSERT_EQ(derived[r][satisfaction], replacement) << r;
    } else {
      ASSERT_EQ(derived[r][satisfaction],
                std::to_string(std::find(levels, levels + 5, level) - levels + 1))
          << r;
    }
  }
  EXPECT_NE(replacement, "");
  // The example's target is categorical and not transformed: no inverse.
  WriteFile(dir / "p.csv", "churn\nleft\n");
  const RunResult inverse =
      RunCli(dir.path(), {"inverse", "customers.pmml", "p.csv", "--column", "churn"});
  EXPECT_EQ(inverse.status, 2);
  EXPECT_EQ(inverse.err, "error: customers.pmml: the document has no target inverse\n");

  // Without a target: merged by frequency, and one constructed field, a sum
  // of products (a rescaled input is a sum too).
  std::vector<std::string> untargeted = common;
  untargeted.insert(untargeted.end(),
                    {"--settings", "customers.untargeted.settings.json", "-o", "-"});
  const RunResult without = RunCli(dir.path(), untargeted);
  ASSERT_EQ(without.status, 0) << without.err;
  EXPECT_TRUE(Contains(without.err, "merged sparse categories: postcode_area, 66 categories"));
  EXPECT_EQ(Count(without.err, "\nconstructed "), 1) << without.err;
  EXPECT_EQ(Document(without.out)
                .Eval("count(//p:DerivedField[p:Apply/@function='+']"
                      "[p:Extension/p:Action/@reasonKey='Construct'])"),
            "1");
}

}  // namespace
}  // namespace clitest
