// ZelCatFeatureSelectionHandler: excludes the categorical inputs that show no
// significant association with the target (ExcludeCatFeature). Each input
// is tested on what the bivariate pass gathered against the target: its
// table against a categorical target, or the target's moments per category
// against a continuous one. An input left with fewer than two categories
// that hold records is excluded untested. The threshold is a fixed 0.05.
#ifndef ZELCRAFT_TRANSFORMATION_ZELCATFEATURESELECTIONHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELCATFEATURESELECTIONHANDLER_H_

#include "statistics/ZelPValueCatFeature.h"
#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelCatFeatureSelectionHandler : public ZelOperationHandler {
 public:
  static constexpr double kPValueThreshold = 0.05;

  // Warns when selection is on but there is no target
  // (kSelectionWithoutTarget), or no categorical input with a categorical
  // target (kSelectionWithoutCategoricalInput), or no continuous input with a
  // continuous target (kSelectionWithoutContinuousInput).
  ZelCatFeatureSelectionHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                                std::vector<TorCommon_1_3::TorStatus>* warnings);

  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // "featureSelection" and a target.
  bool IsEnabled(const ZelSettings* settings) override;
  // Excludes the field when p lies above the threshold. False when p is the
  // failure mark -1.0; the handler's result is then the test's status.
  virtual bool TestPValue(double p, ZelVariableHandleInfo* field);

 private:
  double TestAgainstCategoricalTarget(const ZelVariableHandleInfo& field, bool* untestable);
  double TestAgainstContinuousTarget(const ZelVariableHandleInfo& field, bool* untestable);

  int targetIndex_;
  ZelStatistic::ZelPValueCatFeature test_;
  TorCommon_1_3::TorStatus result_;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELCATFEATURESELECTIONHANDLER_H_
