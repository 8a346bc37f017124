#include "transformation/ZelCategoryMappingRule.h"

#include <algorithm>

#include "frame/ZelTextMemo.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;
using ZelFrame::ZelTextMemo;

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

const char* const ZelCategoryMappingRule::kDefaultText = "";

const RawData& ZelCategoryMappingRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr || input->IsMissing()) {
    output_.SetMissingValue(input != nullptr ? input->GetStorage() : TorCommon_1_3::kStorageReal);
    return output_;
  }
  if (input->GetStorage() == TorCommon_1_3::kStorageString) {
    const auto found = textMapping_.find(input->GetString());
    if (found != textMapping_.end()) {
      output_.SetString(found->second);
    } else {
      output_.SetString(kDefaultText, 0);
    }
    return output_;
  }
  const auto found = numericMapping_.find(input->GetReal());
  const double mapped = found != numericMapping_.end() ? found->second : kDefaultNumber;
  if (input->GetStorage() == TorCommon_1_3::kStorageInteger) {
    output_.SetInteger(static_cast<int64_t>(mapped));
  } else {
    output_.SetDouble(mapped);
  }
  return output_;
}

void ZelCategoryMappingRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  const ZelBatchColumn* input = batch.Find(GetSourceIndex());
  if (input == nullptr) return ZelTransformRule::ApplyBatch(batch, out);
  static const std::string kEmpty;
  const std::size_t rows = batch.Rows();
  std::copy_n(input->storage.begin(), rows, out->storage.begin());
  std::copy_n(input->missing.begin(), rows, out->missing.begin());
  // A batch's texts are a few categories met again and again: each one is
  // looked up once per batch.
  ZelTextMemo<const std::string*> memo;
  for (std::size_t k = 0; k < rows; ++k) {
    if (input->missing[k] != 0) continue;
    out->reals[k] = 0.0;
    if (input->storage[k] == TorCommon_1_3::kStorageString) {
      // The mapped texts live in the rule, so the column refers to them.
      const std::string* text = input->texts[k];
      if (!memo.Find(text, &out->texts[k])) {
        const auto found = textMapping_.find(*text);
        out->texts[k] = found != textMapping_.end() ? &found->second : &kEmpty;
        memo.Put(text, out->texts[k]);
      }
      continue;
    }
    const auto found = numericMapping_.find(input->reals[k]);
    const double mapped = found != numericMapping_.end() ? found->second : kDefaultNumber;
    if (input->storage[k] == TorCommon_1_3::kStorageInteger) {
      out->integers[k] = static_cast<int64_t>(mapped);
      out->reals[k] = static_cast<double>(out->integers[k]);
    } else {
      out->storage[k] = TorCommon_1_3::kStorageReal;
      out->reals[k] = mapped;
    }
  }
}

}  // namespace ZelTransformation
