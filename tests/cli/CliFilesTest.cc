// Files the commands read and write: paths that are directories, an output
// that is one of the inputs, symlinks, FIFOs and devices as outputs, signals
// and size limits while an output is written, and running out of memory.
// Every output of every command (the document, the prepared data, the
// results of apply and inverse) gets the same protections. Whatever happens,
// no input is lost and no temporary file stays behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "support/CliHarness.h"
#include "support/FifoWriter.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

const char kCsv[] = "x,t\n1,a\n2,b\n3,a\n";

// Every output of every command follows a symlink to its target (also a
// dangling one), stays a FIFO whose reader gets all of it, and writes to a
// device without replacing it; "-" is standard output, never a file.
TEST(CliFiles, OutputsFollowSymlinksAndWriteThroughFifosAndDevices) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  fs::create_directory(dir / "real");
  const std::vector<std::vector<std::string>> commands = {
      {"prepare", "d.csv", "-q", "-o"},
      {"apply", "doc.pmml", "d.csv", "-o"},
      {"inverse", "doc.pmml", "d.csv", "--column", "y", "-o"}};
  std::vector<std::string> entries{"d.csv", "doc.pmml", "real"};
  for (const std::vector<std::string>& command : commands) {
    const std::string name = command[0];
    SCOPED_TRACE(name);
    auto run = [&](const std::string& output) {
      std::vector<std::string> args = command;
      args.push_back(output);
      return RunCli(dir.path(), args);
    };
    const RunResult dash = run("-");
    ASSERT_EQ(dash.status, 0) << dash.err;
    ASSERT_NE(dash.out, "");
    // A document differs from run to run in its time stamp.
    auto written = [&](const std::string& text) {
      return name == "prepare" ? Document(text).Eval("/*/@version") == "4.0" : text == dash.out;
    };
    WriteFile(dir / ("real/old-" + name), "old");
    fs::create_symlink("real/old-" + name, dir / ("link-" + name));
    fs::create_symlink("real/new-" + name, dir / ("dangling-" + name));
    ASSERT_EQ(run("link-" + name).status, 0);
    ASSERT_EQ(run("dangling-" + name).status, 0);
    EXPECT_TRUE(fs::is_symlink(dir / ("link-" + name)));
    EXPECT_TRUE(fs::is_symlink(dir / ("dangling-" + name)));
    EXPECT_TRUE(written(ReadFile(dir / ("real/old-" + name))));
    EXPECT_TRUE(written(ReadFile(dir / ("real/new-" + name))));

    const std::string fifo = name + ".fifo";
    ASSERT_EQ(mkfifo((dir / fifo).c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(dir / fifo); });
    const RunResult piped = run(fifo);
    reader.join();
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(written(received));
    EXPECT_TRUE(fs::is_fifo(dir / fifo));

    EXPECT_EQ(run("/dev/null").status, 0);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    entries.insert(entries.end(), {"dangling-" + name, fifo, "link-" + name});
  }
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(DirectoryEntries(dir.path()), entries);
}

// A data set whose document takes a while to write: three distinct text
// categories of several megabytes each.
void WriteLargeCategories(const std::string& path) {
  std::ofstream csv(path);
  csv << "x,t\n";
  for (char c : {'a', 'b', 'c'}) csv << int(c) << ',' << std::string(4 << 20, c) << '\n';
}

// Runs the command with `args` in `dir`; as soon as a temporary file named
// after `output` appears there, sends the signals, then calls `after`.
// Returns the raw wait status.
int SignalWhileWriting(const ScratchDir& dir, const std::vector<std::string>& args,
                       const std::string& output, const std::vector<int>& signals,
                       const std::function<void()>& after = [] {}) {
  const int watch = inotify_init1(IN_CLOEXEC);
  inotify_add_watch(watch, dir.path().c_str(), IN_CREATE);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.path().c_str()) != 0) _exit(127);
    if (!freopen("/dev/null", "w", stderr)) _exit(127);
    ExecCli(args);
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
        if (event->len > 0 && std::string(event->name).rfind("." + output + ".", 0) == 0) {
          seen = true;
        }
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    } else {
      ended = waitpid(pid, &raw, WNOHANG) == pid;  // it never wrote: the test fails below
    }
  }
  if (seen) {
    for (int signal : signals) kill(pid, signal);
    after();
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
  const std::vector<std::string> args{"prepare", "big.csv", "-q", "-o", "big.pmml"};
  const int terminated = SignalWhileWriting(dir, args, "big.pmml", {SIGTERM});
  ASSERT_TRUE(WIFEXITED(terminated));
  EXPECT_EQ(WEXITSTATUS(terminated), 143);
  EXPECT_EQ(ReadFile(dir / "big.pmml"), "old");
  EXPECT_EQ(DirectoryEntries(dir.path()), untouched);

  const int hungUp = SignalWhileWriting(dir, args, "big.pmml", {SIGHUP});
  ASSERT_TRUE(WIFEXITED(hungUp));
  EXPECT_EQ(WEXITSTATUS(hungUp), 129);
  EXPECT_EQ(DirectoryEntries(dir.path()), untouched);

  // A second Ctrl-C ends the process at once, or the first already has.
  const int twice = SignalWhileWriting(dir, args, "big.pmml", {SIGINT, SIGINT});
  EXPECT_TRUE((WIFSIGNALED(twice) && WTERMSIG(twice) == SIGINT) ||
              (WIFEXITED(twice) && WEXITSTATUS(twice) == 130))
      << twice;
  EXPECT_EQ(ReadFile(dir / "big.pmml"), "old");
  EXPECT_EQ(DirectoryEntries(dir.path()), untouched);
}

