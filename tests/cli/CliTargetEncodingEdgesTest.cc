// Target means at their edges, through the command line: numbers declared
// nominal (keys written so that each value reads back as itself, however it
// was spelled), a 0/1 target declared nominal with missing targets,
// categories that only dropped rows hold, all-missing and constant inputs,
// values never seen in training replayed as the prior, and the raised
// category count reaching only the inputs the step may encode. Every mean is
// computed here from the generated rows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/CliHarness.h"
#include "support/SchemaCheck.h"
#include "support/TargetMeans.h"

namespace clitest {
namespace {

using Obs = targetmeans::Row;
using Means = targetmeans::Means;

double Number(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// A number's identity as the data reader sees it: its double, with -0 as 0.
std::string NumberKey(const std::string& text) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", Number(text) + 0.0);
  return buffer;
}

// The rows of the target-mean table of `input`: each input text with its output.
std::vector<std::pair<std::string, double>> Table(const Document& doc, const std::string& input) {
  const std::string rows = "//p:MapValues[p:Extension/@name='crossFitting' and "
                           "p:FieldColumnPair/@field='" + input + "']/p:InlineTable/p:row";
  std::vector<std::pair<std::string, double>> table;
  const int n = std::atoi(doc.Eval("count(" + rows + ")").c_str());
  for (int i = 1; i <= n; ++i) {
    const std::string row = rows + "[" + std::to_string(i) + "]";
    table.emplace_back(doc.Eval("string(" + row + "/p:input)"),
                       Number(doc.Eval("string(" + row + "/p:output)")));
  }
  return table;
}

double Prior(const Document& doc, const std::string& input) {
  return Number(doc.Eval("string(//p:MapValues[p:FieldColumnPair/@field='" + input +
                         "']/@defaultValue)"));
}

std::string Encoded(const Document& doc, const std::string& input) {
  return doc.Eval("count(//p:DerivedField[.//p:Action[@reasonKey='EncodeTargetMean'] and "
                  "p:MapValues/p:FieldColumnPair/@field='" + input + "'])");
}

void ExpectClose(double got, double expected, const std::string& what) {
  EXPECT_NEAR(got, expected, 1e-12 + 1e-9 * std::fabs(expected)) << what;
}

// Each training row of the prepared file `path` against the smoothed mean
// of its category over the other folds (row number modulo 5).
void ExpectCrossFitted(const std::vector<Obs>& rows, const std::string& path,
                       const std::string& field) {
  const auto prepared = ReadCsv(ReadFile(path));
  ASSERT_EQ(prepared.size(), rows.size() + 1);
  const std::size_t column = Column(prepared[0], field);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Means own = targetmeans::Smoothed(rows, 10.0, static_cast<int>(r % 5));
    const auto found = own.byCategory.find(rows[r].category);
    ExpectClose(Number(prepared[r + 1][column]),
                found != own.byCategory.end() ? found->second : own.prior, "row " + std::to_string(r));
  }
}

const std::vector<std::string> kOn = {
    "--set", "targetEncodeCategories=true",  "--set", "replaceNominalFeaturesMissingValue=false",
    "--set", "featureSelection=false",       "--set", "supervisedMerging=false",
    "--set", "scaleFeatureRescalingMethod=none", "--set", "supervisedBinning=false", "-q"};

RunResult Prepare(const ScratchDir& dir, std::vector<std::string> args) {
  args.insert(args.begin(), {"prepare", "d.csv", "-o", "doc.pmml"});
  args.insert(args.end(), kOn.begin(), kOn.end());
  return RunCli(dir.path(), args);
}

// Numbers as categories: "1" and "1.0", "-0" and "0", "1e3" and "1000" are
// one category each; 0.3 and 0.30000000000000004, which agree to 15 digits,
// are two, and each must read back as itself.
TEST(CliTargetEncodingEdges, NumbersDeclaredNominalAreKeyedAsReadAndReplayed) {
  const std::vector<std::string> spellings = {
      "1", "1.0", "-0", "0", "1e3", "1000.0", "0.3", "0.30000000000000004", "0.1",
      "0.10000000000000002", "-7", "2.5", "123456789012345678", "", "4"};
  ScratchDir dir;
  std::string csv = "n,y,w\n";
  std::vector<Obs> rows;
  for (int i = 0; i < 600; ++i) {
    const std::string& n = spellings[(i * 7) % spellings.size()];
    const double y = (i * 13) % 31 + 0.25 * static_cast<double>((i * 7) % spellings.size());
    const bool yMissing = i % 23 == 4;
    const int w = 1 + i % 3;
    csv += n + "," + (yMissing ? std::string() : std::to_string(y)) + "," + std::to_string(w) +
           "\n";
    rows.push_back({n.empty() ? std::string() : NumberKey(n), std::stod(std::to_string(y)),
                    yMissing, static_cast<double>(w)});
  }
  WriteFile(dir / "d.csv", csv);
  WriteFile(dir / "s.json", R"({"fields": {"n": {"level": "nominal"}}})");
  const RunResult run = Prepare(dir, {"--target", "y", "--frequency-weight", "w", "--schema",
                                      "s.json", "--set", "targetEncodingMinCategories=2",
                                      "--data-out", "p.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string text = ReadFile(dir / "doc.pmml");
  EXPECT_TRUE(schemacheck::IsSchemaValid(text));
  const Document doc(text);
  const Means means = targetmeans::Smoothed(rows, 10.0);
  ASSERT_EQ(means.byCategory.size(), 11u);
  const auto table = Table(doc, "n");
  std::set<std::string> keys;
  for (const auto& row : table) {
    const std::string key = NumberKey(row.first);
    EXPECT_TRUE(keys.insert(key).second) << "two rows read as " << row.first;
    ASSERT_EQ(means.byCategory.count(key), 1u) << row.first;
    ExpectClose(row.second, means.byCategory.at(key), row.first);
  }
  EXPECT_EQ(keys.size(), means.byCategory.size());
  ExpectClose(Prior(doc, "n"), means.prior, "prior");

  // New data, spelled otherwise, with a value never seen and a missing one.
  const std::vector<std::string> fresh = {"1.00", "1E3", "-0.0", "0.30000000000000004", "0.3",
                                          "0.10000000000000002", "42", "", "+4"};
  std::string replay = "n\n";
  for (const std::string& n : fresh) replay += n + "\n";
  WriteFile(dir / "new.csv", replay);
  const RunResult applied = RunCli(dir.path(), {"apply", "doc.pmml", "new.csv", "-o", "a.csv"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  const auto out = ReadCsv(ReadFile(dir / "a.csv"));
  const std::size_t column = Column(out[0], "n_targetMean");
  for (std::size_t r = 0; r < fresh.size(); ++r) {
    const auto found = fresh[r].empty() ? means.byCategory.end() : means.byCategory.find(NumberKey(fresh[r]));
    const double expected = found != means.byCategory.end() ? found->second : means.prior;
    ExpectClose(Number(out[r + 1][column]), expected, "'" + fresh[r] + "'");
  }

  ExpectCrossFitted(rows, dir / "p.csv", "n_targetMean");
}

// A 0/1 target declared nominal: the means are of the indicator of "1";
// rows without a target count for neither; a category whose every target is
// missing keeps the prior, and one never seen replays as the prior.
TEST(CliTargetEncodingEdges, NumericBinaryTargetWithMissingTargets) {
  ScratchDir dir;
  std::string csv = "c,b,w\n";
  std::vector<Obs> rows;
  for (int i = 0; i < 500; ++i) {
    char c[8];
    std::snprintf(c, sizeof c, "c%02d", i % 22);
    const bool missing = i % 22 == 5 || i % 9 == 2;
    const int b = ((i * 5) % 7 + i % 22) % 3 == 0 ? 1 : 0;
    const int w = i % 4 == 0 ? 3 : 1;
    csv += std::string(c) + "," + (missing ? std::string() : std::to_string(b)) + "," +
           std::to_string(w) + "\n";
    rows.push_back({c, static_cast<double>(b), missing, static_cast<double>(w)});
  }
  WriteFile(dir / "d.csv", csv);
  const RunResult run = Prepare(dir, {"--target", "b", "--target-level", "nominal",
                                      "--frequency-weight", "w", "--data-out", "p.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Document doc(ReadFile(dir / "doc.pmml"));
  EXPECT_EQ(Encoded(doc, "c"), "1");
  EXPECT_EQ(doc.Eval("string(//p:CrossFitting/@targetCategory)"), "1");
  const Means means = targetmeans::Smoothed(rows, 10.0);
  ExpectClose(Prior(doc, "c"), means.prior, "prior");
  const auto table = Table(doc, "c");
  ASSERT_EQ(table.size(), 22u);
  for (const auto& row : table) {
    const auto found = means.byCategory.find(row.first);
    // c05 has no target on any row: (0 + m prior) / (0 + m).
    ExpectClose(row.second, found != means.byCategory.end() ? found->second : means.prior, row.first);
  }
  WriteFile(dir / "new.csv", "c,w\nc07,1\nzz,1\n,1\n");
  ASSERT_EQ(RunCli(dir.path(), {"apply", "doc.pmml", "new.csv", "-o", "a.csv"}).status, 0);
  const auto out = ReadCsv(ReadFile(dir / "a.csv"));
  const std::size_t column = Column(out[0], "c_targetMean");
  ExpectClose(Number(out[1][column]), means.byCategory.at("c07"), "c07");
  ExpectClose(Number(out[2][column]), means.prior, "unseen");
  ExpectClose(Number(out[3][column]), means.prior, "missing");
  ExpectCrossFitted(rows, dir / "p.csv", "c_targetMean");
}

// c has 20 categories in the file, but c18 only on rows of frequency weight
// 0 and c19 only on rows of analysis weight 0: the build drops those rows,
// so c has 18. An input with no value and a constant one are never encoded.
TEST(CliTargetEncodingEdges, DroppedRowsAllMissingAndConstantInputs) {
  ScratchDir dir;
  std::string csv = "a,k,c,y,f,g\n";
  std::vector<Obs> rows;
  for (int i = 0; i < 400; ++i) {
    char c[8];
    std::snprintf(c, sizeof c, "c%02d", i % 20);
    const int f = i % 20 == 18 ? 0 : 1 + i % 2;
    const double g = i % 20 == 19 ? 0.0 : 0.5 + (i % 3) * 0.25;
    const double y = (i * 11) % 17 + (i % 20) * 0.5;
    csv += ",same," + std::string(c) + "," + std::to_string(y) + "," + std::to_string(f) + "," +
           std::to_string(g) + "\n";
    rows.push_back({c, std::stod(std::to_string(y)), false, f * std::stod(std::to_string(g))});
  }
  WriteFile(dir / "d.csv", csv);
  const std::vector<std::string> roles = {
      "--target", "y", "--frequency-weight", "f", "--analysis-weight", "g", "--set",
      "excludeFeatureIfHasHigherPercentageOfMissingValue=false"};
  auto with = [&roles](std::vector<std::string> more) {
    more.insert(more.begin(), roles.begin(), roles.end());
    return more;
  };
  ASSERT_EQ(Prepare(dir, with({"--set", "targetEncodingMinCategories=19"})).status, 0);
  EXPECT_EQ(Encoded(Document(ReadFile(dir / "doc.pmml")), "c"), "0");

  const RunResult run = Prepare(dir, with({"--set", "targetEncodingMinCategories=18"}));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string text = ReadFile(dir / "doc.pmml");
  EXPECT_TRUE(schemacheck::IsSchemaValid(text));
  const Document doc(text);
  EXPECT_EQ(Encoded(doc, "c"), "1");
  EXPECT_EQ(Encoded(doc, "a"), "0");
  EXPECT_EQ(Encoded(doc, "k"), "0");
  const Means means = targetmeans::Smoothed(rows, 10.0);
  ASSERT_EQ(means.byCategory.size(), 18u);
  const auto table = Table(doc, "c");
  ASSERT_EQ(table.size(), 18u);
  for (const auto& row : table) {
    ASSERT_EQ(means.byCategory.count(row.first), 1u) << row.first;
    ExpectClose(row.second, means.byCategory.at(row.first), row.first);
  }
  ExpectClose(Prior(doc, "c"), means.prior, "prior");
  // The dropped rows' categories replay as the prior.
  WriteFile(dir / "new.csv", "a,k,c\n,same,c18\n,same,c19\n,same,c03\n");
  ASSERT_EQ(RunCli(dir.path(), {"apply", "doc.pmml", "new.csv", "-o", "a.csv"}).status, 0);
  const auto out = ReadCsv(ReadFile(dir / "a.csv"));
  const std::size_t column = Column(out[0], "c_targetMean");
  ExpectClose(Number(out[1][column]), means.prior, "c18");
  ExpectClose(Number(out[2][column]), means.prior, "c19");
  ExpectClose(Number(out[3][column]), means.byCategory.at("c03"), "c03");

  // With the smallest minimum, neither the empty nor the constant input.
  const RunResult small = Prepare(dir, with({"--set", "targetEncodingMinCategories=2"}));
  ASSERT_EQ(small.status, 0) << small.err;
  const Document smallest(ReadFile(dir / "doc.pmml"));
  EXPECT_EQ(Encoded(smallest, "a"), "0");
  EXPECT_EQ(Encoded(smallest, "k"), "0");
  EXPECT_EQ(Encoded(smallest, "c"), "1");
}

// An input derived from another (the hour of a time of day) and a target
// with a user-missing value: the training rows' fold means read the time,
// compute its hour and leave out the rows whose target is 999, as the
// document's whole-data means do.
TEST(CliTargetEncodingEdges, DerivedInputAndUserMissingTargetAcrossFolds) {
  ScratchDir dir;
  std::string csv = "t,z,y\n";
  std::vector<Obs> rows;
  for (int i = 0; i < 400; ++i) {
    const int hour = (i * 7) % 24;
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:00", hour, (i * 13) % 60);
    const bool noTime = i % 31 == 3;
    const bool userMissing = i % 17 == 4;
    const double y = (i * 11) % 13 + hour * 0.5;
    csv += (noTime ? std::string() : time) + "," + std::to_string(i % 5) + "," +
           (userMissing ? std::string("999") : std::to_string(y)) + "\n";
    rows.push_back({noTime ? std::string() : std::to_string(hour), std::stod(std::to_string(y)),
                    userMissing, 1.0});
  }
  WriteFile(dir / "d.csv", csv);
  WriteFile(dir / "s.json", R"({"fields": {"y": {"missingValues": [999]}}})");
  const RunResult run = Prepare(
      dir, {"--target", "y", "--schema", "s.json", "--set", "extractHourCategoryFromTime=true",
            "--set", "featureConstruction=false", "--data-out", "p.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Document doc(ReadFile(dir / "doc.pmml"));
  EXPECT_EQ(Encoded(doc, "t_HourCategory"), "1");
  const Means means = targetmeans::Smoothed(rows, 10.0);
  for (const auto& row : Table(doc, "t_HourCategory")) {
    ExpectClose(row.second, means.byCategory.at(row.first), row.first);
  }
  ExpectCrossFitted(rows, dir / "p.csv", "t_targetMean");
}

// The document without the step's own summary line.
std::string WithoutStepLine(const std::string& pmml) {
  std::string text = WithoutTimes(pmml);
  const std::string line = "<StepSummary  stepKey=\"TargetEncoding\"/>";
  const std::size_t at = text.find(line);
  if (at == std::string::npos) return text;
  const std::size_t start = text.rfind('\n', at) + 1;
  text.erase(start, at + line.size() + 1 - start);
  return text;
}

// 500 categories of 6 rows each: an ordinal text input (coded in the
// schema's order) is what it is with the step off; a nominal one, whose
// target is the same on each of its category's rows, is encoded.
TEST(CliTargetEncodingEdges, ManyCategoriesOrdinalAsWithoutTheStepNominalEncoded) {
  ScratchDir dir;
  std::string csv = "o,n,x,y\n";
  std::string schema = R"({"fields": {"o": {"level": "ordinal", "categories": [)";
  for (int c = 0; c < 500; ++c) schema += (c ? ",\"o" : "\"o") + std::to_string(c) + "\"";
  schema += "]}}}";
  std::vector<Obs> rows;
  for (int i = 0; i < 3000; ++i) {
    const int y = (i * 7) % 500 % 17 + i % 5;
    const std::string n = "m" + std::to_string((i * 11) % 500);
    csv += "o" + std::to_string((i * 7) % 500) + "," + n + "," + std::to_string(i % 13) + "," +
           std::to_string(y) + "\n";
    rows.push_back({n, static_cast<double>(y), false, 1.0});
  }
  WriteFile(dir / "d.csv", csv);
  WriteFile(dir / "s.json", schema);
  std::string documents[2];
  for (int on = 0; on < 2; ++on) {
    const RunResult run = RunCli(
        dir.path(), {"prepare", "d.csv", "--target", "y", "--schema", "s.json", "-o", "doc.pmml",
                     "-q", "--set", std::string("targetEncodeCategories=") + (on ? "true" : "false")});
    ASSERT_EQ(run.status, 0) << run.err;
    documents[on] = ReadFile(dir / "doc.pmml");
  }
  const Document off(documents[0]);
  const Document on(documents[1]);
  EXPECT_EQ(Encoded(off, "n"), "0");
  EXPECT_EQ(on.Eval("string(//p:DataField[@name='n']//p:Action/@reasonKey)"), "");
  EXPECT_EQ(Encoded(on, "n"), "1");
  EXPECT_EQ(Encoded(on, "o"), "0");
  EXPECT_TRUE(schemacheck::IsSchemaValid(documents[1]));
  const Means means = targetmeans::Smoothed(rows, 10.0);
  const auto table = Table(on, "n");
  ASSERT_EQ(table.size(), 500u);
  for (const auto& row : table) ExpectClose(row.second, means.byCategory.at(row.first), row.first);
  // The ordinal input alone: the same document either way, the step's line aside.
  std::string ordinal = "o,x,y\n";
  const auto cells = ReadCsv(csv);
  for (std::size_t r = 1; r < cells.size(); ++r) {
    ordinal += cells[r][0] + "," + cells[r][2] + "," + cells[r][3] + "\n";
  }
  WriteFile(dir / "d.csv", ordinal);
  for (int k = 0; k < 2; ++k) {
    const RunResult run = RunCli(
        dir.path(), {"prepare", "d.csv", "--target", "y", "--schema", "s.json", "-o", "doc.pmml",
                     "-q", "--set", std::string("targetEncodeCategories=") + (k ? "true" : "false")});
    ASSERT_EQ(run.status, 0) << run.err;
    documents[k] = WithoutStepLine(ReadFile(dir / "doc.pmml"));
  }
  EXPECT_TRUE(documents[0] == documents[1]);
}

}  // namespace
}  // namespace clitest
