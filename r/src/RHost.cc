#include "RHost.h"

#include <R_ext/Print.h>
#include <R_ext/Utils.h>
#include <Rinternals.h>

namespace zelr {

namespace {

void CheckInterrupt(void*) {
  R_CheckUserInterrupt();
}

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
  if (!drawn_.empty()) REprintf("\n");
}

void RHost::Visit(bool draw) {
  // R's check jumps to the top level on an interrupt: here, to the end of
  // R_ToplevelExec, which then answers false.
  if (R_ToplevelExec(CheckInterrupt, nullptr) == FALSE) {
    Stop();
    return;
  }
  if (draw) Draw();
}

void RHost::Draw() {
  if (!progress_ || phase().empty()) return;
  if (!drawn_.empty() && drawn_ != phase()) REprintf("\n");
  drawn_ = phase();
  if (records() > 0) {
    REprintf("\rzelcraft: %s, %s records   ", phase().c_str(), Grouped(records()).c_str());
  } else {
    REprintf("\rzelcraft: %s   ", phase().c_str());
  }
}

}  // namespace zelr
