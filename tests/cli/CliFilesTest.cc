// Files the command reads and writes: paths that are directories, an output
// that is one of the inputs, symlinks, FIFOs and devices as outputs, signals
// and size limits while the document is written, and running out of memory.
// Whatever happens, no input is lost and no temporary file stays behind.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cli/CliHarness.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

const char kCsv[] = "x,t\n1,a\n2,b\n3,a\n";

// Names in `dir` other than those the harness uses, sorted.
std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name != ".stdout" && name != ".stderr") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CliFiles, DirectoriesAreInputErrorsNamingThePath) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", kCsv);
  fs::create_directory(dir / "sub");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"prepare", "sub"}, "error: cannot read sub: Is a directory"},
      {{"prepare", "d.csv", "--schema", "sub"}, "error: cannot read sub: Is a directory"},
      {{"prepare", "d.csv", "--settings", "sub"}, "error: cannot read sub: Is a directory"},
      {{"prepare", "d.csv", "-o", "sub"}, "error: cannot write sub: Is a directory"},
  };
  for (const auto& c : cases) {
    const RunResult run = RunCli(dir.path(), c.first);
    EXPECT_EQ(run.status, 2) << c.second;
    EXPECT_EQ(run.err, c.second + "\n");
  }
  // The output is checked before the (malformed) data is read.
  WriteFile(dir / "bad.csv", "a,b\n1\n");
  EXPECT_EQ(RunCli(dir.path(), {"prepare", "bad.csv", "-o", "sub"}).err,
            "error: cannot write sub: Is a directory\n");
}

TEST(CliFiles, TheOutputIsNeverOneOfTheInputs) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", kCsv);
  WriteFile(dir / "s.json", R"({"fields": {}})");
  WriteFile(dir / "o.json", "{}");
  fs::create_hard_link(dir / "d.csv", dir / "link.csv");
  // A data file named like the default output.
  WriteFile(dir / "t.pmml", kCsv);
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"prepare", "d.csv", "-o", "d.csv"}, "the output d.csv is the data file d.csv"},
      {{"prepare", "d.csv", "-o", "./link.csv"}, "the output ./link.csv is the data file d.csv"},
      {{"prepare", "t.pmml"}, "the output t.pmml is the data file t.pmml"},
      {{"prepare", "d.csv", "--schema", "s.json", "-o", "s.json"}, "is the schema file s.json"},
      {{"prepare", "d.csv", "--settings", "o.json", "-o", "o.json"}, "is the settings file o.json"},
  };
  for (const auto& c : cases) {
    const RunResult run = RunCli(dir.path(), c.first);
    EXPECT_EQ(run.status, 2) << c.second;
    EXPECT_NE(run.err.find(c.second), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadFile(dir / "d.csv"), kCsv);
  EXPECT_EQ(ReadFile(dir / "t.pmml"), kCsv);
  EXPECT_EQ(ReadFile(dir / "s.json"), R"({"fields": {}})");
  EXPECT_EQ(ReadFile(dir / "o.json"), "{}");
}

TEST(CliFiles, SymlinksAreFollowedAndDevicesAndFifosWrittenThrough) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", kCsv);
  fs::create_directory(dir / "real");
  WriteFile(dir / "real/old.pmml", "old");
  fs::create_symlink("real/old.pmml", dir / "link.pmml");
  fs::create_symlink("real/new.pmml", dir / "dangling.pmml");
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "d.csv", "-q", "-o", "link.pmml"}).status, 0);
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "d.csv", "-q", "-o", "dangling.pmml"}).status, 0);
  EXPECT_TRUE(fs::is_symlink(dir / "link.pmml"));
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.pmml"));
  EXPECT_EQ(Document(ReadFile(dir / "real/old.pmml")).Eval("/*/@version"), "4.0");
  EXPECT_EQ(Document(ReadFile(dir / "real/new.pmml")).Eval("/*/@version"), "4.0");

  // A FIFO stays a FIFO and its reader gets the whole document.
  ASSERT_EQ(mkfifo((dir / "out.fifo").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadFile(dir / "out.fifo"); });
  const RunResult fifo = RunCli(dir.path(), {"prepare", "d.csv", "-q", "-o", "out.fifo"});
  reader.join();
  EXPECT_EQ(fifo.status, 0) << fifo.err;
  EXPECT_EQ(Document(received).Eval("/*/@version"), "4.0");
  EXPECT_TRUE(fs::is_fifo(dir / "out.fifo"));

  // A device is written to, not replaced.
  ASSERT_EQ(RunCli(dir.path(), {"prepare", "d.csv", "-q", "-o", "/dev/null"}).status, 0);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(Entries(dir.path()),
            (std::vector<std::string>{"d.csv", "dangling.pmml", "link.pmml", "out.fifo", "real"}));
}

