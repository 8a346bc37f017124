#include "transformation/ZelTrimEndFunctionRule.h"

#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelTrimEndFunctionRule::ZelTrimEndFunctionRule()
    : ZelFunctionTransformRule({Step::kHandleStringFeature, Action::kTrimTrailing}, kFunctionId) {}

const RawData& ZelTrimEndFunctionRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  if (input->IsMissing()) {
    output_.SetMissingValue(input->GetStorage());
    return output_;
  }
  if (input->GetStorage() != TorCommon_1_3::kStorageString) {
    output_ = *input;
    return output_;
  }
  const std::string& text = input->GetString();
  const std::size_t last = text.find_last_not_of(" \t");
  const std::size_t length = last == std::string::npos ? 0 : last + 1;
  if (length == text.size()) {
    // Nothing to trim: a text held by reference stays one, with no copy.
    output_ = *input;
    return output_;
  }
  changed_ = true;
  // Assigning into the reused output keeps its buffer: no allocation once
  // it has grown to the longest value.
  output_.SetString(text.data(), length);
  return output_;
}

void ZelTrimEndFunctionRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  const ZelBatchColumn* input = batch.Find(GetSourceIndex());
  if (input == nullptr) return ZelTransformRule::ApplyBatch(batch, out);
  const std::size_t rows = batch.Rows();
  out->CopyFrom(*input, rows);
  for (std::size_t k = 0; k < rows; ++k) {
    if (input->missing[k] != 0 || input->storage[k] != TorCommon_1_3::kStorageString) continue;
    const std::string& text = *input->texts[k];
    // Most texts end in neither: looked at before any search.
    if (text.empty() || (text.back() != ' ' && text.back() != '\t')) continue;
    const std::size_t last = text.find_last_not_of(" \t");
    const std::size_t length = last == std::string::npos ? 0 : last + 1;
    // Nothing to trim: the column refers to the input's text.
    if (length == text.size()) continue;
    changed_ = true;
    if (out->owned.size() < out->storage.size()) out->owned.resize(out->storage.size());
    out->owned[k].assign(text.data(), length);
    out->texts[k] = &out->owned[k];
  }
}

}  // namespace ZelTransformation
