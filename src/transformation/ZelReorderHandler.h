// ZelReorderHandler: lists the categories of a nominal target in ascending
// order of frequency (ReorderCatTarget), so that the most frequent category
// gets the last code. The reordered target is a copy that takes over the
// source's statistic; its rule carries the categories and their labels in
// the new order for the document.
#ifndef ZELCRAFT_TRANSFORMATION_ZELREORDERHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELREORDERHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelReorderFunctionRule;

class ZelReorderHandler : public ZelOperationHandler {
 public:
  // Built for the target with reordering on, it warns
  // (kReorderWithoutNominalTarget) when there is no target or the target is
  // not nominal.
  ZelReorderHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                    std::vector<TorCommon_1_3::TorStatus>* warnings);

  // HandleTarget, or ReorderCatFeature of HandleCategoricalFeatures.
  TorCommon_1_3::TorStatus Check() override;
  // Nominal targets only. kMissingObject when the copy's rule is not a
  // reorder rule, kMissingStatistic when the statistic does not fit the
  // measurement level.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // The target step with "reorderNominalTargetCategories" on.
  bool IsEnabled(const ZelSettings* settings) override;

 private:
  // Fills the rule from the source's categories and the host's labels.
  TorCommon_1_3::TorStatus Reorder(const ZelVariableHandleInfo& source,
                                   ZelReorderFunctionRule* rule) const;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELREORDERHANDLER_H_
