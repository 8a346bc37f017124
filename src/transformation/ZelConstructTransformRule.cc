#include "transformation/ZelConstructTransformRule.h"

#include <algorithm>

#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

const RawData& ZelConstructTransformRule::Apply(const RawRecord& working) {
  const std::vector<double>& coefficients = GetParameters();
  if (coefficients.size() != GetInputIndices().size()) {
    output_.SetDouble(0.0);
    return output_;
  }
  double sum = 0.0;
  for (std::size_t i = 0; i < coefficients.size(); ++i) {
    const RawData* input = Input(working, i);
    if (input == nullptr || input->IsMissing()) {
      output_.SetMissingValue(TorCommon_1_3::kStorageReal);
      return output_;
    }
    const int storage = input->GetStorage();
    const bool numeric =
        storage == TorCommon_1_3::kStorageInteger || storage == TorCommon_1_3::kStorageReal;
    sum += coefficients[i] * (numeric ? input->GetReal() : 0.0);
  }
  output_.SetDouble(sum);
  return output_;
}

void ZelConstructTransformRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  const std::vector<double>& coefficients = GetParameters();
  const std::vector<int>& indices = GetInputIndices();
  inputs_.clear();
  for (int index : indices) inputs_.push_back(batch.Find(index));
  if (coefficients.size() != indices.size() ||
      std::find(inputs_.begin(), inputs_.end(), nullptr) != inputs_.end()) {
    return ZelTransformRule::ApplyBatch(batch, out);
  }
  const std::size_t rows = batch.Rows();
  std::fill_n(out->storage.begin(), rows, TorCommon_1_3::kStorageReal);
  // Input by input over the whole batch, each row still adding its terms
  // in input order, as Apply does; a row stops at its first missing input.
  uint8_t* missing = out->missing.data();
  double* sums = out->reals.data();
  std::fill_n(missing, rows, 0);
  std::fill_n(sums, rows, 0.0);
  bool anyMissing = false;
  for (std::size_t i = 0; i < inputs_.size(); ++i) {
    const ZelBatchColumn& input = *inputs_[i];
    const double c = coefficients[i];
    const double* values = input.reals.data();
    if (!anyMissing && !input.AnyMissing(rows) && input.AllNumbers(rows)) {
      for (std::size_t k = 0; k < rows; ++k) sums[k] += c * values[k];
      continue;
    }
    for (std::size_t k = 0; k < rows; ++k) {
      if (missing[k] != 0) continue;
      if (input.missing[k] != 0) {
        missing[k] = 1;
        anyMissing = true;
        continue;
      }
      sums[k] += c * (input.IsNumber(k) ? values[k] : 0.0);
    }
  }
}

}  // namespace ZelTransformation
