// RHost: what the component and the data-source library call back while a
// preparation or replay runs from R, always on R's own thread (the build's
// other threads see a stop through the run's relay). The interrupt check
// asks R at most every 100 ms whether Ctrl-C was pressed, inside
// R_ToplevelExec so that R's jump never crosses C++ frames; the binding
// raises R's interrupt once the work has stopped and let go of everything.
// With progress on, each phase (reading, a pass, writing) draws one line on
// the console, redrawn in place as records are read and ended when the
// next phase starts.
#ifndef ZELCRAFT_R_RHOST_H_
#define ZELCRAFT_R_RHOST_H_

#include <chrono>
#include <cstdint>
#include <string>

#include "host/HostCallbacks.h"
#include "host/PhaseNames.h"

namespace zelr {

class RHost : public zelhost::HostCallbacks {
 public:
  explicit RHost(bool progress) : progress_(progress) {}
  ~RHost() override;
  RHost(const RHost&) = delete;
  RHost& operator=(const RHost&) = delete;

  bool IsInterrupted() override;
  bool Poll() override;
  bool stopped() const override { return interrupted_; }
  void Report(TorCommon_1_3::ProgressReport& report) override;
  void StartPhase(const std::string& phase) override;
  void Records(int64_t count) override;
  void PassEnded(int64_t count) override;

 private:
  void Visit(bool draw);
  void Draw();

  bool progress_;
  bool interrupted_ = false;
  uint32_t calls_ = 0;
  std::chrono::steady_clock::time_point lastVisit_ = std::chrono::steady_clock::now();
  std::string phase_;
  int64_t records_ = 0;
  bool drawn_ = false;  // a line of the current phase is on the console
  zelhost::PhaseNames phases_;
};

}  // namespace zelr

#endif  // ZELCRAFT_R_RHOST_H_
