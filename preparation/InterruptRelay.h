// InterruptRelay: a host's interrupt check asked on the host's own thread
// only (a host that may only be called there, as one calling back into an
// interpreter), its answer passed on to the replicas of a blocked build on
// the other threads, which see it at their next poll.
#ifndef ZELCRAFT_PREPARATION_INTERRUPTRELAY_H_
#define ZELCRAFT_PREPARATION_INTERRUPTRELAY_H_

#include <atomic>

#include "frame/host/HostInterfaces.h"

namespace zelprep {

class InterruptRelay {
 public:
  explicit InterruptRelay(TorCommon_1_3::IInterruptCheck& host) : caller_(host, stop_) {}
  TorCommon_1_3::IInterruptCheck* ForCaller() { return &caller_; }
  TorCommon_1_3::IInterruptCheck* ForWorkers() { return &workers_; }

 private:
  class Caller : public TorCommon_1_3::IInterruptCheck {
   public:
    Caller(TorCommon_1_3::IInterruptCheck& host, std::atomic<bool>& stop)
        : host_(host), stop_(stop) {}
    bool IsInterrupted() override {
      if (host_.IsInterrupted()) stop_.store(true);
      return stop_.load();
    }

   private:
    TorCommon_1_3::IInterruptCheck& host_;
    std::atomic<bool>& stop_;
  };
  class Workers : public TorCommon_1_3::IInterruptCheck {
   public:
    explicit Workers(std::atomic<bool>& stop) : stop_(stop) {}
    bool IsInterrupted() override { return stop_.load(std::memory_order_relaxed); }

   private:
    std::atomic<bool>& stop_;
  };

  std::atomic<bool> stop_{false};
  Caller caller_;
  Workers workers_{stop_};
};

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_INTERRUPTRELAY_H_
