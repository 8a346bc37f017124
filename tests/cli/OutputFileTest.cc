// An output file is written beside its target and renamed into place only
// when committed: until then the target keeps its old bytes, and every way
// out without a commit (destruction, a stop found while finishing, a failed
// write, a second stop signal's cleanup) leaves no temporary file behind.
#include <gtest/gtest.h>

#include <unistd.h>

#include "OutputFile.h"
#include "support/CliHarness.h"

namespace zelcli {
namespace {

using clitest::DirectoryEntries;
using clitest::ReadFile;
using clitest::ScratchDir;
using clitest::WriteFile;

class Flag : public TorCommon_1_3::IInterruptCheck {
 public:
  bool IsInterrupted() override { return raised; }
  bool raised = false;
};

TEST(OutputFile, CommitRenamesIntoPlaceAndEveryOtherWayOutCleansUp) {
  ScratchDir dir;
  const std::string target = dir / "out.txt";
  WriteFile(target, "old");
  std::string error;
  {
    OutputFile output;
    ASSERT_TRUE(output.Prepare(target, &error)) << error;
    ASSERT_TRUE(output.Open(nullptr, &error)) << error;
    ASSERT_TRUE(output.Write("new"));
    ASSERT_EQ(output.Finish(&error), OutputFile::Result::kWritten) << error;
    // Finished but not committed: the old file stands, the new one waits.
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(DirectoryEntries(dir.path()).size(), 2u);
    ASSERT_EQ(output.Commit(&error), OutputFile::Result::kWritten) << error;
  }
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});

  {  // Dropped without a commit.
    OutputFile output;
    ASSERT_TRUE(output.Prepare(target, &error));
    ASSERT_TRUE(output.Open(nullptr, &error));
    output.Write("lost");
  }
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});

  {  // A stop found while finishing.
    Flag stop;
    OutputFile output;
    ASSERT_TRUE(output.Prepare(target, &error));
    ASSERT_TRUE(output.Open(&stop, &error));
    output.Write("stopped");
    stop.raised = true;
    EXPECT_EQ(output.Commit(&error), OutputFile::Result::kInterrupted);
  }
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});

  {  // The cleanup a second stop signal runs, with two outputs pending.
    OutputFile first, second;
    ASSERT_TRUE(first.Prepare(dir / "a.txt", &error) && first.Open(nullptr, &error));
    ASSERT_TRUE(second.Prepare(target, &error) && second.Open(nullptr, &error));
    EXPECT_EQ(DirectoryEntries(dir.path()).size(), 3u);
    RemovePendingTemporaries();
    EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});
  }
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(OutputFile, AFailedWriteIsReported) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no writable /dev/full on this machine";
  // A device is written directly; a full one fails the write.
  std::string error;
  OutputFile full;
  ASSERT_TRUE(full.Prepare("/dev/full", &error)) << error;
  ASSERT_TRUE(full.Open(nullptr, &error)) << error;
  full.Write(std::string(1 << 16, 'x'));
  EXPECT_EQ(full.Commit(&error), OutputFile::Result::kFailed);
  EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
}

TEST(OutputFile, UnwritableTargetsAndInputsAreRefusedBeforeWriting) {
  std::string error;
  ScratchDir dir;
  OutputFile output;
  EXPECT_FALSE(output.Prepare(dir.path(), &error));  // a directory
  EXPECT_FALSE(output.Prepare(dir / "missing/out.txt", &error));
  WriteFile(dir / "data.csv", "x\n1\n");
  ASSERT_EQ(link((dir / "data.csv").c_str(), (dir / "alias.csv").c_str()), 0);
  ASSERT_TRUE(output.Prepare(dir / "alias.csv", &error)) << error;
  EXPECT_FALSE(output.CheckNotInput(dir / "data.csv", "data", &error));
  EXPECT_EQ(ReadFile(dir / "data.csv"), "x\n1\n");
}

}  // namespace
}  // namespace zelcli
