// ZelVariableHandleList: every field of a build, host fields first in host
// order, derived fields appended as steps create them. A field is addressed
// by its index everywhere; indices never change. Besides the fields' own
// statistics it holds one list statistic over several fields (the continuous
// fields against each other), fed after them.
//
// Weights are not inputs: a frequency or analysis weight says how much a
// record counts, so it is never binned, selected, merged or folded into a
// constructed feature, and the input lists leave it out.
#ifndef ZELCRAFT_SETTINGS_ZELVARIABLEHANDLELIST_H_
#define ZELCRAFT_SETTINGS_ZELVARIABLEHANDLELIST_H_

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "frame/ZelBatch.h"
#include "settings/ZelVariableHandleInfo.h"

// How a field came to be, for naming, summaries and the document.
namespace FieldKind {
constexpr int kHostInput = 0;
constexpr int kConstructed = 1;
constexpr int kFromDateTime = 2;
constexpr int kTransformed = 3;
constexpr int kHostTarget = 4;
constexpr int kDerivedTarget = 5;
constexpr int kFrequencyWeight = 6;
constexpr int kAnalysisWeight = 7;
}  // namespace FieldKind

class ZelVariableHandleList {
 public:
  using Pair = ZelTransformation::ZelOperationPair;

  explicit ZelVariableHandleList(const ZelSettings* settings);
  virtual ~ZelVariableHandleList();
  ZelVariableHandleList(const ZelVariableHandleList&) = delete;
  ZelVariableHandleList& operator=(const ZelVariableHandleList&) = delete;

  virtual void Display(std::ostream& out) const;

  const ZelSettings* GetSettings() const { return settings_; }

  // Each returns the new field's index, or -1 with the error in GetStatus().
  int AddField(const TorCommon_1_3::ITorVariable& variable);
  int AddDerivedCopy(const std::string& name, const TorCommon_1_3::ITorVariable& source,
                     const Pair& pair);
  int AddDerivedField(const std::string& name, const std::string& label, int kind, bool isTarget,
                      int storage, const Pair& pair);

  int Count() const { return static_cast<int>(handles_.size()); }
  // Null when i is out of range.
  ZelVariableHandleInfo* GetHandle(int i) const;

  // First field with a target role that is not excluded; -1 when none.
  int GetTargetIndex() const;
  // The host field at the start of i's derivation chain (following each
  // rule's first input); -1 for a host field or a broken chain.
  int GetRootIndex(int i) const;
  // Fields that are neither excluded, targets nor weights, by kind.
  std::vector<int> GetContinuousInputs() const;
  std::vector<int> GetCategoricalInputs() const;
  // Fields that are neither excluded nor weights.
  int GetValidCount() const;
  // One of the FieldKind values; -1 when i is out of range.
  int GetFieldKind(int i) const;

  // Replaces the list statistic (null removes it).
  void SetListStatistic(ZelStatistic::ZelStatistics* statistic) { listStatistic_.reset(statistic); }
  ZelStatistic::ZelStatistics* GetListStatistic() const { return listStatistic_.get(); }

  // Refills the pending list with the fields that need statistics; while the
  // list statistic still needs a pass, the fields it reads are pending too,
  // so that the pass reads them.
  void BeginPass();
  const std::vector<int>& GetPending() const { return pending_; }
  TorCommon_1_3::TorStatus ProcessRecord(const TorCommon_1_3::RawRecord& record);
  // The same for every row of a batch: each statistic takes the batch in one
  // call, or its rows as records when it has no loop over columns.
  TorCommon_1_3::TorStatus ProcessBatch(const ZelFrame::ZelBatch& batch);
  TorCommon_1_3::TorStatus EndPass();

  TorCommon_1_3::TorStatus GetStatus() const { return status_; }

 private:
  int Append(std::unique_ptr<ZelVariableHandleInfo> handle);

  const ZelSettings* settings_;
  std::vector<std::unique_ptr<ZelVariableHandleInfo>> handles_;
  std::unique_ptr<ZelStatistic::ZelStatistics> listStatistic_;
  TorCommon_1_3::TorStatus status_;
  std::vector<int> pending_;
  // The statistics the pending fields feed, taken at BeginPass so that a
  // record walks one flat list.
  struct LiveStatistic {
    ZelStatistic::ZelStatistics* statistic;
    ZelVariableHandleInfo* field;  // takes the error, as its own ProcessRecord would
  };
  std::vector<LiveStatistic> live_;
  std::vector<LiveStatistic> byRecord_;  // those of live_ without a batch loop
  // Those fed side by side, by kind.
  std::array<std::vector<ZelStatistic::ZelStatistics*>, ZelStatistic::ZelStatistics::kSideBySideKinds>
      sideBySide_;
};

#endif  // ZELCRAFT_SETTINGS_ZELVARIABLEHANDLELIST_H_
