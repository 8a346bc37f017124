// Writing the field statistics of the document: 200 text fields of 100
// categories each (two arrays of 100 entries per field), and 200 continuous
// fields with their 400-bin histograms, from finished statistics to the
// serialised XML.
#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "pmml/ZelUnivariateStatsPMML.h"
#include "settings/ZelVariableHandleList.h"
#include "statistics/ZelCreateStatistics.h"
#include "torcommon13r/TorXML.h"

namespace {

using namespace TorCommon_1_3;

constexpr int kFields = 200;
constexpr int kCategories = 100;
constexpr int kRecords = 2000;

// The fields of `variables`, fed `kRecords` records whose value of field f
// in record i is `value(i, f)`; with `histograms`, also the histogram pass.
class FinishedFields {
 public:
  template <typename Value>
  FinishedFields(bool histograms, Value value) : list_(&settings_) {
    for (int f = 0; f < kFields; ++f) {
      const std::string name = "field_" + std::to_string(f);
      if (histograms) {
        variables_.emplace_back(new TorContVar(name, "", kRoleInput));
      } else {
        variables_.emplace_back(
            new TorCatVar(name, "", 10, kLevelCategoricalString, kRoleInput, false));
      }
      list_.AddField(*variables_.back());
    }
    Pass(value);
    if (!histograms) return;
    ZelStatistic::CreateStatistics(&list_, {ZelStatistic::StatisticRequest::kHistogram});
    Pass(value);
  }
  const ZelVariableHandleList& list() const { return list_; }

 private:
  template <typename Value>
  void Pass(Value value) {
    list_.BeginPass();
    RawRecord record(kFields);
    for (int i = 0; i < kRecords; ++i) {
      for (int f = 0; f < kFields; ++f) value(i, f, &record[f]);
      list_.ProcessRecord(record);
    }
    list_.EndPass();
  }

  ZelSettings settings_;
  std::vector<std::unique_ptr<ITorVariable>> variables_;
  ZelVariableHandleList list_;
};

void WriteStatistics(benchmark::State& state, const ZelVariableHandleList& list) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::unique_ptr<TorXML_1_3::XMLElement> vendor(TorXML_1_3::XMLElement::Create("Zelcraft"));
    benchmark::DoNotOptimize(ZelPMML::AppendUnivariateStats(vendor.get(), list));
    std::ostringstream out;
    TorXML_1_3::WriteTree(out, nullptr, vendor.get(), true);
    bytes = out.str().size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_StatisticsOutput_200FieldsOf100Categories(benchmark::State& state) {
  static const FinishedFields fields(false, [](int i, int f, RawData* value) {
    value->SetString("category \"" + std::to_string((i * 7 + f) % kCategories) + "\" & co");
  });
  WriteStatistics(state, fields.list());
}
BENCHMARK(BM_StatisticsOutput_200FieldsOf100Categories)->Unit(benchmark::kMillisecond);

void BM_StatisticsOutput_200ContinuousFieldsWithHistograms(benchmark::State& state) {
  static const FinishedFields fields(true, [](int i, int f, RawData* value) {
    value->SetDouble(((i * 7919 + f * 104729) % 10007) * 0.37);
  });
  WriteStatistics(state, fields.list());
}
BENCHMARK(BM_StatisticsOutput_200ContinuousFieldsWithHistograms)->Unit(benchmark::kMillisecond);

}  // namespace
