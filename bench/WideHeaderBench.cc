// A data set of 100,000 fields and a handful of records, built end to end
// through the factory and written as a document: every step that walks the
// fields must stay near n log n for this to take seconds, not minutes.
// Half the fields have few distinct values (they are recast to ordinal and
// so get a derived field each), half have many; every tenth is text.
// Feature construction is off.
#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "frame/ZelFactory.h"
#include "frame/host/HostInterfaces.h"

using ZelFrame::ZelFactory;

namespace {

using namespace TorCommon_1_3;

constexpr int kFields = 100000;
constexpr int kRecords = 8;

class Records : public IRecordSource {
 public:
  explicit Records(std::vector<RawRecord> records) : records_(std::move(records)) {}
  bool HasMoreRecords() override { return next_ < records_.size(); }
  void Rewind() override { next_ = 0; }
  const RawRecord* NextRecord() override {
    return next_ < records_.size() ? &records_[next_++] : nullptr;
  }

 private:
  std::vector<RawRecord> records_;
  std::size_t next_ = 0;
};

bool IsText(int field) { return field % 10 == 9; }

TorVarList WideFields() {
  TorVarList fields;
  for (int i = 0; i < kFields; ++i) {
    const std::string name = "f" + std::to_string(i);
    ITorVariable* field = IsText(i) ? static_cast<ITorVariable*>(new TorCatVar(
                                          name, "", 3, kLevelCategoricalString, kRoleInput, false))
                                    : new TorContVar(name, "", kRoleInput);
    field->SetVariableStorage(IsText(i) ? kStorageString : kStorageReal);
    fields.AddVariable(field);
  }
  return fields;
}

std::vector<RawRecord> WideRecords() {
  const char* words[] = {"low", "mid", "high"};
  std::vector<RawRecord> records;
  for (int r = 0; r < kRecords; ++r) {
    RawRecord record(kFields);
    for (int i = 0; i < kFields; ++i) {
      if (IsText(i)) {
        record[i].SetString(words[(i + r) % 3]);
      } else {
        record[i].SetDouble(i % 2 == 0 ? (i + r) % 3 : i * 0.5 + r * r);
      }
    }
    records.push_back(std::move(record));
  }
  return records;
}

void BM_HundredThousandFields(benchmark::State& state) {
  const TorVarList fields = WideFields();
  Records source(WideRecords());
  std::size_t documentSize = 0;
  for (auto _ : state) {
    // Construction relates every continuous input to every other (a matrix
    // of order 90,000): quadratic by its nature, so it stays out of a
    // measure of the steps that walk the fields.
    TorSettings settings;
    settings.SetBool("featureConstruction", false);
    TorVarList variables = fields;
    ZelFactory factory;
    std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, variables));
    source.Rewind();
    const TorStatus status = algorithm ? algorithm->Execute(&source) : factory.GetStatus();
    if (status.IsError()) {
      const std::string message = "the build failed: " + std::to_string(status.GetCode());
      state.SkipWithError(message.c_str());
      break;
    }
    std::ostringstream document;
    if (algorithm->WritePMML(document, nullptr).IsError()) {
      state.SkipWithError("the document failed");
      break;
    }
    documentSize = document.str().size();
  }
  state.counters["fields"] = kFields;
  state.counters["documentMB"] = static_cast<double>(documentSize) / (1 << 20);
}
BENCHMARK(BM_HundredThousandFields)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
