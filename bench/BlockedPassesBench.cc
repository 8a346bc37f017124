// The data passes of a default preparation against `price` over the
// gemstone table in memory, in blocks on 1 or 2 threads as `zelcraft
// prepare --threads N` runs them (every pass, the replicas' steps included,
// from the first pass to the document's build; loading aside). Other work
// on a shared machine stretches wall times, so each benchmark reports the
// fastest of its iterations (fastest_s) beside the mean, and the processor
// time of the whole process per iteration (cpu_s): on two threads the
// processor time stays about that of one while the wall time halves.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "BenchData.h"
#include "frame/ZelFactory.h"
#include "preparation/BlockFeed.h"
#include "preparation/BlockedBuild.h"
#include "io/HostFields.h"

using ZelFrame::ZelFactory;

namespace {

double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_BlockedPasses(benchmark::State& state) {
  const benchdata::LoadedGems& gems = benchdata::Gems(state.range(0));
  if (!gems.ok) {
    state.SkipWithError(gems.error.c_str());
    return;
  }
  const auto threads = static_cast<std::size_t>(state.range(1));
  zelio::HostFields fields;
  zelio::BuildHostFields(gems.data.plans, gems.data.store, gems.roles, &fields);
  double fastest = 1e300;
  double cpu = 0.0;
  for (auto _ : state) {
    std::vector<ZelFactory> factories(threads);
    std::vector<std::unique_ptr<TorCommon_1_3::ITorAlgorithm>> replicas;
    std::vector<TorCommon_1_3::ITorAlgorithm*> running;
    TorCommon_1_3::TorSettings settings;
    for (ZelFactory& factory : factories) {
      replicas.emplace_back(factory.CreateTorAlgorithm(settings, fields.variables));
      running.push_back(replicas.back().get());
    }
    zelprep::ColumnBlockFeed feed(gems.data.store, fields.columnOf, threads);
    std::string detail;
    const double wall0 = Seconds(CLOCK_MONOTONIC);
    const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const TorCommon_1_3::TorStatus status =
        zelprep::RunBlockedBuild(running, feed, zelio::ReadProgress::Silent(), &detail);
    fastest = std::min(fastest, Seconds(CLOCK_MONOTONIC) - wall0);
    cpu += Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    if (status.IsError()) {
      state.SkipWithError("the preparation failed");
      return;
    }
  }
  state.counters["fastest_s"] = fastest;
  state.counters["cpu_s"] = cpu / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(gems.data.store.rows()));
}
BENCHMARK(BM_BlockedPasses)
    ->Args({1078800, 1})
    ->Args({1078800, 2})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
