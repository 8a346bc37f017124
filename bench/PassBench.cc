// Throughput of one data pass per record: the record transformer (weights,
// user-missing values) and the field list feeding the univariate statistics.
#include <benchmark/benchmark.h>

#include "frame/ZelRecordTransformer.h"
#include "settings/ZelVariableHandleList.h"

using ZelFrame::ZelRecordTransformer;

using namespace TorCommon_1_3;

static void BM_TransformAndFeed(benchmark::State& state) {
  ZelSettings settings;
  settings.frequencyWeightIndex = 3;
  ZelVariableHandleList fields(&settings);
  TorContVar x("x", "", kRoleInput);
  x.GetEncoder()->AddMissingValue(-99.0);
  x.GetEncoder()->SetMissingRange(-1000.0, -500.0);
  TorContVar y("y", "", kRoleInput);
  TorCatVar s("s", "", 10, kLevelCategoricalString, kRoleInput, false);
  s.GetEncoder()->AddMissingString("?");
  TorContVar f("f", "", kRoleInput);
  fields.AddField(x);
  fields.AddField(y);
  fields.AddField(s);
  fields.AddField(f);

  std::vector<RawRecord> records;
  const char* words[] = {"alpha", "beta", "gamma", "delta", "?"};
  for (int i = 0; i < 1024; ++i) {
    RawRecord r(4);
    r[0].SetDouble(i % 7 == 0 ? -99.0 : i * 0.5);
    r[1].SetInteger(i % 13);
    r[2].SetString(words[i % 5]);
    r[3].SetDouble(1.0 + (i % 3));
    records.push_back(r);
  }
  fields.BeginPass();
  ZelRecordTransformer transformer(&fields);
  std::size_t i = 0;
  for (auto _ : state) {
    const RawRecord& working = transformer.Transform(records[i++ & 1023]);
    if (transformer.IsUsable()) benchmark::DoNotOptimize(fields.ProcessRecord(working));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TransformAndFeed);
