// ZelSupervisedMergeHandler: with a target, merges the categories of each
// categorical input that relate alike to it (MergeCatFeatureForAsso). The
// search itself is a ZelSupervisedMergeTransformation: ordinal inputs merge
// neighbours only (ZelOrdinalSMergeTrans), nominal inputs any two groups
// (ZelNominalSMergeTrans). An input with merged categories is replaced by
// the merged field.
#ifndef ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDMERGEHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDMERGEHANDLER_H_

#include <memory>
#include <vector>

#include "transformation/ZelOperationHandler.h"
#include "transformation/ZelSupervisedMergeTransformation.h"

namespace ZelTransformation {

class ZelSupervisedMergeHandler : public ZelOperationHandler {
 public:
  // With merging on, warns when there is no target
  // (kSupervisedMergeWithoutTarget) or no categorical input
  // (kSupervisedMergeWithoutCategoricalInput).
  ZelSupervisedMergeHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                            std::vector<TorCommon_1_3::TorStatus>* warnings);
  ~ZelSupervisedMergeHandler() override;

  TorCommon_1_3::TorStatus Check() override;
  // The search's status.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // "supervisedMerging", and a target.
  bool IsEnabled(const ZelSettings* settings) override;
  // Inputs in use that are not continuous.
  bool IsApplicable(const ZelVariableHandleInfo* field) override;

 private:
  int targetIndex_;
  std::unique_ptr<ZelSupervisedMergeTransformation> transformation_;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDMERGEHANDLER_H_
