// RHost: what the component and the data-source library call back while a
// preparation or replay runs from R (host/HostCallbacks.h), always on R's
// own thread; the build's other threads see a stop through the run's relay.
// A look at R asks whether Ctrl-C was pressed inside R_ToplevelExec, so
// that R's jump never crosses C++ frames; the binding raises R's interrupt
// once the work has stopped and let go of everything. With progress on,
// each phase (reading, a pass, writing) draws one line on the console,
// redrawn in place as records are read and ended when the next phase starts.
#ifndef ZELCRAFT_R_RHOST_H_
#define ZELCRAFT_R_RHOST_H_

#include <string>

#include "host/HostCallbacks.h"

namespace zelr {

class RHost : public zelhost::HostCallbacks {
 public:
  explicit RHost(bool progress) : progress_(progress) {}
  ~RHost() override;
  RHost(const RHost&) = delete;
  RHost& operator=(const RHost&) = delete;

 private:
  void Visit(bool draw) override;
  void PhaseDone() override { Draw(); }
  void Draw();

  bool progress_;
  std::string drawn_;  // the phase whose line is on the console, if any
};

}  // namespace zelr

#endif  // ZELCRAFT_R_RHOST_H_
