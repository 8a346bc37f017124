// ZelTargetMeanRule: a nominal input's category mapped to the smoothed mean
// of the target in it, (sum + m prior) / (weight + m), computed by the
// target encoding step from the whole data. A category the table lacks and a
// missing value take the prior, the overall mean. For a categorical target
// the mean is that of the indicator of one target category (`Class`).
// The document writes it as a MapValues with the prior as its defaultValue
// and mapMissingTo, and an Extension that tells a host how to cross-fit the
// prepared training data: the target field, the class, the smoothing, the
// folds and the weights.
#ifndef ZELCRAFT_TRANSFORMATION_ZELTARGETMEANRULE_H_
#define ZELCRAFT_TRANSFORMATION_ZELTARGETMEANRULE_H_

#include <map>
#include <string>

#include "transformation/ZelTransformRule.h"

namespace ZelTransformation {

class ZelTargetMeanRule : public ZelValueMappingTransformRule {
 public:
  // Rows of the training data fall in kFolds folds by row number modulo
  // kFolds; each row's cross-fitted value is computed from the other folds.
  static constexpr int kFolds = 5;

  explicit ZelTargetMeanRule(const ZelOperationPair& pair) : ZelValueMappingTransformRule(pair) {}

  const TorCommon_1_3::RawData& Apply(const TorCommon_1_3::RawRecord& working) override;

  void SetPrior(double prior) { prior_ = prior; }
  void SetTarget(int index, const std::string& targetClass, bool hasClass) {
    targetIndex_ = index;
    class_ = targetClass;
    hasClass_ = hasClass;
  }
  void SetSmoothing(double m) { smoothing_ = m; }
  // The field's final name ends in "_targetMean_CLASS" rather than
  // "_targetMean": one of several fields of one input.
  void SetClassInName(bool inName) { classInName_ = inName; }
  bool IsClassInName() const { return classInName_; }
  void MapText(const std::string& category, double mean) { texts_[category] = mean; }
  void MapNumber(double category, double mean) { numbers_[category] = mean; }

  double GetPrior() const { return prior_; }
  double GetSmoothing() const { return smoothing_; }
  int GetTargetIndex() const { return targetIndex_; }
  bool HasClass() const { return hasClass_; }
  const std::string& GetClass() const { return class_; }
  // Ordered: texts byte-wise, numbers by value.
  const std::map<std::string, double>& GetTextMapping() const { return texts_; }
  const std::map<double, double>& GetNumericMapping() const { return numbers_; }

 private:
  std::map<std::string, double> texts_;
  std::map<double, double> numbers_;
  double prior_ = 0.0;
  double smoothing_ = 0.0;
  int targetIndex_ = -1;
  std::string class_;
  bool hasClass_ = false;
  bool classInName_ = false;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELTARGETMEANRULE_H_
