// ZelReorderFunctionRule: a nominal field whose categories are listed in
// ascending order of frequency, so that the most frequent comes last. The
// document recodes the categories as their positions in that order; inside
// the component the values pass unchanged. The rule keeps the categories
// (texts or numbers) and their labels in the new order.
#ifndef ZELCRAFT_TRANSFORMATION_ZELREORDERFUNCTIONRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELREORDERFUNCTIONRULE_H_

#include <string>
#include <vector>

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelReorderFunctionRule : public ZelFunctionTransformRule {
 public:
  static constexpr int kTargetFunctionId = 26;
  static constexpr int kFeatureFunctionId = 27;

  // (HandleTarget, ReorderCatTarget) or (HandleCategoricalFeatures,
  // ReorderCatFeature).
  explicit ZelReorderFunctionRule(const ZelOperationPair& pair);

  // The input value.
  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;
  void ApplyBatch(const ZelFrame::ZelBatch& batch, ZelFrame::ZelBatchColumn* out) override;

  // In the new order; one of the two category lists is filled. A label is
  // "" for a category the host gave none.
  std::vector<std::string>& Texts() { return texts_; }
  const std::vector<std::string>& Texts() const { return texts_; }
  std::vector<double>& Numbers() { return numbers_; }
  const std::vector<double>& Numbers() const { return numbers_; }
  std::vector<std::string>& Labels() { return labels_; }
  const std::vector<std::string>& Labels() const { return labels_; }

 private:
  std::vector<std::string> texts_;
  std::vector<double> numbers_;
  std::vector<std::string> labels_;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELREORDERFUNCTIONRULE_H_
