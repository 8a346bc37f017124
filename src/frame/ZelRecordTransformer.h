// ZelRecordTransformer: turns each host record into the working record of a
// data pass: copies the host values the pass needs, applies the fields'
// user-missing definitions, rounds the frequency weight, drops records with
// an unusable weight, and computes the derived values in field order so a
// derived field may use fields derived before it.
#ifndef ZELCRAFT_FRAME_ZELRECORDTRANSFORMER_H_
#define ZELCRAFT_FRAME_ZELRECORDTRANSFORMER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "frame/ZelUserMissing.h"
#include "frame/ZelWeightRule.h"
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorStatus.h"
#include "settings/ZelVariableHandleList.h"

class ZelRecordTransformer {
 public:
  // Built after BeginPass: the pending fields decide what is needed. With
  // `everyField` every field is computed, as when a finished build is
  // replayed record by record.
  explicit ZelRecordTransformer(const ZelVariableHandleList* fields, bool everyField = false);

  // The working record for `host`; valid until the next call. Allocates
  // nothing once string buffers have grown.
  const TorCommon_1_3::RawRecord& Transform(const TorCommon_1_3::RawRecord& host);
  const TorCommon_1_3::RawRecord& GetWorking() const { return working_; }
  // False when the record's frequency or analysis weight is missing or not
  // positive: such a record counts nowhere.
  bool IsUsable() const { return usable_; }
  // Error 210017 once a frequency weight, or the frequency weights of the
  // pass added up, no longer fit the signed 64-bit counts, or the moment
  // weights added up are no longer finite; the record that caused it is not
  // usable, and the pass must stop.
  TorCommon_1_3::TorStatus GetStatus() const { return status_; }

 private:
  void MarkNeeded(int index);
  // Copies host field `index` into the working record; a field the host's
  // record lacks reads missing without a storage.
  TorCommon_1_3::RawData& CopyHostValue(const TorCommon_1_3::RawRecord& host,
                                        std::size_t hostSize, int index);
  bool IsUserMissing(const TorCommon_1_3::RawData& value, const ZelUserMissing& missing) const;
  // The weight value at `index` made usable (rounded for frequency weights),
  // or 0 with usable_ cleared; returns the weight.
  double ApplyWeight(int index, bool frequency);
  // Adds a usable record's weights to the pass totals.
  void CountWeights(double frequency, double analysis);

  const ZelVariableHandleList* fields_;
  int frequencyWeightIndex_;
  int analysisWeightIndex_;
  TorCommon_1_3::RawRecord working_;
  std::vector<char> needed_;
  // The host fields to copy: those without user-missing definitions, and
  // those whose values must be checked against theirs.
  std::vector<int> plainFields_;
  std::vector<int> definedFields_;
  // The derived fields to compute, in field order, with their rules looked
  // up once instead of on every record.
  struct Derived {
    int index;
    ZelTransformation::ZelTransformRule* rule;
  };
  std::vector<Derived> derivedFields_;
  std::vector<ZelUserMissing> missing_;  // per host field
  bool usable_ = true;
  ZelWeightRule::Totals totals_;  // the pass's usable records and moment weights
  TorCommon_1_3::TorStatus status_;
};

#endif  // ZELCRAFT_FRAME_ZELRECORDTRANSFORMER_H_
