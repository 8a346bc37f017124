// PythonHost: what the component and the data-source library call back
// while they work without the interpreter lock. The interrupt check takes
// the lock at most every 100 ms to let the interpreter run its signal
// handlers, so Ctrl-C stops a build promptly; the exception a handler
// raised is kept and raised again once the work has stopped. Progress
// (phases, records read, passes) goes to a Python callable, at most ten
// times a second, and at the end of every pass. Every call comes from the thread that started the work.
#ifndef ZELCRAFT_PYTHON_PYTHONHOST_H_
#define ZELCRAFT_PYTHON_PYTHONHOST_H_

#include <pybind11/pybind11.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "frame/host/HostInterfaces.h"
#include "io/ReadProgress.h"

namespace zelpy {

class PythonHost : public TorCommon_1_3::IInterruptCheck,
                   public TorCommon_1_3::IProgressListener,
                   public zelio::ReadProgress {
 public:
  // `progress` is None or called as progress(phase, records, total), the
  // total the records a pass reads (0 where unknown: while the data is
  // read, and after the passes).
  explicit PythonHost(pybind11::object progress);
  ~PythonHost() override;
  PythonHost(const PythonHost&) = delete;
  PythonHost& operator=(const PythonHost&) = delete;

  // The component's check, polled before every record: it looks at the
  // clock only every so many calls.
  bool IsInterrupted() override;
  // Looks at the clock on every call, for loops that call it seldom.
  bool Poll();
  void Report(TorCommon_1_3::ProgressReport& report) override;
  void StartPhase(const std::string& phase) override;
  void Records(int64_t count) override;
  void PassEnded(int64_t count) override;
  // Starts a phase that reads `total` records.
  void StartCounted(const std::string& phase, int64_t total);

  // True once a signal handler or the progress callable raised.
  bool stopped() const { return interrupted_; }
  // Raises what a signal handler or the progress callable raised; call with
  // the interpreter lock held, after the work has stopped.
  void RaiseIfInterrupted();

 private:
  // With the lock: runs the signal handlers and, when asked, draws.
  void Visit(bool draw);
  std::string PassName() const;

  pybind11::object progress_;
  bool interrupted_ = false;
  std::unique_ptr<pybind11::error_already_set> raised_;
  uint32_t calls_ = 0;
  std::chrono::steady_clock::time_point lastVisit_;
  std::string phase_;
  int64_t records_ = 0;
  int64_t total_ = 0;
  int64_t passTotal_ = 0;
  int passesEnded_ = 0;
};

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_PYTHONHOST_H_
