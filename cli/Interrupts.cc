#include "Interrupts.h"

#include <unistd.h>

#include <atomic>
#include <csignal>

namespace zelcli {

namespace {

std::atomic<bool> gInterrupted{false};
int gWakeWrite = -1;
struct sigaction gPrevious;

extern "C" void OnSigint(int) {
  gInterrupted.store(true);
  const char byte = 1;
  // Only async-signal-safe calls here; a full pipe already holds a wake-up.
  [[maybe_unused]] ssize_t ignored = write(gWakeWrite, &byte, 1);
}

}  // namespace

Interrupts::Interrupts() {
  gInterrupted.store(false);
  int fds[2];
  if (pipe(fds) == 0) {
    wakeRead_ = fds[0];
    gWakeWrite = fds[1];
    watcher_ = std::thread(&Interrupts::Watch, this);
  }
  struct sigaction action = {};
  action.sa_handler = OnSigint;
  sigemptyset(&action.sa_mask);
  // The handler runs once; a second Ctrl-C takes the default action.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigaction(SIGINT, &action, &gPrevious);
}

Interrupts::~Interrupts() {
  sigaction(SIGINT, &gPrevious, nullptr);
  if (gWakeWrite >= 0) {
    close(gWakeWrite);  // the watcher reads end-of-file and returns
    gWakeWrite = -1;
  }
  if (watcher_.joinable()) watcher_.join();
  if (wakeRead_ >= 0) close(wakeRead_);
}

bool Interrupts::IsInterrupted() { return gInterrupted.load(); }

void Interrupts::Attach(TorCommon_1_3::ITorAlgorithm* algorithm) {
  std::lock_guard<std::mutex> lock(mutex_);
  algorithm_ = algorithm;
  if (algorithm_ != nullptr && gInterrupted.load()) algorithm_->Stop();
}

void Interrupts::Watch() {
  char byte;
  while (read(wakeRead_, &byte, 1) > 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (algorithm_ != nullptr) algorithm_->Stop();
  }
}

}  // namespace zelcli
