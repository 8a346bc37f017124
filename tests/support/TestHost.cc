#include "support/TestHost.h"

#include <sstream>

namespace testhost {

using namespace TorCommon_1_3;

Cell Make(Cell::Kind kind) {
  Cell c;
  c.kind = kind;
  return c;
}

Cell Missing() { return Make(Cell::kMissing); }
Cell Int(long long v) { Cell c = Make(Cell::kInteger); c.integer = v; return c; }
Cell Real(double v) { Cell c = Make(Cell::kReal); c.real = v; return c; }
Cell Str(const std::string& v) { Cell c = Make(Cell::kString); c.text = v; return c; }
Cell Date(double days) { Cell c = Make(Cell::kDate); c.real = days; return c; }
Cell Time(double seconds) { Cell c = Make(Cell::kTime); c.real = seconds; return c; }
Cell Timestamp(double seconds) { Cell c = Make(Cell::kTimestamp); c.real = seconds; return c; }

RawRecord MakeRecord(const std::vector<Cell>& cells) {
  RawRecord record(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const Cell& c = cells[i];
    switch (c.kind) {
      case Cell::kMissing: record[i].SetMissingValue(kStorageReal); break;
      case Cell::kInteger: record[i].SetInteger(c.integer); break;
      case Cell::kReal: record[i].SetDouble(c.real, kStorageReal); break;
      case Cell::kString: record[i].SetString(c.text); break;
      case Cell::kDate: record[i].SetDouble(c.real, kStorageDate); break;
      case Cell::kTime: record[i].SetDouble(c.real, kStorageTime); break;
      case Cell::kTimestamp: record[i].SetDouble(c.real, kStorageTimestamp); break;
    }
  }
  return record;
}

const RawRecord* MemorySource::NextRecord() {
  if (next_ >= records_.size()) return nullptr;
  if (onNext) onNext(next_);
  ++delivered;
  return &records_[next_++];
}

void RecordingListener::Report(ProgressReport& report) {
  reports.push_back({report.DiscreteMeasure("BuildStage"), report.DiscreteMeasure("DataPassNumber"),
                     report.ScaleMeasure("SpendTime")});
}

ITorVariable* ContField(const std::string& name, int storage, int role) {
  auto* v = new TorContVar(name, "", role);
  v->SetVariableStorage(storage);
  return v;
}

ITorVariable* NominalField(const std::string& name, bool stringValues, int role) {
  return new TorCatVar(name, "", 10, stringValues ? kLevelCategoricalString : kLevelCategorical,
                       role, false);
}

ITorVariable* OrdinalField(const std::string& name, int role) {
  return new TorCatVar(name, "", 10, kLevelCategorical, role, true);
}

void Build::Run(TorSettings& settings, TorVarList& variables, IRecordSource& source) {
  algorithm.reset(factory.CreateTorAlgorithm(settings, variables));
  createStatus = factory.GetStatus();
  if (!algorithm) {
    warnings = factory.GetWarnings();
    return;
  }
  executeStatus = algorithm->Execute(&source);
  warnings = *algorithm->GetWarnings();
}

std::string Build::Pmml(TorStatus* status, const PMMLHeaderInfo* header) {
  std::ostringstream out;
  TorStatus written = algorithm ? algorithm->WritePMML(out, header) : TorStatus(6, false);
  if (status != nullptr) *status = written;
  return written.IsError() ? std::string() : out.str();
}

bool HasWarning(const std::vector<TorStatus>& warnings, int code) {
  for (const auto& w : warnings) {
    if (w.GetCode() == code && w.IsWarning()) return true;
  }
  return false;
}

}  // namespace testhost
