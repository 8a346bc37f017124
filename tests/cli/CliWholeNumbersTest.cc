// Whole numbers written as decimals (pandas writes a whole-number column
// that has a missing value as 181.0): a field or column of whole numbers
// reads such a cell as the number it denotes, in `apply`, in `inverse` and
// in the loader of a column the schema declares whole (in memory, streamed,
// on threads), over more than one block of rows and several chunks; a cell
// that is not whole stays unreadable. Inference still takes 181 and 181.0
// together as reals.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/CliHarness.h"

namespace clitest {
namespace {

constexpr int kRows = 70000;  // past one block of 65,536

// The ways a whole number may be written, in turn: plainly, then as a
// decimal with a point, with a sign, with an exponent.
std::string Written(int64_t value, int form) {
  const std::string digits = std::to_string(value < 0 ? -value : value);
  const std::string sign = value < 0 ? "-" : "";
  switch (form % 6) {
    case 0:
      return std::to_string(value);
    case 1:
      return std::to_string(value) + ".0";
    case 2:
      return (value < 0 ? "" : "+") + std::to_string(value) + ".000";
    case 3:
      return std::to_string(value) + "00e-2";
    case 4:  // 181 as 1.81e2
      return digits.size() == 1 ? sign + digits + "e0"
                                : sign + digits.substr(0, 1) + "." + digits.substr(1) + "e" +
                                      std::to_string(digits.size() - 1);
    default:
      return sign + "0." + digits + "E" + std::to_string(digits.size());
  }
}

// n (whole, some missing), big (whole beyond 2^53), x (real), y (a whole
// target); `decimals` writes n, big and y in the forms above.
std::string Table(bool decimals) {
  std::string csv = "n,big,x,y\n";
  for (int i = 0; i < kRows; ++i) {
    const int64_t n = (i * 37) % 5000 - 1000;
    const int64_t big = INT64_MAX - (i % 1000) * 1000003;
    const int64_t y = 10 + i % 50 + i % 7;
    csv += (i % 97 == 0 ? "" : Written(n, decimals ? i : 0)) + "," +
           (decimals && i % 2 ? std::to_string(big) + ".0" : std::to_string(big)) + "," +
           std::to_string(i % 101) + ".25," + Written(y, decimals ? i + 1 : 0) + "\n";
  }
  return csv;
}

// Empty when the texts are equal, else their first differing lines: a
// line-by-line diff of texts this long would take longer than the runs.
std::string FirstDifference(const std::string& got, const std::string& expected) {
  if (got == expected) return std::string();
  std::size_t at = 0;
  while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
  const std::size_t line = got.rfind('\n', at) == std::string::npos ? 0 : got.rfind('\n', at) + 1;
  return "from byte " + std::to_string(line) + ": '" + got.substr(line, 80) + "' where '" +
         expected.substr(line, 80) + "' was expected";
}

class CliWholeNumbers : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "plain.csv", Table(false));
    WriteFile(dir_ / "decimals.csv", Table(true));
    WriteFile(dir_ / "whole.json",
              R"({"fields": {"n": {"storage": "integer"}, "big": {"storage": "integer"},
                             "y": {"storage": "integer"}}})");
    const RunResult run = RunCli(dir_.path(), {"prepare", "plain.csv", "-o", "doc.pmml", "-q"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Document doc(ReadFile(dir_ / "doc.pmml"));
    for (const char* field : {"n", "big", "y"}) {
      ASSERT_EQ(doc.Field(field, "@dataType"), "integer") << field;
    }
  }

  ScratchDir dir_;
};

