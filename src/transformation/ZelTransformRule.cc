#include "transformation/ZelTransformRule.h"

#include "torcommon13r/TorVariable.h"

namespace ZelTransformation {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

ZelTransformRule::~ZelTransformRule() = default;

void ZelTransformRule::Display(std::ostream& out) const {
  out << "\nDisplay ZelTransformRule, TransformType=[" << GetTransformTypeName(GetRuleType())
      << "]; RefVar is ";
  for (std::size_t i = 0; i < inputIndices_.size(); ++i) {
    out << "[" << inputIndices_[i] << "-" << inputNames_[i] << "] ";
  }
  out << "\nOperation = " << GetOperationText(pair_);
}

void ZelTransformRule::AddInput(const std::string& name, int index) {
  inputNames_.push_back(name);
  inputIndices_.push_back(index);
}

void ZelTransformRule::ApplyBatch(const ZelBatch& batch, ZelBatchColumn* out) {
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    out->Set(k, Apply(batch.Record(k, GetInputIndices())));
  }
}

std::string ZelTransformRule::GetInputName(std::size_t i) const {
  return i < inputNames_.size() ? inputNames_[i] : std::string();
}

int FindCategoryIndex(const RawData& value, const std::vector<std::string>& texts,
                      const std::vector<double>& numbers) {
  switch (value.GetStorage()) {
    case TorCommon_1_3::kStorageString:
      for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == value.GetString()) return static_cast<int>(i);
      }
      return -1;
    case TorCommon_1_3::kStorageInteger:
    case TorCommon_1_3::kStorageReal:
    case TorCommon_1_3::kStorageDate:
    case TorCommon_1_3::kStorageTime:
    case TorCommon_1_3::kStorageTimestamp: {
      const double x = value.GetReal();
      for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i] == x) return static_cast<int>(i);
      }
      return -1;
    }
    default:
      return -1;
  }
}

}  // namespace ZelTransformation
