// ZelRecordTransformer: turns each host record, or each batch of host rows,
// into the working values of a data pass: copies the host values the pass
// needs, applies the fields' user-missing definitions, rounds the frequency
// weight, drops records with an unusable weight, and computes the derived
// values in field order so a derived field may use fields derived before it.
// A batch goes through the same operations in the same order per row as a
// record, so both give bit for bit the same values.
#ifndef ZELCRAFT_FRAME_ZELRECORDTRANSFORMER_H_
#define ZELCRAFT_FRAME_ZELRECORDTRANSFORMER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "frame/ZelBatch.h"
#include "frame/ZelUserMissing.h"
#include "frame/ZelWeightRule.h"
#include "frame/host/HostInterfaces.h"
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorStatus.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelFrame {

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

  // Batches. Gives the batch a column for every field the pass needs.
  void UseColumns(ZelBatch* batch) const;
  // The host fields a pass reads, in the order FillFromHost takes them.
  const std::vector<int>& GetHostFields() const { return hostFields_; }
  // Host rows into the batch: `rows` rows of the host columns, one per
  // GetHostFields() entry; or one host record as row `k`.
  void FillFromHost(ZelBatch* batch, const TorCommon_1_3::HostColumn* columns,
                    std::size_t rows) const;
  void FillFromRecord(ZelBatch* batch, std::size_t k, const TorCommon_1_3::RawRecord& host) const;
  // The rest of Transform for the batch's rows, in row order: user-missing
  // values, weights (dropping the unusable rows) and derived fields. The
  // error of GetStatus when the weights fail; the batch is then not usable.
  TorCommon_1_3::TorStatus FinishBatch(ZelBatch* batch);

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
  // The same for row k of a batch's weight column; `*usable` is cleared as
  // usable_ would be.
  double ApplyWeight(ZelBatchColumn* column, std::size_t k, bool frequency, uint8_t* usable);
  // A weight, rounded where it is a frequency weight, made usable: 0 with
  // `*usable` cleared (and the status set when it is too large) otherwise.
  double UsableWeight(double weight, bool frequency, bool* usable);
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
  std::vector<int> hostFields_;      // plain fields, then defined ones
  std::vector<uint8_t> usableRows_;  // of the batch being finished
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

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELRECORDTRANSFORMER_H_
