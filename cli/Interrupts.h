// Interrupts: turns Ctrl-C (SIGINT), SIGTERM and SIGHUP into a stop request.
// The signal handler only records the signal and wakes a watcher thread; the
// thread calls Stop() on the attached algorithm, which the component allows
// from another thread. The same flag answers the component's interrupt check,
// the reading loops and the output files. A second such signal ends the
// process at once, after removing the outputs' temporary files. SIGXFSZ is
// ignored, so that writing past the file size limit fails like any other
// write error. One instance at a time; every command makes it first.
#ifndef ZELCRAFT_CLI_INTERRUPTS_H_
#define ZELCRAFT_CLI_INTERRUPTS_H_

#include <signal.h>

#include <mutex>
#include <thread>

#include "frame/host/HostInterfaces.h"

namespace zelcli {

class Interrupts : public TorCommon_1_3::IInterruptCheck {
 public:
  Interrupts();
  ~Interrupts() override;
  Interrupts(const Interrupts&) = delete;
  Interrupts& operator=(const Interrupts&) = delete;

  bool IsInterrupted() override;
  // The exit status for the signal received: 128 + its number.
  int ExitStatus() const;
  // The algorithm to stop; null detaches it. Attaching after a signal stops
  // it at once.
  void Attach(TorCommon_1_3::ITorAlgorithm* algorithm);

 private:
  void Watch();

  int wakeRead_ = -1;
  std::thread watcher_;
  std::mutex mutex_;
  TorCommon_1_3::ITorAlgorithm* algorithm_ = nullptr;  // not owned
  struct sigaction previous_[4];
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_INTERRUPTS_H_
