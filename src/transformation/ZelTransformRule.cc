#include "transformation/ZelTransformRule.h"

#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

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

}  // namespace ZelTransformation
