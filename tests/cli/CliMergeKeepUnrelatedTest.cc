// "supervisedMergingKeepUnrelated" through the command line: a speaker who
// says every vowel alike would merge into one category and be screened out;
// with the key the speaker stays as it is, while a field that merges into
// two groups merges as before. The key from --set and from a settings file,
// the replay of the prepared data, one thread or two over more than a
// block, and the defaults' document left as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/CliHarness.h"
#include "support/SchemaCheck.h"

namespace clitest {
namespace {

// `repeats` rounds of 15 speakers saying the 11 vowels; mic is 0 for the
// first vowel and 1 or 2 by the speaker's parity otherwise, f a formant
// that follows the vowel. Selection is off: it would drop the speaker
// before merging sees it.
std::string Table(int repeats) {
  std::string csv = "speaker,mic,f,vowel\n";
  for (int r = 0; r < repeats; ++r) {
    for (int speaker = 0; speaker < 15; ++speaker) {
      for (int vowel = 0; vowel < 11; ++vowel) {
        csv += "s" + std::to_string(speaker) + "," +
               std::to_string(vowel == 0 ? 0 : 1 + speaker % 2) + "," +
               std::to_string(vowel * 100 + speaker * 3 + r % 7) + "," +
               std::string(1, static_cast<char>('a' + vowel)) + "\n";
      }
    }
  }
  return csv;
}

std::vector<std::string> Prepare(std::vector<std::string> extra) {
  std::vector<std::string> args = {"prepare", "d.csv", "--target", "vowel", "--target-level",
                                   "nominal", "--schema", "s.json", "-o", "doc.pmml",
                                   "--set", "featureSelection=false"};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

void WriteInputs(const ScratchDir& dir, int repeats) {
  WriteFile(dir / "d.csv", Table(repeats));
  WriteFile(dir / "s.json", "{\"fields\": {\"mic\": {\"level\": \"nominal\"}}}");
}

TEST(CliMergeKeepUnrelated, TheSpeakerStaysAndTheReplayAgrees) {
  ScratchDir dir;
  WriteInputs(dir, 3);
  const RunResult merged = RunCli(dir.path(), Prepare({}));
  ASSERT_EQ(merged.status, 0) << merged.err;
  EXPECT_TRUE(Contains(merged.err, "speaker, 15 categories into 1")) << merged.err;
  EXPECT_TRUE(Contains(merged.err, "mic, 3 categories into 2")) << merged.err;

  const RunResult kept = RunCli(
      dir.path(), Prepare({"--set", "supervisedMergingKeepUnrelated=true", "--data-out", "p.csv"}));
  ASSERT_EQ(kept.status, 0) << kept.err;
  EXPECT_FALSE(Contains(kept.err, "speaker,")) << kept.err;
  EXPECT_TRUE(Contains(kept.err, "mic, 3 categories into 2")) << kept.err;
  const std::string document = ReadFile(dir / "doc.pmml");
  EXPECT_TRUE(schemacheck::IsSchemaValid(document));
  const Document doc(document);
  EXPECT_EQ(doc.Eval("count(//p:VariableSummary/p:FieldRef[@field='speaker'])"), "1");

  const auto input = ReadCsv(ReadFile(dir / "d.csv"));
  const auto prepared = ReadCsv(ReadFile(dir / "p.csv"));
  ASSERT_EQ(prepared.size(), input.size());
  const std::size_t from = Column(input[0], "speaker");
  const std::size_t to = Column(prepared[0], "speaker");
  for (std::size_t r = 1; r < input.size(); ++r) EXPECT_EQ(prepared[r][to], input[r][from]);
  const RunResult applied = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "-o", "a.csv"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  EXPECT_EQ(ReadFile(dir / "a.csv"), ReadFile(dir / "p.csv"));
}

TEST(CliMergeKeepUnrelated, SettingsFileOrSetAndTheDefaultsDocument) {
  ScratchDir dir;
  WriteInputs(dir, 3);
  ASSERT_EQ(RunCli(dir.path(), Prepare({"-q"})).status, 0);
  const std::string defaults = WithoutTimes(ReadFile(dir / "doc.pmml"));
  ASSERT_EQ(RunCli(dir.path(), Prepare({"-q", "--set", "supervisedMergingKeepUnrelated=false"}))
                .status,
            0);
  EXPECT_TRUE(WithoutTimes(ReadFile(dir / "doc.pmml")) == defaults);

  WriteFile(dir / "k.json", "// keeps the speaker\n{\"supervisedMergingKeepUnrelated\": true}\n");
  ASSERT_EQ(RunCli(dir.path(), Prepare({"-q", "--settings", "k.json"})).status, 0);
  const std::string fromFile = WithoutTimes(ReadFile(dir / "doc.pmml"));
  ASSERT_EQ(
      RunCli(dir.path(), Prepare({"-q", "--set", "supervisedMergingKeepUnrelated=true"})).status,
      0);
  EXPECT_TRUE(WithoutTimes(ReadFile(dir / "doc.pmml")) == fromFile);
  EXPECT_FALSE(fromFile == defaults);
}

// 70,950 rows: past one block of 65,536.
TEST(CliMergeKeepUnrelated, OneThreadOrTwoOverMoreThanABlockGiveOneDocument) {
  ScratchDir dir;
  WriteInputs(dir, 430);
  std::string documents[2];
  for (int threads = 1; threads <= 2; ++threads) {
    const RunResult run =
        RunCli(dir.path(), Prepare({"-q", "--threads", std::to_string(threads), "--set",
                                    "supervisedMergingKeepUnrelated=true"}));
    ASSERT_EQ(run.status, 0) << run.err;
    documents[threads - 1] = WithoutTimes(ReadFile(dir / "doc.pmml"));
  }
  EXPECT_TRUE(documents[0] == documents[1]);
  const Document doc(documents[0]);
  EXPECT_EQ(doc.Eval("count(//p:VariableSummary/p:FieldRef[@field='speaker'])"), "1");
  EXPECT_EQ(doc.Eval("count(//p:DerivedField[starts-with(@name, 'speaker_')])"), "0");
}

}  // namespace
}  // namespace clitest
