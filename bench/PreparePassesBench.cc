// The data passes of a whole default preparation against a continuous
// target, over the gemstone table loaded into memory columns, the way
// `zelcraft prepare` runs them. Each pass's time is taken from the
// component's progress milestones and reported as million field values per
// second (rows times fields handed over, divided by the pass time); a pass
// that reads nothing shows as its step time alone. The time is the thread's
// processor time, which other work on a shared machine does not stretch as
// it stretches the wall time.
#include <benchmark/benchmark.h>

#include <time.h>

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

using ZelFrame::ZelFactory;

namespace {

// The processor time of the calling thread, in seconds.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Records the processor time of every completed data pass.
class PassTimer : public TorCommon_1_3::IProgressListener {
 public:
  void Report(TorCommon_1_3::ProgressReport& report) override {
    const double now = ThreadSeconds();
    const int stage = report.DiscreteMeasure("BuildStage");
    if (stage == ZelReporterConst::StageDataPass) seconds.push_back(now - last_);
    last_ = now;
  }
  std::vector<double> seconds;

 private:
  double last_ = ThreadSeconds();
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
