// Running `zelcraft prepare` end to end: where the document goes and that it
// is written atomically, what is reported, and Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "support/CliHarness.h"

namespace clitest {
namespace {

TEST(CliRun, OutputGoesWhereAskedAndAtomically) {
  ScratchDir dir;
  const std::string csv = "x,t\n1,a\n2,b\n3,a\n";
  WriteFile(dir / "my.data.csv", csv);
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "my.data.csv", "-q"}).status, 0);
  EXPECT_TRUE(Document(ReadFile(dir / "my.data.pmml")).ok());

  const RunResult toStdout = RunCli(dir.path(), {"prepare", "my.data.csv", "-o", "-", "-q"});
  ASSERT_EQ(toStdout.status, 0);
  EXPECT_EQ(Document(toStdout.out).Eval("/*/@version"), "4.0");
  EXPECT_EQ(toStdout.err, "");

  // A failed run leaves an existing document as it was and no temporary file.
  WriteFile(dir / "out.pmml", "old");
  const RunResult failed =
      RunCli(dir.path(), {"prepare", "my.data.csv", "-o", "out.pmml", "--set", "targetSD=0"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(ReadFile(dir / "out.pmml"), "old");
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "my.data.csv", "-o", "out.pmml", "-q"}).status, 0);
  EXPECT_EQ(Document(ReadFile(dir / "out.pmml")).Eval("/*/@version"), "4.0");
  const std::vector<std::string> expected{"my.data.csv", "my.data.pmml", "out.pmml"};
  EXPECT_EQ(DirectoryEntries(dir.path()), expected);
}

TEST(CliRun, ReportsWarningsOnceAndASummaryUnlessQuiet) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", "x,y,t\n1,5,a\n2,3,b\n3,,a\n4,1,b\n");
  // Without a target, feature selection and supervised merging cannot run:
  // warnings that only say so, listed once on one line.
  const RunResult run = RunCli(dir.path(), {"prepare", "d.csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::size_t first = run.err.find("not applicable here: ");
  ASSERT_NE(first, std::string::npos) << run.err;
  const std::string line = run.err.substr(first, run.err.find('\n', first) - first);
  EXPECT_TRUE(Contains(line, "feature selection (no target), supervised merging (no target)"));
  EXPECT_EQ(run.err.find("not applicable", first + 1), std::string::npos);
  EXPECT_EQ(run.err.find("feature selection", first + line.size()), std::string::npos);
  EXPECT_EQ(run.err.find("warning 2101"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("read 4 records of 3 fields; 3 handed to the component\n"),
            std::string::npos);
  EXPECT_TRUE(Contains(run.err, "document written to d.pmml\n"));

  const RunResult quiet = RunCli(dir.path(), {"prepare", "d.csv", "-q"});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "");
}

TEST(CliRun, HelpVersionAndSettingsKeys) {
  ScratchDir dir;
  const RunResult version = RunCli(dir.path(), {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(std::regex_search(version.out, std::regex("^zelcraft [0-9]+\\.[0-9]+\\.[0-9]+")));
  // The help lists the settings keys with their types and defaults.
  const RunResult help = RunCli(dir.path(), {"prepare", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(std::regex_search(help.out, std::regex("outlierIdentCutoff +double +default 3")));
}

TEST(CliRun, CtrlCEndsWith130AndNoDocument) {
  ScratchDir dir;
  {
    std::ofstream csv(dir / "big.csv");
    csv << "a,b,c,d,t\n";
    for (long long i = 0; i < 400000; ++i) {
      csv << i << ',' << (i % 97) * 0.5 << ',' << (i * 7919) % 1000 << ",k" << (i % 13) << ','
          << (i % 3 == 0 ? "y" : "n") << '\n';
    }
  }
  const std::string errPath = dir / "err.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.path().c_str()) != 0) _exit(127);
    if (!freopen(errPath.c_str(), "w", stderr)) _exit(127);
    execl(ZEL_CLI_PATH, ZEL_CLI_PATH, "prepare", "big.csv", "--progress", "--target", "t",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  // The progress line appears as soon as reading starts.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (ReadFile(errPath).empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill(pid, SIGINT);
  int raw = 0;
  waitpid(pid, &raw, 0);
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 130);
  EXPECT_NE(ReadFile(errPath).find("interrupted"), std::string::npos);
  EXPECT_FALSE(FileExists(dir / "big.pmml"));
}

}  // namespace
}  // namespace clitest
