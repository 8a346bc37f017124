// FifoWriter: feeds a FIFO from a thread of the test, as a separate writer
// process would. Once a reader opens the FIFO it writes `first`, then, after
// Release() (at once when there is no `rest`), `rest`. A reader that goes
// away ends the feed (the write fails with EPIPE); so does destruction, which
// also gives up waiting for a reader that never comes.
#ifndef ZELCRAFT_TESTS_SUPPORT_FIFOWRITER_H_
#define ZELCRAFT_TESTS_SUPPORT_FIFOWRITER_H_

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>

namespace clitest {

class FifoWriter {
 public:
  FifoWriter(const std::string& path, std::string first, std::string rest = std::string())
      : released_(rest.empty()),
        thread_([this, path, first = std::move(first), rest = std::move(rest)] {
          sigset_t pipe;
          sigemptyset(&pipe);
          sigaddset(&pipe, SIGPIPE);
          pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
          int fd = -1;
          while (fd < 0 && !stop_) {
            fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
          if (fd < 0) return;
          fcntl(fd, F_SETFL, 0);
          if (Send(fd, first)) {
            while (!released_ && !stop_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            Send(fd, rest);
          }
          close(fd);
        }) {}
  FifoWriter(const FifoWriter&) = delete;
  FifoWriter& operator=(const FifoWriter&) = delete;
  ~FifoWriter() {
    stop_ = true;
    thread_.join();
  }
  void Release() { released_ = true; }

 private:
  static bool Send(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = write(fd, bytes.data(), bytes.size());
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }

  std::atomic<bool> stop_{false};
  std::atomic<bool> released_;
  std::thread thread_;
};

}  // namespace clitest

#endif  // ZELCRAFT_TESTS_SUPPORT_FIFOWRITER_H_
