// Inputs that are not plain files and small faults of the command line: a
// streamed run refuses a FIFO at once (it must read its data on every
// pass), a FIFO is read once into memory otherwise, a stop signal ends every
// command waiting on a FIFO without a writer, an endless device of NUL
// bytes is refused at its first byte, the inverse never writes its result
// column twice, sizes and counts cannot be negative, and the progress line
// counts the passes of a streamed run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <thread>

#include "support/CliHarness.h"
#include "support/FifoWriter.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

std::string Table(int rows) {
  std::string csv = "n,x,c\n";
  for (int r = 0; r < rows; ++r) {
    csv += std::to_string(r % 50) + "," + std::to_string(r % 17) + ".25," +
           (r % 3 == 0 ? "red" : "blue") + "\n";
  }
  return csv;
}

TEST(CliInputSources, AFifoIsReadOnceAndRefusedWhereItWouldBeReadAgain) {
  ScratchDir dir;
  ASSERT_EQ(mkfifo((dir / "in.csv").c_str(), 0600), 0);
  // No writer: the refusal comes before any wait.
  const RunResult streamed = RunCli(dir.path(), {"prepare", "in.csv", "--stream"});
  EXPECT_EQ(streamed.status, 2);
  EXPECT_TRUE(Contains(streamed.err, "error: in.csv: a streamed run reads its data again for "
                                     "every pass, which a pipe, FIFO or device cannot give"));
  {
    FifoWriter writer(dir / "in.csv", Table(3000));
    const RunResult limited = RunCli(dir.path(), {"prepare", "in.csv", "--memory-limit", "1K"});
    EXPECT_EQ(limited.status, 2);
    EXPECT_TRUE(Contains(limited.err, "error: in.csv: the columns would take more than the "
                                      "memory limit of 1024 bytes"));
  }
  {
    // A column of numbers that turns text must be read again.
    std::string csv = "t,n\n";
    for (int r = 0; r < 30000; ++r) csv += (r < 29999 ? std::to_string(r) : "w") + ",1\n";
    FifoWriter writer(dir / "in.csv", csv);
    const RunResult reread = RunCli(dir.path(), {"prepare", "in.csv"});
    EXPECT_EQ(reread.status, 2);
    EXPECT_TRUE(Contains(reread.err, "error: in.csv: the column 't' holds text after values "
                                     "read as numbers and must be read again"));
  }
  EXPECT_FALSE(FileExists(dir / "in.pmml"));
  // Read once into memory, it gives the document a regular file gives.
  WriteFile(dir / "plain.csv", Table(3000));
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "plain.csv", "-q", "-o", "plain.pmml"}).status, 0);
  FifoWriter writer(dir / "in.csv", Table(3000));
  const RunResult piped = RunCli(dir.path(), {"prepare", "in.csv", "-q", "-o", "piped.pmml"});
  ASSERT_EQ(piped.status, 0) << piped.err;
  const Document plain(ReadFile(dir / "plain.pmml"));
  const Document fromFifo(ReadFile(dir / "piped.pmml"));
  EXPECT_EQ(fromFifo.All("//p:DerivedField/@name"), plain.All("//p:DerivedField/@name"));
  EXPECT_EQ(fromFifo.All("//p:NormContinuous/@field"), plain.All("//p:NormContinuous/@field"));
}

// Whether process `pid` holds `path` open.
bool HoldsOpen(pid_t pid, const std::string& path) {
  std::error_code ignored;
  for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored)) {
    if (fs::read_symlink(fd.path(), ignored) == fs::path(path)) return true;
  }
  return false;
}