// A data set whose document takes a while to write: three distinct text
// categories of several megabytes each.
void WriteLargeCategories(const std::string& path) {
  std::ofstream csv(path);
  csv << "x,t\n";
  for (char c : {'a', 'b', 'c'}) csv << int(c) << ',' << std::string(4 << 20, c) << '\n';
}

// Runs the command with its output in `dir`; as soon as the temporary file
// appears there, sends the signals. Returns the raw wait status.
int SignalWhileWriting(const ScratchDir& dir, const std::vector<int>& signals) {
  const int watch = inotify_init1(IN_CLOEXEC);
  inotify_add_watch(watch, dir.path().c_str(), IN_CREATE);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.path().c_str()) != 0) _exit(127);
    if (!freopen("/dev/null", "w", stderr)) _exit(127);
    execl(ZEL_CLI_PATH, ZEL_CLI_PATH, "prepare", "big.csv", "-q", "-o", "big.pmml",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  alignas(inotify_event) char events[4096];
  int raw = 0;
  bool seen = false, ended = false;
  while (!seen && !ended) {
    pollfd ready{watch, POLLIN, 0};
    if (poll(&ready, 1, 100) > 0) {
      const ssize_t n = read(watch, events, sizeof events);
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        if (event->len > 0 && std::string(event->name).rfind(".big.pmml.", 0) == 0) seen = true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    } else {
      ended = waitpid(pid, &raw, WNOHANG) == pid;  // it never wrote: the test fails below
    }
  }
  if (seen) {
    for (int signal : signals) kill(pid, signal);
    waitpid(pid, &raw, 0);
  }
  close(watch);
  return raw;
}

TEST(CliFiles, SignalsDuringTheWriteLeaveNothingBehind) {
  ScratchDir dir;
  WriteLargeCategories(dir / "big.csv");
  const std::vector<std::string> untouched{"big.csv", "big.pmml"};

  WriteFile(dir / "big.pmml", "old");
  const int terminated = SignalWhileWriting(dir, {SIGTERM});
  ASSERT_TRUE(WIFEXITED(terminated));
  EXPECT_EQ(WEXITSTATUS(terminated), 143);
  EXPECT_EQ(ReadFile(dir / "big.pmml"), "old");
  EXPECT_EQ(Entries(dir.path()), untouched);

  const int hungUp = SignalWhileWriting(dir, {SIGHUP});
  ASSERT_TRUE(WIFEXITED(hungUp));
  EXPECT_EQ(WEXITSTATUS(hungUp), 129);
  EXPECT_EQ(Entries(dir.path()), untouched);

  // A second Ctrl-C ends the process at once, or the first already has.
  const int twice = SignalWhileWriting(dir, {SIGINT, SIGINT});
  EXPECT_TRUE((WIFSIGNALED(twice) && WTERMSIG(twice) == SIGINT) ||
              (WIFEXITED(twice) && WEXITSTATUS(twice) == 130))
      << twice;
  EXPECT_EQ(ReadFile(dir / "big.pmml"), "old");
  EXPECT_EQ(Entries(dir.path()), untouched);
}

// Runs the command with a resource limit set in the child.
RunResult RunLimited(const std::string& dir, int resource, rlim_t limit,
                     const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0 || !freopen(".stderr", "w", stderr)) _exit(127);
    const rlimit value{limit, limit};
    setrlimit(resource, &value);
    std::vector<char*> argv{const_cast<char*>(ZEL_CLI_PATH)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(ZEL_CLI_PATH, argv.data());
    _exit(127);
  }
  int raw = 0;
  waitpid(pid, &raw, 0);
  RunResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  result.err = ReadFile(dir + "/.stderr");
  fs::remove(dir + "/.stderr");
  return result;
}

TEST(CliFiles, AFileSizeLimitFailsTheWriteCleanly) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", kCsv);
  WriteFile(dir / "d.pmml", "old");
  const RunResult run = RunLimited(dir.path(), RLIMIT_FSIZE, 1000, {"prepare", "d.csv", "-q"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("error: cannot write d.pmml: File too large"), std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFile(dir / "d.pmml"), "old");
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"d.csv", "d.pmml"}));
}

TEST(CliFiles, RunningOutOfMemoryIsACleanExitOne) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an address-space limit cannot be combined with AddressSanitizer";
#endif
  ScratchDir dir;
  // 40000 continuous fields need far more than 128 MB of statistics.
  {
    std::ofstream csv(dir / "wide.csv");
    for (int row = 0; row < 3; ++row) {
      for (int i = 0; i < 40000; ++i) csv << (i ? "," : "") << (row == 0 ? "c" : "") << i + row;
      csv << '\n';
    }
  }
  const RunResult run =
      RunLimited(dir.path(), RLIMIT_AS, rlim_t{128} << 20, {"prepare", "wide.csv", "-q"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(run.err == "error 3: out of memory\n" || run.err == "error: out of memory\n")
      << run.err;
  EXPECT_FALSE(FileExists(dir / "wide.pmml"));
}

}  // namespace
}  // namespace clitest
