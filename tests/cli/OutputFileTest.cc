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
  {
    OutputFile output;
    ASSERT_TRUE(output.Prepare(target).ok());
    ASSERT_TRUE(output.Open(nullptr).ok());
    ASSERT_TRUE(output.Write("new"));
    const zelstatus::Status finished = output.Finish();
    ASSERT_TRUE(finished.ok()) << finished.message();
    // Finished but not committed: the old file stands, the new one waits.
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(DirectoryEntries(dir.path()).size(), 2u);
    const zelstatus::Status committed = output.Commit();
    ASSERT_TRUE(committed.ok()) << committed.message();
  }
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});

  {  // Dropped without a commit.
    OutputFile output;
    ASSERT_TRUE(output.Prepare(target).ok());
    ASSERT_TRUE(output.Open(nullptr).ok());
    output.Write("lost");
  }
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});

  {  // A stop found while finishing.
    Flag stop;
    OutputFile output;
    ASSERT_TRUE(output.Prepare(target).ok());
    ASSERT_TRUE(output.Open(&stop).ok());
    output.Write("stopped");
    stop.raised = true;
    EXPECT_EQ(output.Commit().kind(), zelstatus::Kind::kInterrupted);
  }
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});

  {  // The cleanup a second stop signal runs, with two outputs pending.
    OutputFile first, second;
    ASSERT_TRUE(first.Prepare(dir / "a.txt").ok() && first.Open(nullptr).ok());
    ASSERT_TRUE(second.Prepare(target).ok() && second.Open(nullptr).ok());
    EXPECT_EQ(DirectoryEntries(dir.path()).size(), 3u);
    RemovePendingTemporaries();
    EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});
  }
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(OutputFile, AFailedWriteIsReported) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no writable /dev/full on this machine";
  // A device is written directly; a full one fails the write.
  OutputFile full;
  ASSERT_TRUE(full.Prepare("/dev/full").ok());
  ASSERT_TRUE(full.Open(nullptr).ok());
  full.Write(std::string(1 << 16, 'x'));
  const zelstatus::Status committed = full.Commit();
  EXPECT_EQ(committed.kind(), zelstatus::Kind::kInputOutput);
  EXPECT_NE(committed.message().find("/dev/full"), std::string::npos) << committed.message();
}

TEST(OutputFile, UnwritableTargetsAndInputsAreRefusedBeforeWriting) {
  ScratchDir dir;
  OutputFile output;
  EXPECT_EQ(output.Prepare(dir.path()).kind(), zelstatus::Kind::kInputOutput);  // a directory
  EXPECT_EQ(output.Prepare(dir / "missing/out.txt").kind(), zelstatus::Kind::kInputOutput);
  WriteFile(dir / "data.csv", "x\n1\n");
  ASSERT_EQ(link((dir / "data.csv").c_str(), (dir / "alias.csv").c_str()), 0);
  ASSERT_TRUE(output.Prepare(dir / "alias.csv").ok());
  EXPECT_EQ(output.CheckNotInput(dir / "data.csv", "data").kind(), zelstatus::Kind::kInvalidInput);
  EXPECT_EQ(ReadFile(dir / "data.csv"), "x\n1\n");
}

}  // namespace
}  // namespace zelcli
