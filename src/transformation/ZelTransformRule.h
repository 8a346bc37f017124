// ZelTransformRule: how a derived field is computed from other fields of the
// working record. The field handle of the derived field owns it; the record
// transformer evaluates it on every record and the PMML writer turns it into
// an expression. The generic subclasses fix the transform type.
#ifndef ZELCRAFT_TRANSFORMATION_ZELTRANSFORMRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELTRANSFORMRULE_H_

#include <ostream>
#include <string>
#include <vector>

#include "frame/ZelBatch.h"
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorStatus.h"
#include "transformation/ZelOperation.h"

namespace ZelTransformation {

class ZelTransformRule {
 public:
  explicit ZelTransformRule(const ZelOperationPair& pair) : pair_(pair) {}
  virtual ~ZelTransformRule();
  ZelTransformRule(const ZelTransformRule&) = delete;
  ZelTransformRule& operator=(const ZelTransformRule&) = delete;

  virtual int GetRuleType() const = 0;
  // The derived value for the working record. The reference stays valid
  // until the next call; rules reuse one output value so that evaluating a
  // record allocates nothing once string buffers have grown.
  virtual const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) = 0;
  // The derived values of every row of `batch` into `out`, exactly as Apply
  // gives them row by row. This one hands each row to Apply as a record
  // holding the rule's inputs; rules on the hot path, and rules that read
  // more than their inputs, override it with a loop over the columns.
  virtual void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out);
  virtual void Display(std::ostream& out) const;

  const ZelOperationPair& GetPair() const { return pair_; }

  // The first input is the source of the derived field.
  void AddInput(const std::string& name, int index);
  const std::vector<int>& GetInputIndices() const { return inputIndices_; }
  const std::vector<std::string>& GetInputNames() const { return inputNames_; }
  // "" when i is out of range.
  std::string GetInputName(std::size_t i) const;
  // -1 when the rule has no input.
  int GetSourceIndex() const { return inputIndices_.empty() ? -1 : inputIndices_.front(); }

  void AddParameter(double value) { numericParameters_.push_back(value); }
  const std::vector<double>& GetParameters() const { return numericParameters_; }
  void AddTextParameter(const std::string& value) { textParameters_.push_back(value); }
  const std::vector<std::string>& GetTextParameters() const { return textParameters_; }

  const TorCommon_1_3::RawData& GetValue() const { return value_; }
  void SetValue(const TorCommon_1_3::RawData& value) { value_ = value; }
  const std::string& GetText() const { return text_; }
  void SetText(const std::string& text) { text_ = text; }

 protected:
  // The value of input `i` in the working record, or null when the index lies
  // outside the record. Inline: every rule asks it for every record.
  const TorCommon_1_3::RawData* Input(const TorCommon_1_3::RawRecord& working,
                                      std::size_t i = 0) const {
    if (i >= inputIndices_.size()) return nullptr;
    const int index = inputIndices_[i];
    if (index < 0 || static_cast<std::size_t>(index) >= working.Size()) return nullptr;
    return &working[static_cast<std::size_t>(index)];
  }

  TorCommon_1_3::RawData output_;

 private:
  ZelOperationPair pair_;
  std::vector<int> inputIndices_;
  std::vector<std::string> inputNames_;
  std::vector<double> numericParameters_;
  std::vector<std::string> textParameters_;
  TorCommon_1_3::RawData value_;
  std::string text_;
};

// A rule written as a call of one of the component's functions; the function
// id names it in the document's function catalogue.
class ZelFunctionTransformRule : public ZelTransformRule {
 public:
  ZelFunctionTransformRule(const ZelOperationPair& pair, int functionId)
      : ZelTransformRule(pair), functionId_(functionId) {}
  int GetRuleType() const override { return RuleType::kFunctions; }
  int GetFunctionId() const { return functionId_; }

 private:
  int functionId_;
};

class ZelDiscretizationTransformRule : public ZelTransformRule {
 public:
  using ZelTransformRule::ZelTransformRule;
  int GetRuleType() const override { return RuleType::kDiscretization; }
};

class ZelValueMappingTransformRule : public ZelTransformRule {
 public:
  using ZelTransformRule::ZelTransformRule;
  int GetRuleType() const override { return RuleType::kValueMapping; }
};

// The rule class for a pair, owned by the caller; null for pairs that derive
// no field. `status` is success either way.
ZelTransformRule* CreateTransformRule(const ZelOperationPair& pair,
                                      TorCommon_1_3::TorStatus* status);

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELTRANSFORMRULE_H_
