#include "Interrupts.h"

#include <unistd.h>

#include <atomic>

#include "OutputFile.h"

namespace zelcli {

namespace {

// SIGXFSZ last: it is ignored rather than handled.
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};
constexpr int kHandled = 3;

std::atomic<int> gSignal{0};  // the first stop signal received, 0 before
int gWakeWrite = -1;

extern "C" void OnStopSignal(int signal) {
  // Only async-signal-safe calls here.
  int none = 0;
  if (!gSignal.compare_exchange_strong(none, signal)) {
    // A second signal: end now, leaving no temporary file behind.
    RemovePendingTemporaries();
    ::signal(signal, SIG_DFL);
    raise(signal);
    return;
  }
  const char byte = 1;
  // A full pipe already holds a wake-up.
  [[maybe_unused]] ssize_t ignored = write(gWakeWrite, &byte, 1);
}

}  // namespace

Interrupts::Interrupts() {
  gSignal.store(0);
  int fds[2];
  if (pipe(fds) == 0) {
    wakeRead_ = fds[0];
    gWakeWrite = fds[1];
    // The watcher blocks every signal, so they reach the main thread, which
    // can hold them off while it creates or renames the temporary file.
    sigset_t all, saved;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &saved);
    watcher_ = std::thread(&Interrupts::Watch, this);
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
  }
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kHandled; ++i) sigaddset(&action.sa_mask, kSignals[i]);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kHandled; ++i) sigaction(kSignals[i], &action, &previous_[i]);
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, &previous_[kHandled]);
}

Interrupts::~Interrupts() {
  for (int i = 0; i <= kHandled; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  if (gWakeWrite >= 0) {
    close(gWakeWrite);  // the watcher reads end-of-file and returns
    gWakeWrite = -1;
  }
  if (watcher_.joinable()) watcher_.join();
  if (wakeRead_ >= 0) close(wakeRead_);
}

bool Interrupts::IsInterrupted() { return gSignal.load() != 0; }

int Interrupts::ExitStatus() const {
  const int signal = gSignal.load();
  return 128 + (signal != 0 ? signal : SIGINT);
}

void Interrupts::Attach(TorCommon_1_3::ITorAlgorithm* algorithm) {
  std::lock_guard<std::mutex> lock(mutex_);
  algorithm_ = algorithm;
  if (algorithm_ != nullptr && gSignal.load() != 0) algorithm_->Stop();
}

void Interrupts::Watch() {
  char byte;
  while (read(wakeRead_, &byte, 1) > 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (algorithm_ != nullptr) algorithm_->Stop();
  }
}

}  // namespace zelcli
