#include "transformation/ZelMissingValueMappingRule.h"

#include <algorithm>
#include <cmath>

#include "statistics/ZelFormat.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

const RawData& ZelMissingValueMappingRule::Apply(const RawRecord& working) {
  const RawData* input = Input(working);
  if (input == nullptr) return output_;
  output_ = *input;
  if (!input->IsMissing()) return output_;
  const std::vector<double>& numbers = GetParameters();
  const std::vector<std::string>& texts = GetTextParameters();
  switch (input->GetStorage()) {
    case TorCommon_1_3::kStorageInteger:
      // Truncated as the document writes it: a mean of exactly 3 computed as
      // 2.9999999999999956 is written 3, and must replace by 3 here too.
      if (!numbers.empty()) {
        output_.SetInteger(
            static_cast<int64_t>(std::trunc(ZelStatistic::RoundAsFormatted(numbers.front()))));
      }
      break;
    case TorCommon_1_3::kStorageReal:
      if (!numbers.empty()) output_.SetDouble(numbers.front());
      break;
    case TorCommon_1_3::kStorageString:
      if (!texts.empty()) output_.SetString(texts.front());
      break;
    default:
      break;
  }
  return output_;
}

void ZelMissingValueMappingRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  const ZelBatchColumn* input = batch.Find(GetSourceIndex());
  if (input == nullptr) return ZelTransformRule::ApplyBatch(batch, out);
  const std::size_t rows = batch.Rows();
  out->CopyFrom(*input, rows);
  const std::vector<double>& numbers = GetParameters();
  const std::vector<std::string>& texts = GetTextParameters();
  for (std::size_t k = 0; k < rows; ++k) {
    if (input->missing[k] == 0) continue;
    switch (input->storage[k]) {
      case TorCommon_1_3::kStorageInteger:
        if (!numbers.empty()) {
          const auto whole =
              static_cast<int64_t>(std::trunc(ZelStatistic::RoundAsFormatted(numbers.front())));
          out->missing[k] = 0;
          out->integers[k] = whole;
          out->reals[k] = static_cast<double>(whole);
        }
        break;
      case TorCommon_1_3::kStorageReal:
        if (!numbers.empty()) {
          out->missing[k] = 0;
          out->reals[k] = numbers.front();
        }
        break;
      case TorCommon_1_3::kStorageString:
        // The rule's own text outlives the batch.
        if (!texts.empty()) {
          out->missing[k] = 0;
          out->texts[k] = &texts.front();
        }
        break;
      default:
        break;
    }
  }
}

}  // namespace ZelTransformation