// Runs the command with a resource limit set in the child.
RunResult RunLimited(const std::string& dir, int resource, rlim_t limit,
                     const std::vector<std::string>& args) {
  return RunCli(dir, args, [resource, limit] {
    const rlimit value{limit, limit};
    setrlimit(resource, &value);
  });
}

TEST(CliFiles, AFileSizeLimitFailsTheWriteCleanly) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  WriteFile(dir / "small.csv", "x,y\n1,2\n2,4\n3,5\n");
  WriteFile(dir / "d.pmml", "old");
  WriteFile(dir / "out.csv", "old");
  // The prepared data is written first, so it meets the limit first.
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"prepare", "d.csv", "-q"}, "d.pmml"},
      {{"prepare", "d.csv", "-q", "-o", "d.pmml", "--data-out", "out.csv"}, "out.csv"},
      {{"prepare", "small.csv", "-q", "-o", "d.pmml", "--data-out", "out.csv"}, "d.pmml"},
      {{"apply", "doc.pmml", "d.csv", "-o", "out.csv"}, "out.csv"},
      {{"inverse", "doc.pmml", "d.csv", "--column", "y", "-o", "out.csv"}, "out.csv"},
  };
  for (const auto& c : cases) {
    const RunResult run = RunLimited(dir.path(), RLIMIT_FSIZE, 1000, c.first);
    EXPECT_EQ(run.status, 2) << c.first[0];
    EXPECT_EQ(run.err, "error: cannot write " + c.second + ": File too large\n");
  }
  // The prepared data that fitted did not appear without its document.
  EXPECT_EQ(ReadFile(dir / "d.pmml"), "old");
  EXPECT_EQ(ReadFile(dir / "out.csv"), "old");
  EXPECT_EQ(DirectoryEntries(dir.path()),
            (std::vector<std::string>{"d.csv", "d.pmml", "doc.pmml", "out.csv", "small.csv"}));
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

  // A row longer than memory, streamed by apply from a FIFO that never
  // ends it.
  WriteBoxCoxDocument(dir);
  ASSERT_EQ(mkfifo((dir / "long.csv").c_str(), 0600), 0);
  std::thread endless([path = dir / "long.csv"] {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);  // the reader's end is EPIPE
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return;
    const std::string row = "x,y\n" + std::string(1 << 20, 'a');
    for (std::string_view rest = row;; rest = std::string_view(row).substr(4)) {
      if (write(fd, rest.data(), rest.size()) <= 0) break;
    }
    close(fd);
  });
  const RunResult apply = RunLimited(dir.path(), RLIMIT_AS, rlim_t{128} << 20,
                                     {"apply", "doc.pmml", "long.csv", "-o", "out.csv"});
  // A reader of our own lets the writer go should apply never have opened it.
  close(open((dir / "long.csv").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  endless.join();
  EXPECT_EQ(apply.status, 1) << apply.err;
  EXPECT_EQ(apply.err, "error: out of memory\n");
  EXPECT_FALSE(FileExists(dir / "out.csv"));
  EXPECT_EQ(DirectoryEntries(dir.path()),
            (std::vector<std::string>{"d.csv", "doc.pmml", "long.csv", "wide.csv"}));
}

// Every command refuses unreadable inputs and an output that cannot serve
// (a directory, one of its own inputs, also through a link, or the same
// file twice), and checks the output before the (malformed) data is read.
TEST(CliFiles, InputsAndOutputsThatCannotServeAreRefusedAndNothingIsLost) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  fs::create_directory(dir / "sub");
  fs::create_hard_link(dir / "d.csv", dir / "link.csv");
  WriteFile(dir / "bad.csv", "x,y\n1\n");
  WriteFile(dir / "s.json", R"({"fields": {}})");
  WriteFile(dir / "o.json", "{}");
  WriteFile(dir / "t.pmml", kCsv);  // a data file named like the default output
  const std::string unreadable = "cannot read sub: Is a directory";
  const std::string unwritable = "cannot write sub: Is a directory";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"prepare", "sub"}, unreadable},
      {{"prepare", "d.csv", "--schema", "sub"}, unreadable},
      {{"prepare", "d.csv", "--settings", "sub"}, unreadable},
      {{"apply", "sub", "d.csv"}, unreadable},
      {{"apply", "doc.pmml", "sub"}, unreadable},
      {{"inverse", "doc.pmml", "sub", "--column", "y"}, unreadable},
      {{"inverse", "sub", "d.csv", "--column", "y"}, unreadable},
      {{"prepare", "bad.csv", "-o", "sub"}, unwritable},
      {{"prepare", "bad.csv", "--data-out", "sub"}, unwritable},
      {{"apply", "doc.pmml", "bad.csv", "-o", "sub"}, unwritable},
      {{"inverse", "doc.pmml", "bad.csv", "--column", "y", "-o", "sub"}, unwritable},
      {{"prepare", "d.csv", "-o", "d.csv"}, "the output d.csv is the data file d.csv"},
      {{"prepare", "d.csv", "-o", "./link.csv"}, "the output ./link.csv is the data file d.csv"},
      {{"prepare", "t.pmml"}, "the output t.pmml is the data file t.pmml"},
      {{"prepare", "d.csv", "--schema", "s.json", "-o", "s.json"},
       "the output s.json is the schema file s.json"},
      {{"prepare", "d.csv", "--settings", "o.json", "-o", "o.json"},
       "the output o.json is the settings file o.json"},
      {{"prepare", "d.csv", "-o", "x.pmml", "--data-out", "d.csv"},
       "the output d.csv is the data file d.csv"},
      {{"apply", "doc.pmml", "d.csv", "-o", "d.csv"}, "the output d.csv is the data file d.csv"},
      {{"apply", "doc.pmml", "d.csv", "-o", "doc.pmml"},
       "the output doc.pmml is the document file doc.pmml"},
      {{"inverse", "doc.pmml", "d.csv", "--column", "y", "-o", "./link.csv"},
       "the output ./link.csv is the data file d.csv"},
      {{"prepare", "d.csv", "-o", "x.out", "--data-out", "./sub/../x.out"},
       "the document and the prepared data cannot both be written to ./sub/../x.out"},
  };
  for (const auto& c : cases) {
    const RunResult run = RunCli(dir.path(), c.first);
    const bool same = c.second.rfind("the output ", 0) == 0;
    const std::string expected =
        "error: " + c.second + (same ? "; choose another output\n" : "\n");
    EXPECT_EQ(run.status, 2) << c.second;
    EXPECT_EQ(run.err, expected);
  }
  EXPECT_EQ(DirectoryEntries(dir.path()),
            (std::vector<std::string>{"bad.csv", "d.csv", "doc.pmml", "link.csv", "o.json",
                                      "s.json", "sub", "t.pmml"}));
  EXPECT_EQ(ReadFile(dir / "d.csv").substr(0, 4), "x,y\n");
  EXPECT_EQ(ReadFile(dir / "t.pmml"), kCsv);
  EXPECT_EQ(ReadFile(dir / "s.json"), R"({"fields": {}})");
  EXPECT_EQ(ReadFile(dir / "o.json"), "{}");
  EXPECT_EQ(Document(ReadFile(dir / "doc.pmml")).Eval("/*/@version"), "4.0");
}

