// Target means through the command line: which nominal inputs are encoded
// (the minimum number of categories exactly and one below, inputs past the
// category screen, a continuous, a two-category, a three-category and a
// ten-category target), the means against sums computed here from the
// generated rows (frequency weights, missing categories and targets), the
// cross-fitted training rows of --data-out against each row's other folds,
// `apply` replaying the whole-data mapping, the same prepared file in
// memory, streamed and on two threads past one block, and the defaults.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/CliHarness.h"
#include "support/SchemaCheck.h"
#include "support/TargetMeans.h"

namespace clitest {
namespace {

using Row = targetmeans::Row;
using Means = targetmeans::Means;

// The output of the target-mean table of `input` for `category`, as a number.
double Mapped(const Document& doc, const std::string& input, const std::string& category,
              const std::string& field = "") {
  const std::string map = "//p:DerivedField[.//p:Action[@reasonKey='EncodeTargetMean']" +
                          (field.empty() ? std::string() : " and @name='" + field + "'") +
                          "]/p:MapValues[p:FieldColumnPair/@field='" + input + "']";
  const std::string text =
      category.empty()
          ? doc.Eval("string(" + map + "/@mapMissingTo)")
          : doc.Eval("string(" + map + "/p:InlineTable/p:row[p:input='" + category + "']/p:output)");
  return text.empty() ? NAN : std::strtod(text.c_str(), nullptr);
}

std::string Encoded(const Document& doc, const std::string& input) {
  return doc.Eval("count(//p:DerivedField[.//p:Action[@reasonKey='EncodeTargetMean'] and "
                  "p:MapValues/p:FieldColumnPair/@field='" + input + "'])");
}

// 200 rows: c of 20 categories (missing on 6 rows), d of 19, y continuous
// and following c, missing on 5 rows, w a frequency weight of 1 or 2.
std::vector<Row> Rows(std::vector<std::string>* d) {
  std::vector<Row> rows;
  for (int i = 0; i < 200; ++i) {
    Row row;
    char name[8];
    std::snprintf(name, sizeof name, "k%02d", i % 20);
    row.category = i % 37 == 5 ? "" : name;
    row.y = (i * 13) % 29 + (i % 20) * 0.5;
    row.yMissing = i % 41 == 7;
    row.weight = i % 3 == 0 ? 2 : 1;
    rows.push_back(row);
    std::snprintf(name, sizeof name, "d%02d", i % 19);
    d->push_back(name);
  }
  return rows;
}

std::string Csv(const std::vector<Row>& rows, const std::vector<std::string>& d) {
  std::string csv = "c,d,y,w\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    csv += rows[i].category + "," + d[i] + "," +
           (rows[i].yMissing ? std::string() : std::to_string(rows[i].y)) + "," +
           std::to_string(static_cast<int>(rows[i].weight)) + "\n";
  }
  return csv;
}

const std::vector<std::string> kQuiet = {
    "--set", "targetEncodeCategories=true", "--set", "replaceNominalFeaturesMissingValue=false",
    "--set", "featureSelection=false",      "--set", "supervisedMerging=false"};

RunResult Prepare(const ScratchDir& dir, const std::string& target, std::vector<std::string> extra,
                  bool weighted = true) {
  std::vector<std::string> args = {"prepare", "d.csv", "--target", target, "-o", "doc.pmml"};
  if (weighted) {
    args.push_back("--frequency-weight");
    args.push_back("w");
  }
  args.insert(args.end(), kQuiet.begin(), kQuiet.end());
  args.insert(args.end(), extra.begin(), extra.end());
  return RunCli(dir.path(), args);
}

TEST(CliTargetEncoding, InputsAtTheMinimumTakeTheirWeightedSmoothedMeans) {
  ScratchDir dir;
  std::vector<std::string> d;
  const std::vector<Row> rows = Rows(&d);
  WriteFile(dir / "d.csv", Csv(rows, d));
  const RunResult run = Prepare(dir, "y", {"--set", "targetEncodingMinCategories=20"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string text = ReadFile(dir / "doc.pmml");
  const Document doc(text);
  ASSERT_TRUE(doc.ok());
  EXPECT_EQ(Encoded(doc, "c"), "1");  // 20 categories: the minimum exactly
  EXPECT_EQ(Encoded(doc, "d"), "0");  // 19
  const Means means = targetmeans::Smoothed(rows, 10.0);
  for (const auto& entry : means.byCategory) {
    EXPECT_NEAR(Mapped(doc, "c", entry.first), entry.second, 1e-9 * std::fabs(entry.second))
        << entry.first;
  }
  // A missing category and one the data never had take the prior.
  EXPECT_NEAR(Mapped(doc, "c", ""), means.prior, 1e-9 * means.prior);
  const std::string map = "//p:MapValues[p:Extension/@name='crossFitting']";
  EXPECT_EQ(doc.Eval("string(" + map + "/@defaultValue)"),
            doc.Eval("string(" + map + "/@mapMissingTo)"));
  EXPECT_EQ(doc.Eval("string(" + map + "/p:Extension/p:CrossFitting/@folds)"), "5");
  EXPECT_EQ(doc.Eval("string(" + map + "/p:Extension/p:CrossFitting/@target)"), "y");
  EXPECT_EQ(doc.Eval("string(" + map + "/p:Extension/p:CrossFitting/@frequencyWeight)"), "w");
  // Rescaled like any continuous input, under the usual name.
  EXPECT_EQ(doc.Eval("string(//p:DerivedField[@name='c_targetMean']//p:Action/@reasonKey)"),
            "TransformZscore");
  EXPECT_TRUE(Contains(run.out + run.err,
                       "categories replaced by smoothed target means: 1 field (c)"));
  EXPECT_EQ(doc.Eval("string(//*[@stepKey='TargetEncoding']/p:Action/@parameter)"), "10");
  EXPECT_TRUE(schemacheck::IsSchemaValid(text));

  // One more category than c has: nothing is encoded; smoothing 0 gives
  // the plain weighted means.
  ASSERT_EQ(Prepare(dir, "y", {"--set", "targetEncodingMinCategories=21", "-q"}).status, 0);
  EXPECT_EQ(Encoded(Document(ReadFile(dir / "doc.pmml")), "c"), "0");
  ASSERT_EQ(Prepare(dir, "y", {"--set", "targetEncodingSmoothing=0", "-q"}).status, 0);
  const Document plain(ReadFile(dir / "doc.pmml"));
  const Means raw = targetmeans::Smoothed(rows, 0.0);
  EXPECT_NEAR(Mapped(plain, "c", "k07"), raw.byCategory.at("k07"), 1e-9);
  // Bad settings are refused.
  const RunResult refused = Prepare(dir, "y", {"--set", "targetEncodingMinCategories=1"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Contains(refused.err, "targetEncodingMinCategories"));
}

// Rows of a panel: 150 countries (past the screen of 100), a two-category,
// a three-category and a ten-category target.
std::string Panel() {
  std::string csv = "country,yes,three,ten,x\n";
  for (int i = 0; i < 900; ++i) {
    const int country = (i * 7) % 150;
    csv += "n" + std::to_string(country) + ",";
    csv += std::string((country % 3 == 0) != (i % 5 == 0) ? "yes" : "no") + ",";
    csv += std::string(1, static_cast<char>('a' + (country + i % 2) % 3)) + ",";
    csv += "t" + std::to_string(i % 10) + "," + std::to_string(i % 17) + "\n";
  }
  return csv;
}

TEST(CliTargetEncoding, InputsPastTheScreenAgainstEachKindOfTarget) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", Panel());
  const auto table = ReadCsv(Panel());
  // Off: the screen excludes the countries.
  const RunResult off = RunCli(dir.path(), {"prepare", "d.csv", "--target", "yes", "-o", "doc.pmml"});
  ASSERT_EQ(off.status, 0) << off.err;
  EXPECT_TRUE(Contains(off.out + off.err, "excluded for too many categories: 1 (country)"));

  // Two categories: the mean of the indicator of the second, "yes".
  const RunResult binary = Prepare(dir, "yes", {}, false);
  ASSERT_EQ(binary.status, 0) << binary.err;
  const Document doc(ReadFile(dir / "doc.pmml"));
  EXPECT_EQ(Encoded(doc, "country"), "1");
  EXPECT_EQ(doc.Eval("string(//p:CrossFitting/@targetCategory)"), "yes");
  std::vector<Row> rows;
  for (std::size_t r = 1; r < table.size(); ++r) {
    rows.push_back({table[r][0], table[r][1] == "yes" ? 1.0 : 0.0, false, 1});
  }
  const Means means = targetmeans::Smoothed(rows, 10.0);
  EXPECT_EQ(means.byCategory.size(), 150u);
  for (const char* country : {"n0", "n1", "n149"}) {
    EXPECT_NEAR(Mapped(doc, "country", country), means.byCategory.at(country), 1e-12) << country;
  }
  EXPECT_TRUE(schemacheck::IsSchemaValid(ReadFile(dir / "doc.pmml")));

  // Three categories: one field per category against the rest.
  const RunResult three = Prepare(dir, "three", {}, false);
  ASSERT_EQ(three.status, 0) << three.err;
  const Document classes(ReadFile(dir / "doc.pmml"));
  EXPECT_EQ(Encoded(classes, "country"), "3");
  EXPECT_TRUE(Contains(three.out + three.err,
                       "categories replaced by smoothed target means: 3 fields (country: "
                       "country_TargetEncoded_a, country_TargetEncoded_b, "
                       "country_TargetEncoded_c)\n"));
  for (const char* name : {"a", "b", "c"}) {
    std::vector<Row> indicator;
    for (std::size_t r = 1; r < table.size(); ++r) {
      indicator.push_back({table[r][0], table[r][2] == name ? 1.0 : 0.0, false, 1});
    }
    const Means own = targetmeans::Smoothed(indicator, 10.0);
    const std::string field = std::string("country_TargetEncoded_") + name;
    EXPECT_NEAR(Mapped(classes, "country", "n4", field), own.byCategory.at("n4"), 1e-12) << name;
    EXPECT_EQ(classes.Eval("count(//p:DerivedField[@name='country_targetMean_" + std::string(name) +
                           "'])"),
              "1");
  }

  // Ten categories: no one mean; skipped with a warning, the screen as before.
  const RunResult ten = Prepare(dir, "ten", {}, false);
  ASSERT_EQ(ten.status, 0) << ten.err;
  EXPECT_EQ(Encoded(Document(ReadFile(dir / "doc.pmml")), "country"), "0");
  EXPECT_TRUE(Contains(ten.out + ten.err, "target encoding (the target has more than 5 categories)"));
  EXPECT_TRUE(Contains(ten.out + ten.err, "excluded for too many categories: 1 (country)"));
}

// The summary names each encoded input once: alone when it makes one
// field, with its fields when a target of several classes makes one per
// class.
TEST(CliTargetEncoding, TheSummaryNamesEachInputOnce) {
  ScratchDir dir;
  std::string csv = "c,d,two,three\n";
  for (int i = 0; i < 400; ++i) {
    csv += "k" + std::to_string(i % 20) + ",m" + std::to_string((i * 7) % 19) + ",";
    csv += std::string(i % 20 < 8 ? "no" : "yes") + ",";
    csv += std::string(1, static_cast<char>('a' + (i % 20 + i % 3 / 2) % 3)) + "\n";
  }
  WriteFile(dir / "d.csv", csv);
  const std::vector<std::string> settings = {"--set", "targetEncodingMinCategories=19"};
  const RunResult two = Prepare(dir, "two", settings, false);
  ASSERT_EQ(two.status, 0) << two.err;
  EXPECT_TRUE(
      Contains(two.err, "categories replaced by smoothed target means: 2 fields (c, d)\n"));
  const RunResult three = Prepare(dir, "three", settings, false);
  ASSERT_EQ(three.status, 0) << three.err;
  EXPECT_TRUE(Contains(three.err,
                       "categories replaced by smoothed target means: 6 fields (c: "
                       "c_TargetEncoded_a, c_TargetEncoded_b, c_TargetEncoded_c; d: "
                       "d_TargetEncoded_a, d_TargetEncoded_b, d_TargetEncoded_c)\n"));
  EXPECT_TRUE(schemacheck::IsSchemaValid(ReadFile(dir / "doc.pmml")));
}

// Each training row's value from the rows of the other folds (row number
// modulo 5), computed here; `apply` gives the whole-data mapping.
TEST(CliTargetEncoding, TrainingRowsAreCrossFittedAndApplyReplaysTheWholeData) {
  ScratchDir dir;
  std::vector<std::string> d;
  const std::vector<Row> rows = Rows(&d);
  WriteFile(dir / "d.csv", Csv(rows, d));
  const RunResult run =
      Prepare(dir, "y", {"--set", "scaleFeatureRescalingMethod=none", "--data-out", "p.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Document doc(ReadFile(dir / "doc.pmml"));
  const RunResult applied = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "-o", "a.csv"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  const auto prepared = ReadCsv(ReadFile(dir / "p.csv"));
  const auto replayed = ReadCsv(ReadFile(dir / "a.csv"));
  ASSERT_EQ(prepared.size(), rows.size() + 1);
  ASSERT_EQ(replayed.size(), rows.size() + 1);
  const std::size_t pc = Column(prepared[0], "c_targetMean");
  const std::size_t ac = Column(replayed[0], "c_targetMean");
  ASSERT_LT(pc, prepared[0].size());
  std::vector<Means> folds;
  for (int fold = 0; fold < 5; ++fold) folds.push_back(targetmeans::Smoothed(rows, 10.0, fold));
  const Means whole = targetmeans::Smoothed(rows, 10.0);
  int differ = 0;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Means& own = folds[r % 5];
    const auto found = own.byCategory.find(rows[r].category);
    const double expected = found != own.byCategory.end() ? found->second : own.prior;
    const double got = std::strtod(prepared[r + 1][pc].c_str(), nullptr);
    EXPECT_NEAR(got, expected, 1e-9 * std::fabs(expected)) << "row " << r;
    const auto all = whole.byCategory.find(rows[r].category);
    const double mapped = all != whole.byCategory.end() ? all->second : whole.prior;
    EXPECT_NEAR(std::strtod(replayed[r + 1][ac].c_str(), nullptr), mapped, 1e-9 * mapped);
    if (prepared[r + 1][pc] != replayed[r + 1][ac]) ++differ;
  }
  EXPECT_GT(differ, 150);
  // Every other column is what apply writes.
  for (std::size_t r = 0; r < prepared.size(); ++r) {
    for (std::size_t k = 0; k < prepared[r].size(); ++k) {
      if (k != pc) {
        EXPECT_EQ(prepared[r][k], replayed[r][k]) << r << "," << k;
      }
    }
  }
  // The report's run names the step with its count.
  ASSERT_EQ(RunCli(dir.path(), {"report", "doc.pmml", "-o", "r.html"}).status, 0);
  EXPECT_TRUE(Contains(ReadFile(dir / "r.html"),
                       "<dt>target means of inputs of many categories</dt><dd>1</dd>"));
}

TEST(CliTargetEncoding, MemoryStreamAndThreadsPastABlockAgree) {
  ScratchDir dir;
  std::string csv = "s,x,y\n";
  for (int i = 0; i < 70000; ++i) {
    csv += (i % 97 == 3 ? std::string() : "s" + std::to_string((i * 31) % 40)) + ",";
    csv += std::to_string(i % 23) + "," + std::to_string((i * 7) % 19 + (i * 31) % 40 % 5) + "\n";
  }
  WriteFile(dir / "d.csv", csv);
  std::string documents[3];
  std::string data[3];
  const std::vector<std::vector<std::string>> ways = {
      {"--threads", "1"}, {"--threads", "2"}, {"--stream", "--threads", "2"}};
  for (std::size_t k = 0; k < ways.size(); ++k) {
    std::vector<std::string> args = {"prepare", "d.csv",       "--target", "y", "-o",
                                     "doc.pmml", "--data-out", "p.csv",    "-q"};
    args.insert(args.end(), kQuiet.begin(), kQuiet.end());
    args.insert(args.end(), ways[k].begin(), ways[k].end());
    const RunResult run = RunCli(dir.path(), args);
    ASSERT_EQ(run.status, 0) << run.err;
    documents[k] = WithoutTimes(ReadFile(dir / "doc.pmml"));
    data[k] = ReadFile(dir / "p.csv");
  }
  EXPECT_TRUE(documents[0] == documents[1]);
  EXPECT_TRUE(documents[0] == documents[2]);
  EXPECT_TRUE(data[0] == data[1]);
  EXPECT_TRUE(data[0] == data[2]);
  EXPECT_EQ(Encoded(Document(documents[0]), "s"), "1");
}

TEST(CliTargetEncoding, DefaultsEncodeNothing) {
  ScratchDir dir;
  std::vector<std::string> d;
  WriteFile(dir / "d.csv", Csv(Rows(&d), d));
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "d.csv", "--target", "y", "-o", "doc.pmml", "-q"})
                .status,
            0);
  const std::string defaults = WithoutTimes(ReadFile(dir / "doc.pmml"));
  EXPECT_EQ(defaults.find("TargetEncoding"), std::string::npos);
  EXPECT_EQ(defaults.find("crossFitting"), std::string::npos);
  const RunResult off = RunCli(dir.path(), {"prepare", "d.csv", "--target", "y", "-o", "doc.pmml",
                                            "--set", "targetEncodeCategories=false", "--set",
                                            "targetEncodingMinCategories=2", "--set",
                                            "targetEncodingSmoothing=3"});
  ASSERT_EQ(off.status, 0) << off.err;
  EXPECT_TRUE(WithoutTimes(ReadFile(dir / "doc.pmml")) == defaults);
  EXPECT_TRUE(Contains(off.err, "settings key \"targetEncodingSmoothing\" has no effect without "
                                "\"targetEncodeCategories\" set to true"));
}

}  // namespace
}  // namespace clitest
