// The supervised merge search over a nominal input of 250 to 1,000
// categories against a target of three: the step alone, on statistics
// gathered beforehand. The categories follow four answer patterns, so that
// nearly every category is merged and the search runs its full course.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "settings/ZelVariableHandleList.h"
#include "statistics/ZelCreateStatistics.h"
#include "transformation/ZelOperationHandler.h"

namespace {

using namespace TorCommon_1_3;

void Pass(ZelVariableHandleList* list, const std::vector<RawRecord>& records) {
  list->BeginPass();
  for (const RawRecord& record : records) list->ProcessRecord(record);
  list->EndPass();
}

void BM_SupervisedMergeSearch(benchmark::State& state) {
  const int categories = static_cast<int>(state.range(0));
  ZelSettings settings;
  settings.screeningThresholdForNominal = 2 * categories;
  const int patterns[4][3] = {{6, 3, 3}, {3, 6, 3}, {3, 3, 6}, {4, 4, 4}};
  std::vector<RawRecord> records;
  for (int category = 0; category < categories; ++category) {
    for (int answer = 0; answer < 3; ++answer) {
      for (int n = 0; n < patterns[(category * 7 + category / 5) % 4][answer]; ++n) {
        RawRecord record(2);
        record[0].SetInteger(answer);
        record[1].SetInteger(category);
        records.push_back(record);
      }
    }
  }
  const TorCatVar target("answer", "", 10, kLevelCategorical, kRoleTarget, false);
  const TorCatVar input("input", "", 10, kLevelCategorical, kRoleInput, false);
  for (auto _ : state) {
    state.PauseTiming();
    ZelVariableHandleList list(&settings);
    list.AddField(target);
    list.AddField(input);
    Pass(&list, records);
    ZelStatistic::CreateStatistics(&list, {ZelStatistic::StatisticRequest::kTarget});
    Pass(&list, records);
    std::vector<TorStatus> warnings;
    std::unique_ptr<ZelTransformation::ZelOperationHandler> merge(
        ZelTransformation::CreateHandler({9, 38}, &list, &warnings));
    state.ResumeTiming();
    benchmark::DoNotOptimize(merge->Run());
    if (list.Count() != 3) state.SkipWithError("nothing was merged");
  }
  state.SetComplexityN(categories);
}
BENCHMARK(BM_SupervisedMergeSearch)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
