// PythonHost: what the component and the data-source library call back
// while they work without the interpreter lock (host/HostCallbacks.h). A
// look at the interpreter takes the lock to let it run its signal handlers,
// so Ctrl-C stops a build promptly; the exception a handler raised is kept
// and raised again once the work has stopped. Progress (phases, records
// read, passes) goes to a Python callable, at most ten times a second and
// at the end of every pass.
#ifndef ZELCRAFT_PYTHON_PYTHONHOST_H_
#define ZELCRAFT_PYTHON_PYTHONHOST_H_

#include <pybind11/pybind11.h>

#include <memory>

#include "host/HostCallbacks.h"

namespace zelpy {

class PythonHost : public zelhost::HostCallbacks {
 public:
  // `progress` is None or called as progress(phase, records, total), the
  // total the records the phase reads (0 where unknown).
  explicit PythonHost(pybind11::object progress);
  ~PythonHost() override;
  PythonHost(const PythonHost&) = delete;
  PythonHost& operator=(const PythonHost&) = delete;

  // Raises what a signal handler or the progress callable raised; call with
  // the interpreter lock held, after the work has stopped.
  void RaiseIfInterrupted();

 private:
  // With the lock: runs the signal handlers and, when asked, draws.
  void Visit(bool draw) override;
  // A pass shows its end before the next one starts.
  void PhaseDone() override { Visit(true); }

  pybind11::object progress_;
  std::unique_ptr<pybind11::error_already_set> raised_;
};

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_PYTHONHOST_H_
