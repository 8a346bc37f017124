#include "PythonHost.h"

namespace zelpy {

namespace py = pybind11;

namespace {

constexpr auto kVisitInterval = std::chrono::milliseconds(100);
// Calls between two looks at the clock: a poll comes before every record of a
// record source, but also once per 100 ms round of a wait for a pipe's writer,
// so a Ctrl-C there is seen within a second.
constexpr uint32_t kCallsPerLook = 8;

}  // namespace

PythonHost::PythonHost(py::object progress)
    : progress_(std::move(progress)), lastVisit_(std::chrono::steady_clock::now()) {}

PythonHost::~PythonHost() {
  // The kept exception and the callable are released with the lock held.
  py::gil_scoped_acquire lock;
  raised_.reset();
  progress_ = py::object();
}

bool PythonHost::IsInterrupted() {
  if (interrupted_) return true;
  return ++calls_ % kCallsPerLook == 0 && Poll();
}

bool PythonHost::Poll() {
  if (!interrupted_ && std::chrono::steady_clock::now() - lastVisit_ >= kVisitInterval) {
    Visit(false);
  }
  return interrupted_;
}

void PythonHost::Visit(bool draw) {
  lastVisit_ = std::chrono::steady_clock::now();
  py::gil_scoped_acquire lock;
  try {
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
    if (draw && !progress_.is_none()) progress_(phase_, records_);
  } catch (py::error_already_set& error) {
    interrupted_ = true;
    if (!raised_) raised_ = std::make_unique<py::error_already_set>(std::move(error));
  }
}

void PythonHost::RaiseIfInterrupted() {
  if (!raised_) return;
  py::error_already_set error = std::move(*raised_);
  raised_.reset();
  throw error;
}

void PythonHost::Report(TorCommon_1_3::ProgressReport& report) {
  const std::string phase = phases_.ForStage(report);
  if (!phase.empty()) StartPhase(phase);
}

void PythonHost::StartPhase(const std::string& phase) {
  phase_ = phase;
  records_ = 0;
  Visit(true);
}

void PythonHost::Records(int64_t count) {
  records_ = count;
  if (std::chrono::steady_clock::now() - lastVisit_ >= kVisitInterval) Visit(true);
}

void PythonHost::PassEnded(int64_t count) {
  records_ = count;
  StartPhase(phases_.AfterPass());
}

}  // namespace zelpy
