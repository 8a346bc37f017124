// `zelcraft prepare` names the fields it merged, constructed and screened out
// again, on small files and on the example data in both of its runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cli/CliHarness.h"

namespace clitest {
namespace {

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// area: north 10, south 8, and three areas of one record (a minimum of 2 at
// the default 10 %). x and y rise together. Neither area nor colour tells
// the answers apart, so merged against them each keeps one category.
TEST(CliMergeConstruct, SummaryNamesMergedConstructedAndScreenedFields) {
  ScratchDir dir;
  const char* areas[] = {"east", "west", "hill"};
  std::string csv = "area,x,y,colour,answer\n";
  for (int i = 0; i < 21; ++i) {
    const std::string area = i < 10 ? "north" : i < 18 ? "south" : areas[i - 18];
    csv += area + "," + std::to_string(i) + "," + std::to_string(2 * i + i % 3) + "," +
           (i % 4 < 2 ? "red" : "blue") + "," + (i % 2 ? "yes" : "no") + "\n";
  }
  WriteFile(dir / "small.csv", csv);
  const RunResult plain = RunCli(dir.path(), {"prepare", "small.csv", "-o", "-"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_NE(plain.err.find("merged sparse categories: area, 5 categories into 3 (area_transformed)"),
            std::string::npos)
      << plain.err;
  EXPECT_NE(plain.err.find("constructed feature1 from y, x\n"), std::string::npos) << plain.err;
  EXPECT_NE(plain.err.find("excluded for covered by a constructed feature: 2 (x, y)"),
            std::string::npos)
      << plain.err;

  const RunResult targeted = RunCli(dir.path(), {"prepare", "small.csv", "-o", "-", "--target",
                                                 "answer", "--set", "featureSelection=false"});
  ASSERT_EQ(targeted.status, 0) << targeted.err;
  EXPECT_NE(targeted.err.find("merged categories alike for the target: colour, 2 categories into 1"),
            std::string::npos)
      << targeted.err;
  EXPECT_NE(targeted.err.find("excluded for constant after merging categories: 2 (area, colour)"),
            std::string::npos)
      << targeted.err;
}

TEST(CliMergeConstruct, ExampleDataShowsMergingAndOneConstructedField) {
  ScratchDir dir;
  const std::string generate = SiblingProgram("zelcraft-example-data") + " " + dir.path();
  ASSERT_EQ(std::system(generate.c_str()), 0);
  const std::vector<std::string> common = {"prepare", "customers.csv", "--frequency-weight",
                                           "weight", "--schema", "customers.schema.json", "-o", "-"};
  std::vector<std::string> churn = common;
  churn.insert(churn.end(), {"--target", "churn", "--settings", "customers.settings.json"});
  const RunResult against = RunCli(dir.path(), churn);
  ASSERT_EQ(against.status, 0) << against.err;
  EXPECT_NE(against.err.find("merged categories alike for the target: postcode_area, 66 categories"),
            std::string::npos)
      << against.err;

  std::vector<std::string> untargeted = common;
  untargeted.insert(untargeted.end(), {"--settings", "customers.untargeted.settings.json"});
  const RunResult without = RunCli(dir.path(), untargeted);
  ASSERT_EQ(without.status, 0) << without.err;
  EXPECT_NE(without.err.find("merged sparse categories: postcode_area, 66 categories"),
            std::string::npos)
      << without.err;
  EXPECT_EQ(Count(without.err, "\nconstructed "), 1) << without.err;
  const Document doc(without.out);
  // A sum of products (a rescaled input is a sum too).
  EXPECT_EQ(doc.Eval("count(//p:DerivedField[p:Apply/@function='+']"
                     "[p:Extension/p:Action/@reasonKey='Construct'])"),
            "1");
}

}  // namespace
}  // namespace clitest
