// Interrupts: turns Ctrl-C (SIGINT) into a stop request. The signal handler
// only sets a flag and wakes a watcher thread; the thread calls Stop() on the
// attached algorithm, which the component allows from another thread. The
// same flag answers the component's interrupt check and the reading loop. A
// second Ctrl-C ends the process at once. One instance at a time.
#ifndef ZELCRAFT_CLI_INTERRUPTS_H_
#define ZELCRAFT_CLI_INTERRUPTS_H_

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
  // The algorithm to stop; null detaches it. Attaching after Ctrl-C stops it
  // at once.
  void Attach(TorCommon_1_3::ITorAlgorithm* algorithm);

 private:
  void Watch();

  int wakeRead_ = -1;
  std::thread watcher_;
  std::mutex mutex_;
  TorCommon_1_3::ITorAlgorithm* algorithm_ = nullptr;  // not owned
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_INTERRUPTS_H_
