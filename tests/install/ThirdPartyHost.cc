// A host built only against the installed headers and libraries: it creates
// the algorithm, runs it over a few in-memory records and writes the document,
// and asks the component's queries for hosts (settings review, status
// messages, the weight rule) as a host that talks to its user would.
#include <iostream>
#include <sstream>
#include <vector>

#include "frame/ZelFactory.h"
#include "frame/ZelLockstep.h"
#include "frame/ZelWeightRule.h"
#include "pmml/PMMLHeaderInfo.h"

using ZelFrame::ZelFactory;
using ZelFrame::ZelLockstep;

using namespace TorCommon_1_3;

class Records : public IRecordSource {
 public:
  Records() {
    for (int i = 0; i < 20; ++i) {
      RawRecord r(2);
      r[0].SetDouble(i * 1.5);
      r[1].SetString(i % 2 ? "a" : "b");
      rows_.push_back(r);
    }
  }
  bool HasMoreRecords() override { return next_ < rows_.size(); }
  void Rewind() override { next_ = 0; }
  const RawRecord* NextRecord() override { return next_ < rows_.size() ? &rows_[next_++] : nullptr; }

 private:
  std::vector<RawRecord> rows_;
  std::size_t next_ = 0;
};

int main() {
  TorVarList variables;
  variables.AddVariable(new TorContVar("x", "", kRoleInput));
  variables.AddVariable(new TorCatVar("s", "", 2, kLevelCategoricalString, kRoleInput, false));
  TorSettings settings;
  ZelFactory factory;
  ITorAlgorithm* algorithm = factory.CreateTorAlgorithm(settings, variables);
  if (algorithm == nullptr) return 1;
  Records records;
  const TorStatus status = algorithm->Execute(&records);
  std::ostringstream out;
  const bool written = !status.IsError() && !algorithm->WritePMML(out, nullptr).IsError();
  delete algorithm;
  if (!written || out.str().find("<PMML") == std::string::npos) return 2;
  // The same build in lockstep: one replica reading every record.
  ITorAlgorithm* replica = factory.CreateTorAlgorithm(settings, variables);
  bool reads = false;
  bool done = false;
  bool stepped = replica != nullptr && !ZelLockstep::Begin(*replica).IsError();
  while (stepped && !ZelLockstep::StartPass(*replica, &reads, &done).IsError() && !done) {
    std::string state;
    if (reads) {
      stepped = !ZelLockstep::ReadRows(*replica, &records, &state).IsError() &&
                !ZelLockstep::InstallState(*replica, state).IsError();
    }
    stepped = stepped && !ZelLockstep::FinishPass(*replica).IsError();
  }
  stepped = stepped && done && !ZelLockstep::End(*replica).IsError() && replica->IsBuilt();
  delete replica;
  if (!stepped) return 6;
  std::vector<std::string> notes;
  std::string refusal;
  settings.SetDouble("maxPercentageOfMissingvalue", 120.0);
  if (ZelFactory::ReviewSettings(settings, &notes, &refusal) || refusal.empty()) return 3;
  if (ZelFactory::DescribeStatusCode(210012) == nullptr) return 4;
  if (ZelWeightRule::RoundFrequency(2.5) != 3.0) return 5;
  std::cout << "host ok\n";
  return 0;
}
