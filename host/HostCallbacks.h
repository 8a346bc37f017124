// HostCallbacks: what the component and the data-source library call back
// while a binding's work runs, all on the thread that started the work (a
// host that calls back into an interpreter may only be called there). The
// component asks before every record whether to stop, so the host is looked
// at only every so many calls and at most every 100 ms; progress names the
// phases ("reading", "pass 1/7" to "pass 7/7", "finishing", "writing") with
// the records read so far and, for a pass, the records it reads (those the
// data held when it was read, or the first pass counted). A binding says what a look at its interpreter
// does (Visit): run its interrupt checks and, when asked, draw the progress.
#ifndef ZELCRAFT_HOST_HOSTCALLBACKS_H_
#define ZELCRAFT_HOST_HOSTCALLBACKS_H_

#include <chrono>
#include <cstdint>
#include <string>

#include "frame/host/HostInterfaces.h"
#include "io/ReadProgress.h"

namespace zelhost {

class HostCallbacks : public TorCommon_1_3::IInterruptCheck,
                      public TorCommon_1_3::IProgressListener,
                      public zelio::ReadProgress {
 public:
  // The component's check: it looks at the clock only every so many calls.
  bool IsInterrupted() override;
  // Looks at the clock on every call, for loops that call it seldom.
  bool Poll();
  // True once a look at the host found a stop.
  bool stopped() const { return interrupted_; }

  void Report(TorCommon_1_3::ProgressReport& report) override;
  void StartPhase(const std::string& phase) override;
  void Records(int64_t count) override;
  void PassEnded(int64_t count) override;
  // Starts a phase that reads `total` records (a replay).
  void StartCounted(const std::string& phase, int64_t total);

 protected:
  // Looks at the host: calls Stop when it asks for a stop, and draws the
  // progress when `draw`.
  virtual void Visit(bool draw) = 0;
  // The current phase ended with records() records.
  virtual void PhaseDone() {}
  void Stop() { interrupted_ = true; }
  const std::string& phase() const { return phase_; }
  int64_t records() const { return records_; }
  // The records the current phase reads; 0 where unknown.
  int64_t total() const { return phaseTotal_; }

 private:
  void Look(bool draw);
  std::string PassName() const;

  bool interrupted_ = false;
  uint32_t calls_ = 0;
  std::chrono::steady_clock::time_point lastLook_ = std::chrono::steady_clock::now();
  std::string phase_;
  int64_t records_ = 0;
  int64_t dataTotal_ = 0;
  int64_t phaseTotal_ = 0;
  int passesEnded_ = 0;
};

}  // namespace zelhost

#endif  // ZELCRAFT_HOST_HOSTCALLBACKS_H_
