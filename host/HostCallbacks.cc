#include "host/HostCallbacks.h"

#include <algorithm>

#include "frame/ZelReporter.h"

namespace zelhost {

namespace {

constexpr auto kLookInterval = std::chrono::milliseconds(100);
// Calls between two looks at the clock: a poll comes before every record of a
// record source, but also once per 100 ms round of a wait for a pipe's writer,
// so a Ctrl-C there is seen within a second.
constexpr uint32_t kCallsPerLook = 8;
constexpr int kPasses = 7;

}  // namespace

bool HostCallbacks::IsInterrupted() {
  if (interrupted_) return true;
  return ++calls_ % kCallsPerLook == 0 && Poll();
}

bool HostCallbacks::Poll() {
  if (!interrupted_ && std::chrono::steady_clock::now() - lastLook_ >= kLookInterval) {
    Look(false);
  }
  return interrupted_;
}

void HostCallbacks::Look(bool draw) {
  lastLook_ = std::chrono::steady_clock::now();
  Visit(draw);
}

void HostCallbacks::Report(TorCommon_1_3::ProgressReport& report) {
  const int stage = report.DiscreteMeasure("BuildStage");
  if (stage == ZelReporterConst::StagePrepared) {
    // Every pass reads the records the data held when it was read.
    dataTotal_ = std::max(dataTotal_, records_);
    passesEnded_ = 0;
    StartPhase(PassName());
  } else if (stage == ZelReporterConst::StagePassesDone) {
    StartPhase("writing");
  }
}

void HostCallbacks::StartPhase(const std::string& phase) {
  StartCounted(phase, phase.compare(0, 5, "pass ") == 0 ? dataTotal_ : 0);
}

void HostCallbacks::StartCounted(const std::string& phase, int64_t total) {
  phase_ = phase;
  records_ = 0;
  phaseTotal_ = total;
  Look(true);
}

void HostCallbacks::Records(int64_t count) {
  records_ = count;
  if (std::chrono::steady_clock::now() - lastLook_ >= kLookInterval) Look(true);
}

void HostCallbacks::PassEnded(int64_t count) {
  records_ = count;
  dataTotal_ = std::max(dataTotal_, count);
  PhaseDone();
  ++passesEnded_;
  StartPhase(PassName());
}

std::string HostCallbacks::PassName() const {
  if (passesEnded_ >= kPasses) return "finishing";
  return "pass " + std::to_string(passesEnded_ + 1) + "/" + std::to_string(kPasses);
}

}  // namespace zelhost
