// The data passes of a whole default preparation against a continuous
// target, over the gemstone table loaded into memory columns, the way
// `zelcraft prepare` runs them. Each pass's wall time is taken from the
// component's progress milestones and reported as million field values per
// second (rows times fields handed over, divided by the pass time); a pass
// that reads nothing shows as its step time alone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "BenchData.h"
#include "io/ColumnRecordSource.h"
#include "io/HostFields.h"
#include "frame/ZelFactory.h"
#include "frame/ZelReporter.h"

namespace {

using Clock = std::chrono::steady_clock;

// Records the wall time of every completed data pass.
class PassTimer : public TorCommon_1_3::IProgressListener {
 public:
  void Report(TorCommon_1_3::ProgressReport& report) override {
    const Clock::time_point now = Clock::now();
    const int stage = report.DiscreteMeasure("BuildStage");
    if (stage == ZelReporterConst::StageDataPass) {
      seconds.push_back(std::chrono::duration<double>(now - last_).count());
    }
    last_ = now;
  }
  std::vector<double> seconds;

 private:
  Clock::time_point last_ = Clock::now();
};

void BM_PreparePasses(benchmark::State& state) {
  const benchdata::LoadedGems& gems = benchdata::Gems(state.range(0));
  if (!gems.ok) {
    state.SkipWithError(gems.error.c_str());
    return;
  }
  std::vector<double> total(7, 0.0);
  for (auto _ : state) {
    zelio::HostFields fields;
    zelio::BuildHostFields(gems.data.plans, gems.data.store, gems.roles, &fields);
    TorCommon_1_3::TorSettings settings;
    ZelFactory factory;
    std::unique_ptr<TorCommon_1_3::ITorAlgorithm> algorithm(
        factory.CreateTorAlgorithm(settings, fields.variables));
    PassTimer timer;
    algorithm->SetProgressListener(&timer);
    zelio::ReadProgress& progress = zelio::ReadProgress::Silent();
    zelio::ColumnRecordSource source(gems.data.store, fields.columnOf, progress);
    const TorCommon_1_3::TorStatus status = algorithm->Execute(&source);
    if (status.IsError()) {
      state.SkipWithError("the preparation failed");
      return;
    }
    for (std::size_t i = 0; i < timer.seconds.size() && i < total.size(); ++i) {
      total[i] += timer.seconds[i];
    }
  }
  const double values = static_cast<double>(gems.data.store.rows()) *
                        static_cast<double>(gems.data.store.columns.size());
  for (std::size_t i = 0; i < total.size(); ++i) {
    const double perPass = total[i] / static_cast<double>(state.iterations());
    state.counters["pass" + std::to_string(i + 1) + "_MValues/s"] =
        perPass > 0.0 ? values / perPass / 1e6 : 0.0;
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(gems.data.store.rows()));
}
BENCHMARK(BM_PreparePasses)->Arg(200000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
