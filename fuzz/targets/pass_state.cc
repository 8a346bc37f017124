// The statistics states replicas exchange take any bytes. The first input
// byte chooses a build and a pass whose genuine state the rest is merged
// with, both ways, and installed into a replica at that pass; when its low
// bit is set the rest gets a correct checksum first, so that damage past
// the checksum reaches the readers of every statistic kind. Nothing may
// crash or read past the bytes; a refusal is a status.
#include <cstddef>
#include <cstdint>
#include <string>

#include "StateBuilds.h"
#include "statistics/ZelStateBytes.h"

using ZelFrame::ZelFactory;
using ZelFrame::ZelLockstep;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static std::vector<zelfuzz::StateBuild> builds = zelfuzz::MakeStateBuilds();
  if (size == 0 || builds.empty()) return 0;
  std::string state(reinterpret_cast<const char*>(data) + 1, size - 1);
  if ((data[0] & 1) != 0 && state.size() >= 8) {
    const uint64_t sum = ZelStatistic::ZelStateChecksum(state.data(), state.size() - 8);
    for (int i = 0; i < 8; ++i) state[state.size() - 8 + i] = static_cast<char>(sum >> (8 * i));
  }
  zelfuzz::StateBuild& build = builds[(data[0] >> 1) % builds.size()];
  if (build.states.empty()) return 0;
  const std::size_t pass = (data[0] >> 2) % build.states.size();
  std::string merged;
  ZelLockstep::MergeStates(build.states[pass], state, &merged);
  if (!ZelLockstep::MergeStates(state, build.states[pass], &merged).IsError()) state = merged;
  ZelFactory factory;
  auto replica = zelfuzz::ReplicaAt(build, pass, &factory);
  if (replica && !ZelLockstep::InstallState(*replica, state).IsError()) {
    ZelLockstep::FinishPass(*replica);
  }
  return 0;
}