TEST(CliInputSources, AStopSignalEndsAWaitForAFifoWriter) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  ASSERT_EQ(mkfifo((dir / "in.csv").c_str(), 0600), 0);
  const fs::path fifo = fs::canonical(dir / "in.csv");
  const std::vector<std::string> commands[] = {
      {"apply", "doc.pmml", "in.csv", "-o", "out.csv"},
      {"inverse", "doc.pmml", "in.csv", "--column", "y", "-o", "out.csv"},
      {"prepare", "in.csv", "-o", "out.pmml"}};
  for (const auto& args : commands) {
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(dir.path().c_str()) != 0) _exit(127);
      if (!freopen("/dev/null", "w", stderr)) _exit(127);
      ExecCli(args);
    }
    // The FIFO is opened after the signal handlers are in place.
    int raw = 0;
    bool ended = false;
    while (!HoldsOpen(pid, fifo) && !ended) {
      ended = waitpid(pid, &raw, WNOHANG) == pid;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_FALSE(ended) << args[0] << " ended before opening the FIFO: " << raw;
    kill(pid, SIGTERM);
    // A guard against a hang, not a measure of speed.
    for (int i = 0; i < 1000 && !ended; ++i) {
      ended = waitpid(pid, &raw, WNOHANG) == pid;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended) {
      kill(pid, SIGKILL);
      waitpid(pid, &raw, 0);
    }
    EXPECT_TRUE(ended) << args[0] << " ignored SIGTERM";
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 143) << args[0] << ": " << raw;
  }
  EXPECT_EQ(DirectoryEntries(dir.path()),
            (std::vector<std::string>{"d.csv", "doc.pmml", "in.csv"}));
}

TEST(CliInputSources, SmallFaultsOfTheCommandLine) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  // The inverse's result column exists already: refused, named.
  WriteFile(dir / "p.csv", "y,y_inverse\n1.5,3\n");
  const RunResult twice = RunCli(dir.path(), {"inverse", "doc.pmml", "p.csv", "--column", "y"});
  EXPECT_EQ(twice.status, 2);
  EXPECT_EQ(twice.err, "error: p.csv: there is already a column 'y_inverse', which the inverse "
                       "would write again\n");
  EXPECT_EQ(twice.out, "");

  // An endless input of NUL bytes: refused at its first byte, by the
  // row reader of apply and by the chunk reader of prepare.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"apply", "doc.pmml", "/dev/zero"},
        {"prepare", "/dev/zero", "-o", "zero.pmml"}}) {
    const RunResult zeros = RunCli(dir.path(), args, [] {
#if defined(__SANITIZE_ADDRESS__)
      // The sanitizer reserves more address space than such a limit leaves.
      const char* options = std::getenv("ASAN_OPTIONS");
      const std::string bounded =
          std::string(options != nullptr ? options : "") + ":max_allocation_size_mb=1024";
      setenv("ASAN_OPTIONS", bounded.c_str(), 1);
#else
      const rlimit memory{1u << 30, 1u << 30};
      setrlimit(RLIMIT_AS, &memory);
#endif
    });
    EXPECT_EQ(zeros.status, 2) << args[0];
    EXPECT_EQ(zeros.err, "error: /dev/zero: line 1, column 1: control character U+0000, which "
                         "XML cannot carry\n");
  }

  // Negative sizes and counts are refused as such.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--memory-limit", "-1M"}, {"--memory-limit", " -5"},
        {"--threads", "-1"}}) {
    std::vector<std::string> full{"prepare", "d.csv", "-o", "never.pmml"};
    full.insert(full.end(), args.begin(), args.end());
    const RunResult run = RunCli(dir.path(), full);
    EXPECT_EQ(run.status, 2) << args[1];
    EXPECT_EQ(run.err.find("18446744073709551615"), std::string::npos) << run.err;
    EXPECT_TRUE(Contains(run.err, args[0])) << args[1];
  }
  EXPECT_FALSE(FileExists(dir / "never.pmml"));
}

TEST(CliInputSources, TheProgressLineCountsTheStreamedPasses) {
  ScratchDir dir;
  // Two blocks of rows, so that two threads each drive a replica.
  WriteFile(dir / "p.csv", Table(70000));
  const std::regex drawn("\r([a-z0-9/ ]+): [0-9]+ records");
  for (const char* threads : {"1", "2"}) {
    const RunResult run = RunCli(dir.path(), {"prepare", "p.csv", "--progress", "--stream",
                                              "--threads", threads, "--data-out", "o.csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> phases;
    for (std::sregex_iterator it(run.err.begin(), run.err.end(), drawn), end; it != end; ++it) {
      if (phases.empty() || phases.back() != (*it)[1]) phases.push_back((*it)[1]);
    }
    EXPECT_EQ(phases, (std::vector<std::string>{"reading", "pass 1/7", "pass 2/7", "pass 3/7",
                                                "pass 4/7", "pass 5/7", "pass 6/7", "pass 7/7",
                                                "finishing", "writing", "writing prepared data"}))
        << threads;
  }
}

}  // namespace
}  // namespace clitest
