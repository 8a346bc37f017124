#include "support/TestHost.h"

#include <algorithm>
#include <sstream>

#include "frame/ZelAlgorithm.h"

using ZelFrame::ZelAlgorithm;
using ZelFrame::ZelBatch;
using ZelFrame::kZelBatchRows;

namespace testhost {

using namespace TorCommon_1_3;

RawRecord MakeRecord(const std::vector<Cell>& cells) {
  RawRecord record(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const Cell& c = cells[i];
    if (c.storage == kStorageUndefined) record[i].SetMissingValue(kStorageReal);
    if (c.storage == kStorageInteger) record[i].SetInteger(c.integer);
    if (c.storage == kStorageString) record[i].SetString(c.text);
    if (c.storage >= kStorageReal && c.storage != kStorageString) {
      record[i].SetDouble(c.real, c.storage);
    }
  }
  return record;
}

std::vector<std::unique_ptr<ZelBatch>> BatchesOf(const std::vector<RawRecord>& records,
                                                 int fields) {
  std::vector<std::unique_ptr<ZelBatch>> batches;
  for (std::size_t first = 0; first < records.size(); first += kZelBatchRows) {
    auto batch = std::make_unique<ZelBatch>(static_cast<std::size_t>(fields));
    for (int i = 0; i < fields; ++i) batch->Use(i);
    batch->Allocate(kZelBatchRows);
    const std::size_t rows = std::min(kZelBatchRows, records.size() - first);
    for (std::size_t k = 0; k < rows; ++k) {
      for (int i = 0; i < fields; ++i) batch->Column(i).Set(k, records[first + k][i]);
    }
    batch->SetRows(rows);
    batches.push_back(std::move(batch));
  }
  return batches;
}

const RawRecord* MemorySource::NextRecord() {
  if (next_ >= records_.size()) return nullptr;
  if (onNext) onNext(next_);
  ++delivered;
  return &records_[next_++];
}

void RecordingListener::Report(ProgressReport& report) {
  reports.push_back(
      {report.DiscreteMeasure("BuildStage"), report.DiscreteMeasure("DataPassNumber")});
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

TorSettings EarlyStepsOnly() {
  TorSettings s;
  for (const char* key :
       {"detectFeatureOutliers", "replaceNominalFeaturesMissingValue",
        "replaceOrdinalFeaturesMissingValue", "replaceScaleFeaturesMissingValue",
        "supervisedBinning", "featureSelection", "featureConstruction", "supervisedMerging",
        "unsupervisedMergeOrdinal", "unsupervisedMergeNominal"}) {
    s.SetBool(key, false);
  }
  s.SetString("scaleFeatureRescalingMethod", "noRescaling");
  s.SetBool("computeDateDuration", true);
  s.SetDouble("referenceDateForDurations", 0.0);
  s.SetBool("computeTimeDuration", true);
  s.SetDouble("referenceTimeForDurations", 0.0);
  return s;
}

TorSettings FieldsAsGiven() {
  TorSettings s = EarlyStepsOnly();
  for (const char* key : {"trimBlanks", "checkFeatureMeasureLevel", "checkTargetMeasureLevel"}) {
    s.SetBool(key, false);
  }
  return s;
}

void Build::Run(TorSettings& settings, TorVarList& variables, IRecordSource& source) {
  algorithm.reset(factory.CreateTorAlgorithm(settings, variables));
  if (!algorithm) {
    warnings = factory.GetWarnings();
    return;
  }
  if (listener != nullptr) algorithm->SetProgressListener(listener);
  if (check != nullptr) algorithm->SetInterruptCheck(check);
  executeStatus = algorithm->Execute(&source);
  warnings = *algorithm->GetWarnings();
}

std::string Build::Pmml(TorStatus* status, const PMMLHeaderInfo* header) {
  std::ostringstream out;
  TorStatus written = algorithm ? algorithm->WritePMML(out, header) : TorStatus(6, false);
  if (status != nullptr) *status = written;
  return written.IsError() ? std::string() : out.str();
}

const ZelVariableHandleList& Build::Fields() const {
  return static_cast<const ZelAlgorithm&>(*algorithm).GetDriver().GetFields();
}

bool HasWarning(const std::vector<TorStatus>& warnings, int code) {
  for (const auto& w : warnings) {
    if (w.GetCode() == code && w.IsWarning()) return true;
  }
  return false;
}

}  // namespace testhost
