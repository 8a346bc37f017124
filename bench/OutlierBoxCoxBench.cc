// Records per second through the per-record work of the outlier, missing-
// value and target steps: AddRecord of the outlier and Box-Cox statistics
// and Apply of the rules their handlers derive, in the steady state of a
// pass.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "settings/ZelSettings.h"
#include "statistics/ZelBoxCox.h"
#include "statistics/ZelOutlier.h"
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelBoxCoxFunctionRule.h"
#include "transformation/ZelMissingValueMappingRule.h"
#include "transformation/ZelOutlierFunctionRule.h"

namespace {

using TorCommon_1_3::RawRecord;
using namespace ZelTransformation;

constexpr int kRecords = 4096;

// Field 0 holds a real value (every 16th missing), field 1 a frequency
// weight, field 2 an analysis weight, field 3 a text (every 8th missing).
std::vector<RawRecord> Records() {
  std::vector<RawRecord> records;
  for (int i = 0; i < kRecords; ++i) {
    RawRecord record(4);
    if (i % 16 == 0) {
      record[0].SetMissingValue(TorCommon_1_3::kStorageReal);
    } else {
      record[0].SetDouble(1000.0 + (i * 7919) % 1000 * 0.5 + (i % 97 == 0 ? 5000.0 : 0.0));
    }
    record[1].SetDouble(1.0 + i % 3);
    record[2].SetDouble(0.5 + (i % 7) * 0.25);
    if (i % 8 == 0) {
      record[3].SetMissingValue(TorCommon_1_3::kStorageString);
    } else {
      record[3].SetString("category-with-a-long-name-" + std::to_string(i % 50));
    }
    records.push_back(record);
  }
  return records;
}

ZelSettings WeightedSettings() {
  ZelSettings settings;
  settings.frequencyWeightIndex = 1;
  settings.analysisWeightIndex = 2;
  return settings;
}

void Feed(benchmark::State& state, ZelStatistic::ZelStatistics& stat) {
  const std::vector<RawRecord> records = Records();
  for (const RawRecord& record : records) stat.AddRecord(record);
  for (auto _ : state) {
    for (const RawRecord& record : records) benchmark::DoNotOptimize(stat.AddRecord(record));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}

void Apply(benchmark::State& state, ZelTransformRule& rule) {
  const std::vector<RawRecord> records = Records();
  for (const RawRecord& record : records) rule.Apply(record);
  for (auto _ : state) {
    for (const RawRecord& record : records) benchmark::DoNotOptimize(&rule.Apply(record));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}

void BM_Outlier(benchmark::State& state) {
  const ZelSettings settings = WeightedSettings();
  ZelStatistic::ZelOutlier stat(&settings, 0, 1250.0, 300.0, 10000.0, 8000);
  Feed(state, stat);
}
BENCHMARK(BM_Outlier);

// Thirteen exponents, each a power and a summary update per record.
void BM_BoxCox(benchmark::State& state) {
  const ZelSettings settings = WeightedSettings();
  ZelStatistic::ZelBoxCox stat(&settings, 0, -3.0, 3.0, 0.5, 1000.0, 1.0, 0.0);
  Feed(state, stat);
}
BENCHMARK(BM_BoxCox);

void BM_OutlierRule(benchmark::State& state) {
  ZelOutlierFunctionRule rule({Step::kOutlierIdentification, Action::kTrimOutliersToExtreme});
  rule.AddInput("x", 0);
  for (double p : {2.0, 1.0, 1250.0, 150.0, 3.0}) rule.AddParameter(p);
  Apply(state, rule);
}
BENCHMARK(BM_OutlierRule);

void BM_MissingValueRule(benchmark::State& state) {
  ZelMissingValueMappingRule rule(
      {Step::kHandleMissingValue, Action::kReplaceMissingNominalFeature});
  rule.AddInput("s", 3);
  rule.AddTextParameter("category-with-a-long-name-7");
  Apply(state, rule);
}
BENCHMARK(BM_MissingValueRule);

void BM_BoxCoxRule(benchmark::State& state) {
  ZelBoxCoxFunctionRule rule;
  rule.AddInput("y", 0);
  rule.SetTransform(0.5, 999.0, 3.0, 20.0, 1.0, 0.0);
  Apply(state, rule);
}
BENCHMARK(BM_BoxCoxRule);

}  // namespace
