#include "PythonHost.h"

#include <algorithm>

#include "frame/ZelReporter.h"

namespace zelpy {

namespace py = pybind11;

namespace {

constexpr auto kVisitInterval = std::chrono::milliseconds(100);
// Calls between two looks at the clock: a poll comes before every record of a
// record source, but also once per 100 ms round of a wait for a pipe's writer,
// so a Ctrl-C there is seen within a second.
constexpr uint32_t kCallsPerLook = 8;
constexpr int kPasses = 7;

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
    if (draw && !progress_.is_none()) progress_(phase_, records_, passTotal_);
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
  const int stage = report.DiscreteMeasure("BuildStage");
  if (stage == ZelReporterConst::StagePrepared) {
    // Every pass reads the records the data held when it was read.
    total_ = std::max(total_, records_);
    passesEnded_ = 0;
    StartPhase(PassName());
  } else if (stage == ZelReporterConst::StagePassesDone) {
    StartPhase("writing");
  }
}

void PythonHost::StartPhase(const std::string& phase) {
  StartCounted(phase, phase.compare(0, 5, "pass ") == 0 ? total_ : 0);
}

void PythonHost::StartCounted(const std::string& phase, int64_t total) {
  phase_ = phase;
  records_ = 0;
  passTotal_ = total;
  Visit(true);
}

void PythonHost::Records(int64_t count) {
  records_ = count;
  if (std::chrono::steady_clock::now() - lastVisit_ >= kVisitInterval) Visit(true);
}

void PythonHost::PassEnded(int64_t count) {
  // The pass shows its end before the next one starts.
  records_ = count;
  total_ = std::max(total_, count);
  Visit(true);
  ++passesEnded_;
  StartPhase(PassName());
}

std::string PythonHost::PassName() const {
  if (passesEnded_ >= kPasses) return "finishing";
  return "pass " + std::to_string(passesEnded_ + 1) + "/" + std::to_string(kPasses);
}

}  // namespace zelpy
