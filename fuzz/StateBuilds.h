// What fuzz_pass_state and its seeds share: two small builds (a continuous
// target with Box-Cox, a categorical one) whose data passes between them
// fill every statistic kind, run in lockstep by one replica each, with the
// state of every pass that reads; and a replica brought to any such pass by
// installing the states before it.
#ifndef ZELCRAFT_FUZZ_STATEBUILDS_H_
#define ZELCRAFT_FUZZ_STATEBUILDS_H_

#include <memory>
#include <string>
#include <vector>

#include "FuzzHost.h"
#include "frame/ZelLockstep.h"

namespace zelfuzz {

struct StateBuild {
  zelio::LoadedData data;
  zelio::FieldRoles roles;
  TorCommon_1_3::TorSettings settings;
  zelio::HostFields fields;
  std::vector<std::string> states;  // of the passes that read, in order
};

inline std::string StateData() {
  std::string csv = "x,y,word,grade,t,label\n";
  const char* const words[] = {"alpha", "beta", "gamma", "delta"};
  for (int i = 0; i < 120; ++i) {
    const double x = (i * 37 % 101) * 0.5 + (i % 29 == 0 ? 300 : 0);
    csv += (i % 13 == 0 ? std::string() : std::to_string(x)) + "," +
           std::to_string(x * 0.3 + i % 7) + "," + words[i * 3 % 4] + "," +
           std::to_string(i % 3) + "," + std::to_string(5 + x * 0.2 + i % 5) + "," +
           (x + i % 11 > 30 ? "yes" : "no") + "\n";
  }
  return csv;
}

// A replica of `build` that has run every pass before reading pass
// `reading` (0: the first that reads) and started that one; null on failure.
inline std::unique_ptr<TorCommon_1_3::ITorAlgorithm> ReplicaAt(StateBuild& build,
                                                               std::size_t reading,
                                                               ZelFrame::ZelFactory* factory) {
  std::unique_ptr<TorCommon_1_3::ITorAlgorithm> replica(
      factory->CreateTorAlgorithm(build.settings, build.fields.variables));
  if (!replica || ZelFrame::ZelLockstep::Begin(*replica).IsError()) return nullptr;
  std::size_t read = 0;
  for (;;) {
    bool reads = false;
    bool done = false;
    if (ZelFrame::ZelLockstep::StartPass(*replica, &reads, &done).IsError() || done) return nullptr;
    if (reads) {
      if (read == reading) return replica;
      if (read >= build.states.size() ||
          ZelFrame::ZelLockstep::InstallState(*replica, build.states[read]).IsError()) {
        return nullptr;
      }
      ++read;
    }
    if (ZelFrame::ZelLockstep::FinishPass(*replica).IsError()) return nullptr;
  }
}

// Loads and runs both builds, keeping every pass's state.
inline std::vector<StateBuild> MakeStateBuilds() {
  std::vector<StateBuild> builds(2);
  builds[0].roles.target = "t";
  builds[0].settings.SetBool("rescaleScaleTargetUsingBoxCox", true);
  builds[0].settings.SetDouble("targetSD", 1.0);
  builds[1].roles.target = "label";
  for (StateBuild& build : builds) {
    if (!Load(StateData(), ',', zelio::Schema(), build.roles, &build.data)) return {};
    zelio::BuildHostFields(build.data.plans, build.data.store, build.roles, &build.fields);
    zelio::ColumnRecordSource source(build.data.store, build.fields.columnOf,
                                     zelio::ReadProgress::Silent());
    for (;;) {
      ZelFrame::ZelFactory factory;
      auto replica = ReplicaAt(build, build.states.size(), &factory);
      if (!replica) break;
      std::string state;
      if (ZelFrame::ZelLockstep::ReadRows(*replica, &source, &state).IsError()) break;
      build.states.push_back(state);
    }
  }
  return builds;
}

}  // namespace zelfuzz

#endif  // ZELCRAFT_FUZZ_STATEBUILDS_H_
