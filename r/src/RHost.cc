#include "RHost.h"

#include <R_ext/Print.h>
#include <R_ext/Utils.h>
#include <Rinternals.h>

namespace zelr {

namespace {

constexpr auto kVisitInterval = std::chrono::milliseconds(100);
// Calls between two looks at the clock: the component polls before every
// record.
constexpr uint32_t kCallsPerLook = 8;

void CheckInterrupt(void*) { R_CheckUserInterrupt(); }

// "1,234,567".
std::string Grouped(int64_t count) {
  std::string digits = std::to_string(count);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return digits;
}

}  // namespace

RHost::~RHost() {
  if (drawn_) REprintf("\n");
}

bool RHost::IsInterrupted() {
  if (interrupted_) return true;
  return ++calls_ % kCallsPerLook == 0 && Poll();
}

bool RHost::Poll() {
  if (!interrupted_ && std::chrono::steady_clock::now() - lastVisit_ >= kVisitInterval) {
    Visit(false);
  }
  return interrupted_;
}

void RHost::Visit(bool draw) {
  lastVisit_ = std::chrono::steady_clock::now();
  // R's check jumps to the top level on an interrupt: here, to the end of
  // R_ToplevelExec, which then answers false.
  if (R_ToplevelExec(CheckInterrupt, nullptr) == FALSE) interrupted_ = true;
  if (draw && !interrupted_) Draw();
}

void RHost::Draw() {
  if (!progress_ || phase_.empty()) return;
  if (records_ > 0) {
    REprintf("\rzelcraft: %s, %s records   ", phase_.c_str(), Grouped(records_).c_str());
  } else {
    REprintf("\rzelcraft: %s   ", phase_.c_str());
  }
  drawn_ = true;
}

void RHost::Report(TorCommon_1_3::ProgressReport& report) {
  const std::string phase = phases_.ForStage(report);
  if (!phase.empty()) StartPhase(phase);
}

void RHost::StartPhase(const std::string& phase) {
  if (drawn_) {
    REprintf("\n");
    drawn_ = false;
  }
  phase_ = phase;
  records_ = 0;
  Visit(true);
}

void RHost::Records(int64_t count) {
  records_ = count;
  if (std::chrono::steady_clock::now() - lastVisit_ >= kVisitInterval) Visit(true);
}

void RHost::PassEnded(int64_t count) {
  records_ = count;
  Draw();
  StartPhase(phases_.AfterPass());
}

}  // namespace zelr
