#include "statistics/ZelBivarCatTargetCat.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

ZelBivarCatTargetCat::ZelBivarCatTargetCat(const ZelSettings* settings, uint32_t inputIndex,
                                           uint32_t targetIndex, bool nominalTarget)
    : ZelStatistics(settings, kBivariateCatTargetCat),
      inputIndex_(inputIndex),
      targetIndex_(targetIndex),
      nominalTarget_(nominalTarget) {}

TorStatus ZelBivarCatTargetCat::InitCategories(const ZelStatistics* input,
                                               const ZelStatistics* target) {
  TorStatus status = inputs_.InitFrom(input);
  if (!status.IsError()) status = targets_.InitFrom(target);
  if (status.IsError()) return Fail(status.GetCode());
  table_.Resize(inputs_.Count(), targets_.Count());
  return status_;
}

TorStatus ZelBivarCatTargetCat::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  const RawData& input = record[inputIndex_];
  const RawData& target = record[targetIndex_];
  if (input.IsMissing() || target.IsMissing()) return status_;
  const int i = inputs_.GetCategoryIndex(input);
  const int j = targets_.GetCategoryIndex(target);
  if (i < 0 || j < 0) return status_;
  const double f = FrequencyWeight(record);
  table_.Add(i, j, f, f * AnalysisWeight(record));
  total_ += f;
  return status_;
}

TorStatus ZelBivarCatTargetCat::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const ZelBatchColumn& input = batch.Column(static_cast<int>(inputIndex_));
  const ZelBatchColumn& target = batch.Column(static_cast<int>(targetIndex_));
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  inputMemo_.Clear();
  targetMemo_.Clear();
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    if (input.missing[k] != 0 || target.missing[k] != 0) continue;
    const int i = inputs_.GetCategoryIndex(input, k, &inputMemo_);
    const int j = targets_.GetCategoryIndex(target, k, &targetMemo_);
    if (i < 0 || j < 0) continue;
    const double f = frequencies != nullptr ? frequencies[k] : 1.0;
    table_.Add(i, j, f, f * (analysis != nullptr ? analysis[k] : 1.0));
    total_ += f;
  }
  return status_;
}

TorStatus ZelBivarCatTargetCat::Finalize() {
  collected_ = true;
  return status_;
}

}  // namespace ZelStatistic
