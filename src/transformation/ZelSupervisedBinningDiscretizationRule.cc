#include "transformation/ZelSupervisedBinningDiscretizationRule.h"

#include <algorithm>

#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelSupervisedBinningDiscretizationRule::ZelSupervisedBinningDiscretizationRule(
    const ZelOperationPair& pair)
    : ZelDiscretizationTransformRule(pair) {}

int ZelSupervisedBinningDiscretizationRule::GetDiscretizationKind() const {
  const ZelOperationPair binning{Step::kHandleContinuousFeatures, Action::kBinContFeature};
  return GetPair() == binning ? 1 : 0;
}

const RawData& ZelSupervisedBinningDiscretizationRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr || input->IsMissing()) {
    output_.SetMissingValue(TorCommon_1_3::kStorageReal);
    return output_;
  }
  double v = 0.0;
  if (input->GetStorage() == TorCommon_1_3::kStorageInteger ||
      input->GetStorage() == TorCommon_1_3::kStorageReal) {
    v = input->GetReal();
  }
  // The first cut point at or above v.
  const auto bin = std::lower_bound(cutPoints_.begin(), cutPoints_.end(), v);
  output_.SetDouble(static_cast<double>(bin - cutPoints_.begin()));
  return output_;
}

void ZelSupervisedBinningDiscretizationRule::ApplyBatch(const ZelBatch& batch,
                                                        ZelBatchColumn* out) {
  const ZelBatchColumn* input = batch.Find(GetSourceIndex());
  if (input == nullptr) return ZelTransformRule::ApplyBatch(batch, out);
  const std::size_t rows = batch.Rows();
  std::fill_n(out->storage.begin(), rows, TorCommon_1_3::kStorageReal);
  std::copy_n(input->missing.begin(), rows, out->missing.begin());
  for (std::size_t k = 0; k < rows; ++k) {
    const double v = input->IsNumber(k) ? input->reals[k] : 0.0;
    const auto bin = std::lower_bound(cutPoints_.begin(), cutPoints_.end(), v);
    out->reals[k] = static_cast<double>(bin - cutPoints_.begin());
  }
}

}  // namespace ZelTransformation
