// Names reach standard error from the data, the document and the component
// alike; there a bidirectional control or a terminal's escape in a name is
// written as its code, so that no name turns or colours the message around
// it. What goes to standard output and into files is left as it is.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "EscapedErrors.h"
#include "support/CliHarness.h"

namespace clitest {
namespace {

const std::string kOverride = "\u202E";  // RIGHT-TO-LEFT OVERRIDE
const std::string kIsolate = "\u2067";   // RIGHT-TO-LEFT ISOLATE

TEST(CliMessageText, ControlCharactersInNamesAreWrittenAsCodesOnStandardError) {
  ScratchDir dir;
  // "flat" is constant and so excluded, which the summary says by name.
  const std::string flat = "flat" + kOverride + "txt.exe";
  // The data may not hold C0 controls (XML cannot carry them), C1 ones it may.
  const std::string red = "red" + kIsolate + "\xc2\x9b" + "x";
  std::string csv = "x," + flat + ",\"" + red + "\"\n";
  for (int i = 0; i < 60; ++i) csv += std::to_string(i % 7) + ",1," + std::to_string(i % 5) + "\n";
  WriteFile(dir / "d.csv", csv);

  const RunResult prepared = RunCli(dir.path(), {"prepare", "d.csv", "-o", "doc.pmml"});
  ASSERT_EQ(prepared.status, 0) << prepared.err;
  EXPECT_TRUE(Contains(prepared.err, "flat\\u202Etxt.exe"));
  EXPECT_EQ(prepared.err.find(kOverride), std::string::npos);
  // The document keeps the names as they are.
  EXPECT_TRUE(Contains(ReadFile(dir / "doc.pmml"), "name=\"" + flat + "\""));

  // A name typed on the command line: a terminal's escape is a code too.
  const RunResult target =
      RunCli(dir.path(), {"prepare", "d.csv", "--target", "y" + kOverride + "\x1b[31mz\x7f"});
  EXPECT_EQ(target.status, 2);
  EXPECT_EQ(target.err,
            "error: the target 'y\\u202E\\u001B[31mz\\u007F' is not a field of the data\n");

  // A document field the data lacks is named in the error; C1 controls and
  // isolates are written as codes too, line breaks are not.
  WriteFile(dir / "other.csv", "x," + flat + "\n1,1\n");
  const RunResult apply = RunCli(dir.path(), {"apply", "doc.pmml", "other.csv"});
  EXPECT_EQ(apply.status, 2);
  EXPECT_TRUE(Contains(apply.err, "red\\u2067\\u009Bx"));
  EXPECT_EQ(apply.err.find(kIsolate), std::string::npos);
  EXPECT_EQ(apply.err.back(), '\n');

  // Standard output carries the names untouched.
  const RunResult replayed = RunCli(dir.path(), {"apply", "doc.pmml", "d.csv", "-q"});
  ASSERT_EQ(replayed.status, 0) << replayed.err;
  EXPECT_TRUE(Contains(replayed.out.substr(0, replayed.out.find('\n')), red));
}

TEST(CliMessageText, CharactersSplitBetweenWritesAreEscapedWhole) {
  std::ostringstream seen;
  std::streambuf* const original = std::cerr.rdbuf(seen.rdbuf());
  {
    const zelcli::EscapedErrors escaped;
    // An override and an Arabic letter mark cut between two writes; a euro
    // sign, an e with acute and a left-to-right mark's neighbours pass;
    // the last write ends inside an override, which is passed on as it is.
    std::cerr << "a\xe2" << "\x80" << "\xae" << "b\xd8" << "\x9c" << "\u20ac\u00e9\u200e\t\r\n";
    std::cerr << std::string("\0", 1) << "\xe2\x80";
  }
  std::cerr.rdbuf(original);
  EXPECT_EQ(seen.str(), "a\\u202Eb\\u061C\u20ac\u00e9\\u200E\t\r\n\\u0000\xe2\x80");
}

}  // namespace
}  // namespace clitest
