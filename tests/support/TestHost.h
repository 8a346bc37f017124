// Test host: an in-memory record source, a recording progress listener, a
// scriptable interrupt check and helpers that build field lists, records and
// settings the way a host application would.
#ifndef ZELCRAFT_TESTS_SUPPORT_TESTHOST_H_
#define ZELCRAFT_TESTS_SUPPORT_TESTHOST_H_

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frame/ZelBatch.h"
#include "frame/ZelFactory.h"
#include "frame/host/HostInterfaces.h"
#include "pmml/PMMLHeaderInfo.h"
#include "settings/ZelVariableHandleList.h"

namespace testhost {

using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

// One cell of a test record.
struct Cell {
  int storage = TorCommon_1_3::kStorageUndefined;  // undefined: a missing value
  long long integer = 0;
  double real = 0.0;
  std::string text{};
};
inline Cell Missing() { return {}; }
inline Cell Int(long long v) { return {TorCommon_1_3::kStorageInteger, v}; }
inline Cell Real(double v) { return {TorCommon_1_3::kStorageReal, 0, v}; }
inline Cell Str(const std::string& v) { return {TorCommon_1_3::kStorageString, 0, 0.0, v}; }
inline Cell Date(double days) { return {TorCommon_1_3::kStorageDate, 0, days}; }
inline Cell Time(double seconds) { return {TorCommon_1_3::kStorageTime, 0, seconds}; }
inline Cell Timestamp(double seconds) { return {TorCommon_1_3::kStorageTimestamp, 0, seconds}; }

RawRecord MakeRecord(const std::vector<Cell>& cells);
// The records as batches of at most kZelBatchRows rows, in order, fields
// [0, fields) in use: what a pass hands its statistics.
std::vector<std::unique_ptr<ZelFrame::ZelBatch>> BatchesOf(const std::vector<RawRecord>& records,
                                                 int fields);

// Replays its records; `onNext` (optional) runs before each record is handed out.
class MemorySource : public TorCommon_1_3::IRecordSource {
 public:
  void Add(const std::vector<Cell>& cells) { records_.push_back(MakeRecord(cells)); }
  void Add(RawRecord record) { records_.push_back(std::move(record)); }
  const std::vector<RawRecord>& records() const { return records_; }

  bool HasMoreRecords() override { return next_ < records_.size(); }
  void Rewind() override {
    next_ = 0;
    ++rewinds;
  }
  const RawRecord* NextRecord() override;

  std::function<void(std::size_t)> onNext;
  int rewinds = 0;
  long long delivered = 0;

 private:
  std::vector<RawRecord> records_;
  std::size_t next_ = 0;
};

struct Report {
  int stage;
  int pass;
};

class RecordingListener : public TorCommon_1_3::IProgressListener {
 public:
  void Report(TorCommon_1_3::ProgressReport& report) override;
  std::vector<testhost::Report> reports;
};

class FlagCheck : public TorCommon_1_3::IInterruptCheck {
 public:
  bool IsInterrupted() override { return ++calls > interruptAfter && interruptAfter >= 0; }
  long long interruptAfter = -1;  // -1: never
  long long calls = 0;
};

// Field list builders.
TorCommon_1_3::ITorVariable* ContField(const std::string& name, int storage = 2,
                                       int role = TorCommon_1_3::kRoleInput);
TorCommon_1_3::ITorVariable* NominalField(const std::string& name, bool stringValues,
                                          int role = TorCommon_1_3::kRoleInput);
TorCommon_1_3::ITorVariable* OrdinalField(const std::string& name,
                                          int role = TorCommon_1_3::kRoleInput);

// Every step after the measurement-level check off, so that a build shows
// only what the early steps did; durations count from day 0 and second 0.
TorCommon_1_3::TorSettings EarlyStepsOnly();
// The same with the fields taken as the host gives them: no trimming and no
// check of measurement levels.
TorCommon_1_3::TorSettings FieldsAsGiven();

// A build through the public surface: factory, algorithm, execute, write.
struct Build {
  ZelFrame::ZelFactory factory;
  std::unique_ptr<TorCommon_1_3::ITorAlgorithm> algorithm;
  TorStatus executeStatus;
  std::vector<TorStatus> warnings;
  // Registered with the algorithm when set before Run.
  TorCommon_1_3::IProgressListener* listener = nullptr;
  TorCommon_1_3::IInterruptCheck* check = nullptr;

  // Creates the algorithm and, when that worked, executes it over `source`.
  void Run(TorCommon_1_3::TorSettings& settings, TorCommon_1_3::TorVarList& variables,
           TorCommon_1_3::IRecordSource& source);
  // The PMML document, or "" with `status` set when writing failed.
  std::string Pmml(TorStatus* status = nullptr, const PMMLHeaderInfo* header = nullptr);
  // The field list of the executed build.
  const ZelVariableHandleList& Fields() const;
};

bool HasWarning(const std::vector<TorStatus>& warnings, int code);

}  // namespace testhost

#endif  // ZELCRAFT_TESTS_SUPPORT_TESTHOST_H_
