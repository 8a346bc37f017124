// Documents cut short, empty or nested past the limit, read by every
// reader: the replay engine, the document facts, `apply` and `report`. A
// cut-short document says where it ends, never the parser's own words.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "apply/Document.h"
#include "apply/DocumentFacts.h"
#include "support/CliHarness.h"

namespace clitest {
namespace {

// The line of the last byte that is not blank, counted independently.
long LastLine(const std::string& text) {
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return 1 + static_cast<long>(std::count(text.begin(), text.begin() + last, '\n'));
}

TEST(CliDamagedDocument, EveryCutOfARealDocumentSaysWhereItEnds) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  const std::string text = ReadFile(dir / "doc.pmml");
  const std::size_t end = text.rfind("</PMML>");
  ASSERT_NE(end, std::string::npos);
  int checked = 0;
  // Cuts up to the root's end tag: a dense sample, each byte of the head and
  // the tail, every eleventh byte between (tags and values of every length
  // are cut at each of their bytes somewhere); the facts read every other.
  for (std::size_t cut = 0; cut < end + 7; cut += (cut < 600 || cut + 300 > end) ? 1 : 11) {
    const std::string prefix = text.substr(0, cut);
    const bool blank = prefix.find_first_not_of(" \t\r\n") == std::string::npos;
    const std::string expected =
        blank ? "the document is empty"
              : "the document ends early at line " + std::to_string(LastLine(prefix));
    zelapply::CompiledDocument compiled;
    const zelstatus::Status replay = zelapply::CompileDocument(prefix, &compiled);
    ASSERT_EQ(replay.message(), expected) << "cut at " << cut << ": ..." << prefix.substr(
        cut > 60 ? cut - 60 : 0);
    if (++checked % 2 == 0) {
      zelapply::DocumentFacts facts;
      ASSERT_EQ(zelapply::ReadDocumentFacts(prefix, &facts).message(), expected) << "cut at " << cut;
    }
  }
  EXPECT_GT(checked, 1500);
  // Blanks alone, and the whole document with its tail of blanks, are no cut.
  zelapply::CompiledDocument compiled;
  EXPECT_EQ(zelapply::CompileDocument(" \n\t\n", &compiled).message(), "the document is empty");
  EXPECT_TRUE(zelapply::CompileDocument(text.substr(0, end + 7), &compiled).ok());
  // What follows the root's end is another fault, said in the parser's words.
  const std::string after = "line " + std::to_string(LastLine(text) + 1) + ": not well-formed XML";
  EXPECT_EQ(zelapply::CompileDocument(text + "<PMML", &compiled).message().substr(0, after.size()),
            after);

  // The commands name the file and refuse it as bad input.
  WriteFile(dir / "cut.pmml", text.substr(0, text.find("<TransformationDictionary") + 20));
  WriteFile(dir / "empty.pmml", "");
  const std::string cutAt = std::to_string(LastLine(ReadFile(dir / "cut.pmml")));
  const RunResult apply = RunCli(dir.path(), {"apply", "cut.pmml", "d.csv", "-q"});
  EXPECT_EQ(apply.status, 2);
  EXPECT_EQ(apply.err, "error: cut.pmml: the document ends early at line " + cutAt + "\n");
  const RunResult report = RunCli(dir.path(), {"report", "cut.pmml", "-q"});
  EXPECT_EQ(report.status, 2);
  EXPECT_EQ(report.err, "error: cut.pmml: the document ends early at line " + cutAt + "\n");
  const RunResult empty = RunCli(dir.path(), {"report", "empty.pmml", "-q"});
  EXPECT_EQ(empty.status, 2);
  EXPECT_EQ(empty.err, "error: empty.pmml: the document is empty\n");
  EXPECT_FALSE(FileExists(dir / "cut.html"));
  EXPECT_FALSE(FileExists(dir / "empty.html"));
}

TEST(CliDamagedDocument, DeepNestingIsRefusedByApplyAndReportAlike) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  // Fifty thousand sums inside one another in place of the target's
  // expression (1.6 MB), which once overflowed the report's stack.
  std::string text = ReadFile(dir / "doc.pmml");
  const std::size_t at = text.find("<TransformationDictionary>");
  ASSERT_NE(at, std::string::npos);
  std::string nested = "<DerivedField name=\"deep\" optype=\"continuous\" dataType=\"double\">";
  for (int i = 0; i < 50000; ++i) nested += "<Apply function=\"+\">";
  nested += "<FieldRef field=\"x\"/>";
  for (int i = 0; i < 50000; ++i) nested += "<Constant>1</Constant></Apply>";
  nested += "</DerivedField>";
  text.insert(at + 26, nested);
  WriteFile(dir / "deep.pmml", text);
  const std::string line = std::to_string(1 + std::count(text.begin(), text.begin() + at, '\n'));
  const std::string message = "deep.pmml: line " + line +
                              ": Apply: elements are nested more than 256 deep\n";
  for (const auto& args : {std::vector<std::string>{"report", "deep.pmml", "-q"},
                           std::vector<std::string>{"apply", "deep.pmml", "d.csv", "-q"}}) {
    const RunResult run = RunCli(dir.path(), args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_EQ(run.err, "error: " + message) << args[0];
  }
  EXPECT_FALSE(FileExists(dir / "deep.html"));
}

}  // namespace
}  // namespace clitest
