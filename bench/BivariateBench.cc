// Records per second through AddRecord of the statistics against the target,
// in the steady state of the bivariate pass, with an input of 1,000
// categories against a target of 50: each record costs a category lookup
// and a table update, whatever the number of records.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "torcommon13r/RawRecord.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelBivarCatTargetCat.h"
#include "statistics/ZelBivarCatTargetCont.h"
#include "statistics/ZelBivarCatTargetContPredictivePower.h"
#include "statistics/ZelBivarContCont.h"
#include "statistics/ZelBivarContTargetCat.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"

namespace {

using TorCommon_1_3::RawRecord;

constexpr int kRecords = 8192;
constexpr int kInputCategories = 1000;
constexpr int kTargetCategories = 50;
constexpr int kContinuousFields = 10;

// Fields: 0 a text input, 1 the same categories as numbers, 2 the target's
// category, 3 a frequency weight, 4 an analysis weight, 5 … continuous values.
ZelSettings BenchSettings() {
  ZelSettings settings;
  settings.frequencyWeightIndex = 3;
  settings.analysisWeightIndex = 4;
  settings.screeningThresholdForNominal = 2 * kInputCategories;
  return settings;
}

std::vector<RawRecord> Records() {
  std::vector<RawRecord> records;
  for (int i = 0; i < kRecords; ++i) {
    RawRecord record(5 + kContinuousFields);
    const int category = (i * 7919) % kInputCategories;
    record[0].SetString("category-with-a-long-name-" + std::to_string(category));
    record[1].SetDouble(category);
    record[2].SetInteger((i * 104729) % kTargetCategories);
    record[3].SetDouble(1.0 + i % 3);
    record[4].SetDouble(0.5 + (i % 7) * 0.25);
    for (int f = 0; f < kContinuousFields; ++f) record[5 + f].SetDouble((i * (f + 3)) % 1001 * 0.1);
    records.push_back(record);
  }
  return records;
}

// The finished univariate statistics the category lists and bins come from.
struct Univariates {
  explicit Univariates(const ZelSettings* settings, const std::vector<RawRecord>& records)
      : text(settings, 0), numbers(settings, 1, true), target(settings, 2, true), cont(settings, 5) {
    for (const RawRecord& record : records) {
      text.AddRecord(record);
      numbers.AddRecord(record);
      target.AddRecord(record);
      cont.AddRecord(record);
    }
    text.Finalize();
    numbers.Finalize();
    target.Finalize();
    cont.Finalize();
  }
  ZelStatistic::ZelUnivarStringCat text;
  ZelStatistic::ZelUnivarNumericCat numbers;
  ZelStatistic::ZelUnivarNumericCat target;
  ZelStatistic::ZelUnivarCont cont;
};

void Feed(benchmark::State& state, ZelStatistic::ZelStatistics& stat,
          const std::vector<RawRecord>& records) {
  for (auto _ : state) {
    for (const RawRecord& record : records) benchmark::DoNotOptimize(stat.AddRecord(record));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}

void BM_BivarCatTargetCatText(benchmark::State& state) {
  const ZelSettings settings = BenchSettings();
  const std::vector<RawRecord> records = Records();
  const Univariates u(&settings, records);
  ZelStatistic::ZelBivarCatTargetCat stat(&settings, 0, 2, true);
  stat.InitCategories(&u.text, &u.target);
  Feed(state, stat, records);
}
BENCHMARK(BM_BivarCatTargetCatText);

void BM_BivarCatTargetCatNumeric(benchmark::State& state) {
  const ZelSettings settings = BenchSettings();
  const std::vector<RawRecord> records = Records();
  const Univariates u(&settings, records);
  ZelStatistic::ZelBivarCatTargetCat stat(&settings, 1, 2, true);
  stat.InitCategories(&u.numbers, &u.target);
  Feed(state, stat, records);
}
BENCHMARK(BM_BivarCatTargetCatNumeric);

void BM_BivarContTargetCat(benchmark::State& state) {
  const ZelSettings settings = BenchSettings();
  const std::vector<RawRecord> records = Records();
  const Univariates u(&settings, records);
  ZelStatistic::ZelBivarContTargetCat stat(&settings, 0, 5);
  stat.InitCategories(&u.text, &u.cont);
  Feed(state, stat, records);
}
BENCHMARK(BM_BivarContTargetCat);

void BM_BivarCatTargetCont(benchmark::State& state) {
  const ZelSettings settings = BenchSettings();
  const std::vector<RawRecord> records = Records();
  const Univariates u(&settings, records);
  ZelStatistic::ZelBivarCatTargetCont stat(&settings, 5, 2);
  stat.InitCategories(&u.cont, &u.target);
  Feed(state, stat, records);
}
BENCHMARK(BM_BivarCatTargetCont);

void BM_BivarCatTargetContPredictivePower(benchmark::State& state) {
  const ZelSettings settings = BenchSettings();
  const std::vector<RawRecord> records = Records();
  const Univariates u(&settings, records);
  ZelStatistic::ZelBivarCatTargetContPredictivePower stat(&settings, 5, 2);
  stat.InitCategories(&u.cont, &u.target);
  Feed(state, stat, records);
}
BENCHMARK(BM_BivarCatTargetContPredictivePower);

// Ten continuous fields: 55 pairs per record.
void BM_BivarContCont(benchmark::State& state) {
  const ZelSettings settings = BenchSettings();
  const std::vector<RawRecord> records = Records();
  std::vector<int> fields;
  for (int f = 0; f < kContinuousFields; ++f) fields.push_back(5 + f);
  ZelStatistic::ZelBivarContCont stat(&settings, fields);
  Feed(state, stat, records);
}
BENCHMARK(BM_BivarContCont);

}  // namespace
