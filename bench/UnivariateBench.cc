// Records per second through AddRecord of each univariate statistic, in the
// steady state of a pass: the field's values are already in the table or the
// table is past its limit.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "torcommon13r/RawRecord.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarContHistogram.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"

namespace {

using TorCommon_1_3::RawRecord;

constexpr int kRecords = 4096;

// Field 0 holds the value, field 1 a frequency weight, field 2 an analysis weight.
ZelSettings WeightedSettings() {
  ZelSettings settings;
  settings.frequencyWeightIndex = 1;
  settings.analysisWeightIndex = 2;
  return settings;
}

RawRecord Weighted(int i) {
  RawRecord record(3);
  record[1].SetDouble(1.0 + i % 3);
  record[2].SetDouble(0.5 + (i % 7) * 0.25);
  return record;
}

std::vector<RawRecord> RealRecords(int distinct) {
  std::vector<RawRecord> records;
  for (int i = 0; i < kRecords; ++i) {
    records.push_back(Weighted(i));
    records.back()[0].SetDouble(1e6 + (i * 7919) % distinct * 0.5);
  }
  return records;
}

std::vector<RawRecord> TextRecords(int distinct) {
  std::vector<RawRecord> records;
  for (int i = 0; i < kRecords; ++i) {
    records.push_back(Weighted(i));
    records.back()[0].SetString("category-with-a-long-name-" + std::to_string(i % distinct));
  }
  return records;
}

// Feeds the records once to reach the steady state, then times further passes.
void Feed(benchmark::State& state, ZelStatistic::ZelStatistics& stat,
          const std::vector<RawRecord>& records) {
  for (const RawRecord& record : records) stat.AddRecord(record);
  for (auto _ : state) {
    for (const RawRecord& record : records) benchmark::DoNotOptimize(stat.AddRecord(record));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}

void BM_UnivarCont(benchmark::State& state) {
  const ZelSettings settings = WeightedSettings();
  ZelStatistic::ZelUnivarCont stat(&settings, 0);
  Feed(state, stat, RealRecords(1000));
}
BENCHMARK(BM_UnivarCont);

void BM_UnivarNumericCatNominal(benchmark::State& state) {
  const ZelSettings settings = WeightedSettings();
  ZelStatistic::ZelUnivarNumericCat stat(&settings, 0, true);
  Feed(state, stat, RealRecords(50));
}
BENCHMARK(BM_UnivarNumericCatNominal);

void BM_UnivarNumericCatOrdinal(benchmark::State& state) {
  const ZelSettings settings = WeightedSettings();
  ZelStatistic::ZelUnivarNumericCat stat(&settings, 0, false);
  Feed(state, stat, RealRecords(8));
}
BENCHMARK(BM_UnivarNumericCatOrdinal);

void BM_UnivarStringCat(benchmark::State& state) {
  const ZelSettings settings = WeightedSettings();
  ZelStatistic::ZelUnivarStringCat stat(&settings, 0);
  Feed(state, stat, TextRecords(50));
}
BENCHMARK(BM_UnivarStringCat);

void BM_UnivarContHistogram(benchmark::State& state) {
  const ZelSettings settings = WeightedSettings();
  const std::vector<RawRecord> records = RealRecords(1000);
  ZelStatistic::ZelUnivarCont univariate(&settings, 0);
  for (const RawRecord& record : records) univariate.AddRecord(record);
  univariate.Finalize();
  ZelStatistic::ZelUnivarContHistogram stat(&settings, 0);
  stat.SetUpHistogram(univariate);
  Feed(state, stat, records);
}
BENCHMARK(BM_UnivarContHistogram);

}  // namespace
