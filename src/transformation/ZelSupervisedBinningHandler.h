// ZelSupervisedBinningHandler: bins each continuous input against a
// categorical target (BinContFeature). The target categories, ordered by
// their mean of the input, are grouped into homogeneous subsets whose means
// differ by no more than Scheffé's critical difference; a cut point goes
// between neighbouring subsets, nearer the one whose values spread less. The
// input is replaced by an ordinal field of its bin numbers.
#ifndef ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDBINNINGHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDBINNINGHANDLER_H_

#include <vector>

#include "statistics/ZelCategoryMoments.h"
#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelSupervisedBinningHandler : public ZelOperationHandler {
 public:
  // Warns when binning is on but there is no categorical target
  // (kBinningWithoutCategoricalTarget) or no continuous input
  // (kBinningWithoutContinuousInput).
  ZelSupervisedBinningHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                              std::vector<TorCommon_1_3::TorStatus>* warnings);
  ~ZelSupervisedBinningHandler() override;

  TorCommon_1_3::TorStatus Check() override;
  // kCountMismatch without the input's statistic against the target,
  // kNoStatisticalValue when the F quantile has no value, kMissingObject or
  // kInconsistent when the new field's rule or the input's univariate
  // statistic is of another class.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // "supervisedBinning" and a categorical target.
  bool IsEnabled(const ZelSettings* settings) override;

 private:
  void Clear();
  TorCommon_1_3::TorStatus ComputeCriticalDifference();
  void FormSubsets();
  TorCommon_1_3::TorStatus Derive(ZelVariableHandleInfo* field, int index);

  // Working state of the field in hand.
  std::vector<ZelStatistic::ZelCategoryMoments> categories_;  // by mean, ascending
  double total_ = 0.0;
  double criticalDifference_ = 0.0;
  std::vector<double> subsetMeans_;
  std::vector<double> subsetDeviations_;
  std::vector<double> cutPoints_;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDBINNINGHANDLER_H_
