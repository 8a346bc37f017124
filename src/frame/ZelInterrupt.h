// ZelInterrupt: the algorithm's stop flag and the host's interrupt check,
// polled by the pass driver before every record and after every pass.
#ifndef ZELCRAFT_FRAME_ZELINTERRUPT_H_
#define ZELCRAFT_FRAME_ZELINTERRUPT_H_

#include <atomic>

#include "frame/host/HostInterfaces.h"

namespace ZelFrame {

struct ZelInterrupt {
  TorCommon_1_3::IInterruptCheck* check = nullptr;  // not owned
  // Set by Stop(), possibly from another thread.
  std::atomic<bool> stop{false};

  // True when the build must stop: the flag is set, or the host's check says
  // so (which then sets the flag).
  bool Poll() {
    if (!stop.load(std::memory_order_relaxed) && check != nullptr && check->IsInterrupted()) {
      stop.store(true, std::memory_order_relaxed);
    }
    return stop.load(std::memory_order_relaxed);
  }
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELINTERRUPT_H_