// Every output prepare can write is pending at once (a command completes them
// all before any appears): all five requested together are all written.
TEST(CliFiles, PrepareWritesEveryOutputAtOnce) {
  ScratchDir dir;
  WriteFile(dir / "d.csv", kCsv);
  const RunResult run =
      RunCli(dir.path(), {"prepare", "d.csv", "--target", "t", "-o", "o.pmml", "--data-out",
                          "o.csv", "--schema-out", "o.json", "--stats", "s.csv", "--report",
                          "r.html"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(DirectoryEntries(dir.path()),
            (std::vector<std::string>{"d.csv", "o.csv", "o.json", "o.pmml", "r.html", "s.csv"}));
  EXPECT_EQ(Document(ReadFile(dir / "o.pmml")).Eval("/*/@version"), "4.0");
}

// Feeds a FIFO: the header and enough rows to fill the reader's first chunk,
// then, once released, the rest.
class FifoFeed : public FifoWriter {
 public:
  explicit FifoFeed(const std::string& path) : FifoWriter(path, Rows(), Rows().substr(4)) {}

 private:
  static std::string Rows() {
    std::string rows = "x,y\n";
    while (rows.size() < (3u << 20)) rows += "3,4.5\n";
    return rows;
  }
};

TEST(CliFiles, StopSignalsEndApplyAndInverseWithNothingLeftBehind) {
  ScratchDir dir;
  WriteBoxCoxDocument(dir);
  ASSERT_EQ(mkfifo((dir / "in.csv").c_str(), 0600), 0);
  WriteFile(dir / "out.csv", "old");
  const std::vector<std::string> untouched{"d.csv", "doc.pmml", "in.csv", "out.csv"};
  const std::vector<std::string> apply{"apply", "doc.pmml", "in.csv", "-q", "-o", "out.csv"};
  const std::vector<std::string> inverse{"inverse", "doc.pmml", "in.csv", "--column",
                                         "y",       "-q",       "-o",     "out.csv"};
  const std::pair<const std::vector<std::string>*, int> cases[] = {
      {&apply, SIGTERM}, {&apply, SIGHUP}, {&inverse, SIGINT}};
  for (const auto& c : cases) {
    FifoFeed feed(dir / "in.csv");
    const int raw = SignalWhileWriting(dir, *c.first, "out.csv", {c.second},
                                       [&feed] { feed.Release(); });
    ASSERT_TRUE(WIFEXITED(raw)) << raw;
    EXPECT_EQ(WEXITSTATUS(raw), 128 + c.second);
    EXPECT_EQ(ReadFile(dir / "out.csv"), "old");
    EXPECT_EQ(DirectoryEntries(dir.path()), untouched);
  }
  // A second signal ends the run at once, while it waits for data.
  FifoFeed feed(dir / "in.csv");
  const int twice = SignalWhileWriting(dir, apply, "out.csv", {SIGINT, SIGINT});
  feed.Release();
  EXPECT_TRUE((WIFSIGNALED(twice) && WTERMSIG(twice) == SIGINT) ||
              (WIFEXITED(twice) && WEXITSTATUS(twice) == 130))
      << twice;
  EXPECT_EQ(ReadFile(dir / "out.csv"), "old");
  EXPECT_EQ(DirectoryEntries(dir.path()), untouched);
}

TEST(CliFiles, AStopSignalEndsApplyWhileTheDocumentIsStillComing) {
  // The document comes through a FIFO: its reader is blocked in the middle
  // of it when the signal arrives, and must stop at the next piece rather
  // than wait for the end.
  ScratchDir dir;
  WriteFile(dir / "d.csv", "x\n1\n");
  WriteFile(dir / "out.csv", "old");
  ASSERT_EQ(mkfifo((dir / "doc.pmml").c_str(), 0600), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.path().c_str()) != 0) _exit(127);
    if (!freopen("/dev/null", "w", stderr)) _exit(127);
    ExecCli({"apply", "doc.pmml", "d.csv", "-q", "-o", "out.csv"});
  }
  const auto previous = signal(SIGPIPE, SIG_IGN);
  // Opening returns once apply opened the document, its signal handlers set.
  const int fifo = open((dir / "doc.pmml").c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fifo, 0);
  const std::string head = "<?xml version=\"1.0\"?>\n<PMML version=\"4.0\">\n<DataDictionary>\n";
  ASSERT_EQ(write(fifo, head.data(), head.size()), static_cast<ssize_t>(head.size()));
  kill(pid, SIGTERM);
  const std::string more = "<DataField name=\"x\" optype=\"continuous\" dataType=\"double\"/>\n";
  int raw = 0;
  bool ended = false;
  for (int wait = 0; wait < 100 && !ended; ++wait) {
    [[maybe_unused]] const ssize_t written = write(fifo, more.data(), more.size());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ended = waitpid(pid, &raw, WNOHANG) == pid;
  }
  close(fifo);
  if (!ended) waitpid(pid, &raw, 0);
  signal(SIGPIPE, previous);
  EXPECT_TRUE(ended) << "apply waited for the whole document";
  ASSERT_TRUE(WIFEXITED(raw)) << raw;
  EXPECT_EQ(WEXITSTATUS(raw), 143);
  EXPECT_EQ(ReadFile(dir / "out.csv"), "old");
  const std::vector<std::string> untouched{"d.csv", "doc.pmml", "out.csv"};
  EXPECT_EQ(DirectoryEntries(dir.path()), untouched);
}

}  // namespace
}  // namespace clitest
