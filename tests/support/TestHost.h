// Test host: an in-memory record source, a recording progress listener, a
// scriptable interrupt check and helpers that build field lists, records and
// settings the way a host application would.
#ifndef ZELCRAFT_TESTS_SUPPORT_TESTHOST_H_
#define ZELCRAFT_TESTS_SUPPORT_TESTHOST_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/ZelFactory.h"
#include "frame/host/HostInterfaces.h"
#include "pmml/PMMLHeaderInfo.h"

namespace testhost {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

// One cell of a test record.
struct Cell {
  enum Kind { kMissing, kInteger, kReal, kString, kDate, kTime, kTimestamp } kind = kMissing;
  long long integer = 0;
  double real = 0.0;
  std::string text;
};
Cell Missing();
Cell Int(long long v);
Cell Real(double v);
Cell Str(const std::string& v);
Cell Date(double days);
Cell Time(double seconds);
Cell Timestamp(double seconds);

RawRecord MakeRecord(const std::vector<Cell>& cells);

// Replays its records; `onNext` (optional) runs before each record is handed out.
class MemorySource : public TorCommon_1_3::IRecordSource {
 public:
  MemorySource() = default;
  explicit MemorySource(std::vector<RawRecord> records) : records_(std::move(records)) {}
  void Add(const std::vector<Cell>& cells) { records_.push_back(MakeRecord(cells)); }
  void Add(RawRecord record) { records_.push_back(std::move(record)); }

  bool HasMoreRecords() override { return next_ < records_.size(); }
  void Rewind() override { next_ = 0; ++rewinds; }
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
  double spend;
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

// A build through the public surface: factory, algorithm, execute, write.
struct Build {
  ZelFactory factory;
  std::unique_ptr<TorCommon_1_3::ITorAlgorithm> algorithm;
  TorStatus createStatus;
  TorStatus executeStatus;
  std::vector<TorStatus> warnings;

  // Creates the algorithm and, when that worked, executes it over `source`.
  void Run(TorCommon_1_3::TorSettings& settings, TorCommon_1_3::TorVarList& variables,
           TorCommon_1_3::IRecordSource& source);
  // The PMML document, or "" with `status` set when writing failed.
  std::string Pmml(TorStatus* status = nullptr, const PMMLHeaderInfo* header = nullptr);
};

bool HasWarning(const std::vector<TorStatus>& warnings, int code);

}  // namespace testhost

#endif  // ZELCRAFT_TESTS_SUPPORT_TESTHOST_H_
