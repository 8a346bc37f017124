// ZelUnsupervisedMergeHandler: without a target, merges the sparse
// categories of categorical inputs (MergeCatFeatureForSparse) so that every
// merged category holds at least "unsupervisedMergingMinPercentageOfCases"
// of the valid records. Nominal fields are walked from their rarest category
// up, ordinal fields in their natural order, so an ordinal merge only ever
// joins neighbours. Walking along, a group closes as soon as it reaches the
// minimum count; a last category that reaches it only together with all
// before it stands alone, and a remainder below the minimum stays a group of
// its own after one group and joins the last group after more. The merged
// field maps every category to its group's number (0, 1, … in walking order)
// and replaces the source.
#ifndef ZELCRAFT_TRANSFORMATION_ZELUNSUPERVISEDMERGEHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELUNSUPERVISEDMERGEHANDLER_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelUnsupervisedMergeHandler : public ZelOperationHandler {
 public:
  // With merging on, warns when there is a target
  // (kUnsupervisedMergeWithTarget) or no categorical input
  // (kUnsupervisedMergeWithoutCategoricalInput).
  ZelUnsupervisedMergeHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                              std::vector<TorCommon_1_3::TorStatus>* warnings);
  ~ZelUnsupervisedMergeHandler() override;

  TorCommon_1_3::TorStatus Check() override;
  // kInconsistent when the field's univariate statistic, or the merged
  // field's rule or statistic, is of another class than its kind needs.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // Merging of nominal or of ordinal fields is on, and there is no target.
  bool IsEnabled(const ZelSettings* settings) override;

 private:
  void Clear();
  TorCommon_1_3::TorStatus Gather(const ZelVariableHandleInfo& field, bool nominal);
  void FormGroups();
  TorCommon_1_3::TorStatus Derive(ZelVariableHandleInfo* field, int index);

  // Working state of the field in hand, categories in walking order.
  bool text_ = false;
  int64_t minimumCount_ = 0;
  std::vector<std::string> texts_;
  std::vector<double> values_;
  std::vector<int64_t> counts_;
  std::vector<std::pair<std::size_t, std::size_t>> groups_;  // first and last position
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELUNSUPERVISEDMERGEHANDLER_H_