TEST_F(CliWholeNumbers, ApplyReadsWholeDecimalsAsTheirNumbers) {
  const RunResult plain = RunCli(dir_.path(), {"apply", "doc.pmml", "plain.csv"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  const RunResult decimals = RunCli(dir_.path(), {"apply", "doc.pmml", "decimals.csv"});
  ASSERT_EQ(decimals.status, 0) << decimals.err;
  EXPECT_EQ(decimals.err, "");
  EXPECT_EQ(FirstDifference(decimals.out, plain.out), "");
}

TEST(CliWholeNumbersInverse, AWholePredictionWrittenAsADecimalInverts) {
  // An inverse that reads a whole-number field: twice the prediction.
  ScratchDir dir;
  WriteFile(dir / "doc.pmml", R"(<PMML version="4.0" xmlns="http://www.dmg.org/PMML-4_0">
<DataDictionary><DataField name="k" optype="continuous" dataType="integer"/></DataDictionary>
<TransformationDictionary/>
<Extension><Zelcraft><TargetInverse>
<DerivedField name="k_inverse" optype="continuous" dataType="double">
<Apply function="*"><FieldRef field="k"/><Constant dataType="double">2</Constant></Apply>
</DerivedField></TargetInverse></Zelcraft></Extension>
</PMML>
)");
  WriteFile(dir / "p.csv", "k\n3\n3.0\n+3\n0.3e1\n3.5\n\n-30e-1\n");
  const RunResult run = RunCli(dir.path(), {"inverse", "doc.pmml", "p.csv", "--column", "k"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "k,k_inverse\n3,6\n3.0,6\n+3,6\n0.3e1,6\n3.5,\n,\n-30e-1,-6\n");
  EXPECT_EQ(run.err,
            "warning: p.csv: line 6, column 1: '3.5' is not a whole number that fits 64 bits "
            "(field 'k'); 1 cell of this column read as missing\n");
}

TEST_F(CliWholeNumbers, NumbersThatAreNotWholeStayUnreadable) {
  const std::string header = "n,big,x,y\n";
  WriteFile(dir_ / "bad.csv", header +
                                  "181.5,1,0,12\n"
                                  "1e19,9223372036854775808.0,0,12\n"
                                  "181.0000000000000000001,-9223372036854775809,0,12\n"
                                  "0.5e1,-92233720368547758.08e2,0,12\n");
  WriteFile(dir_ / "good.csv", header + "5,-9223372036854775808,0,12\n");
  const RunResult run = RunCli(dir_.path(), {"apply", "doc.pmml", "bad.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "warning: bad.csv: line 2, column 1: '181.5' is not a whole number that fits 64 bits "
            "(field 'n'); 3 cells of this column read as missing\n"
            "warning: bad.csv: line 3, column 2: '9223372036854775808.0' is not a whole number "
            "that fits 64 bits (field 'big'); 2 cells of this column read as missing\n");
  // The last row is whole in both columns: it reads as the plain numbers do.
  const RunResult good = RunCli(dir_.path(), {"apply", "doc.pmml", "good.csv"});
  const auto rows = ReadCsv(run.out);
  const auto expected = ReadCsv(good.out);
  ASSERT_EQ(rows.size(), 5u);
  ASSERT_EQ(expected.size(), 2u);
  EXPECT_EQ(rows[4], expected[1]);
  EXPECT_NE(rows[1], expected[1]);

  const RunResult load =
      RunCli(dir_.path(), {"prepare", "bad.csv", "--schema", "whole.json", "-o", "bad.pmml"});
  EXPECT_EQ(load.status, 2);
  EXPECT_TRUE(Contains(load.err,
                       "error: bad.csv: line 2, column 1: '181.5' is not a whole number "
                       "that fits 64 bits (field 'n')"));
}

TEST_F(CliWholeNumbers, ADeclaredWholeColumnLoadsTheNumbersEveryPath) {
  // The plain file on one thread, then the decimals in memory and streamed.
  const std::vector<std::vector<std::string>> runs = {
      {"plain.csv", "--threads", "1"},
      {"decimals.csv", "--threads", "2"},
      {"decimals.csv", "--stream", "--threads", "2"}};
  std::string expected;
  for (const auto& run : runs) {
    SCOPED_TRACE(run[0] + " " + run[1] + " " + run.back());
    std::vector<std::string> args = {"prepare", "--schema", "whole.json", "-o", "out.pmml", "-q"};
    args.insert(args.end(), run.begin(), run.end());
    const RunResult prepared = RunCli(dir_.path(), args);
    ASSERT_EQ(prepared.status, 0) << prepared.err;
    const std::string pmml = WithoutTimes(ReadFile(dir_ / "out.pmml"));
    if (expected.empty()) {
      expected = pmml;
      const Document doc(pmml);
      EXPECT_EQ(doc.Range("n"), "-1000..3999");
      // 2^63 - 1 less 999 times 1000003, and 2^63 - 1 itself.
      EXPECT_EQ(doc.Range("big"), "9.22337203585577e+18..9.22337203685478e+18");
    }
    EXPECT_EQ(FirstDifference(pmml, expected), "");
  }
  // Without the schema, a column of 181 and 181.0 holds reals.
  const RunResult inferred = RunCli(dir_.path(), {"prepare", "decimals.csv", "-o", "i.pmml", "-q"});
  ASSERT_EQ(inferred.status, 0) << inferred.err;
  const Document doc(ReadFile(dir_ / "i.pmml"));
  EXPECT_EQ(doc.Field("n", "@dataType"), "double");
}

}  // namespace
}  // namespace clitest
