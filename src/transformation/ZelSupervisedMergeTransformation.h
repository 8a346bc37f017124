// ZelSupervisedMergeTransformation: the merge search over one categorical
// input against the target. Every category holding records with a target
// value starts a group; then, greedily, the two candidate groups whose target
// distributions differ least (the largest p-value of the test of the two-row
// table they form) are merged while that p-value exceeds
// "supervisedMergingPValue". Equal p-values go to the pair met first with
// the candidates ordered by their largest category. Which pairs are
// candidates, and how the final groups are numbered, is the subclasses'
// part (ZelOrdinalSMergeTrans, ZelNominalSMergeTrans).
//
// Cost: a pair's p-value depends only on its two groups, so it is computed
// once and kept in a heap instead of being recomputed every round. With K
// categories the search tests the K(K − 1)/2 initial pairs of a nominal input
// (K − 1 of an ordinal one) and after each of at most K − 1 merges only the
// new group's pairs: O(K²) tests in all, the quadratic bound that matters
// since each test fits a table. The heap keeps O(K²) entries and adds a
// logarithmic factor to their comparisons only.
#ifndef ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDMERGETRANSFORMATION_H_
#define ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDMERGETRANSFORMATION_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "torcommon13r/TorStatus.h"
#include "settings/ZelVariableHandleList.h"
#include "statistics/ZelCategoryMoments.h"
#include "statistics/ZelContingencyTable.h"
#include "statistics/ZelPValueCatFeature.h"
#include "transformation/ZelCategoryInfo.h"
#include "transformation/ZelMergedField.h"

namespace ZelTransformation {

class ZelSupervisedMergeTransformation {
 public:
  ZelSupervisedMergeTransformation(ZelVariableHandleList* fields, ZelVariableHandleInfo* input,
                                   int inputIndex, int targetIndex);
  virtual ~ZelSupervisedMergeTransformation();
  ZelSupervisedMergeTransformation(const ZelSupervisedMergeTransformation&) = delete;
  ZelSupervisedMergeTransformation& operator=(const ZelSupervisedMergeTransformation&) = delete;

  // Searches and, when some categories were merged, derives the merged field.
  // kInconsistent for statistics of another class than the input and target
  // need; kNumericalFailure when a test gives no p-value between 0 and 1;
  // kNoStatisticalValue when a group's category has no count.
  TorCommon_1_3::TorStatus RunSearch(const ZelOperationPair& pair);

 protected:
  // Candidate pairs are kept with the group of the smaller order key first.
  struct GroupPair {
    uint32_t first;
    uint32_t second;
  };

  // Adds to candidatePairs_ the pairs to test among `candidates` (the active
  // groups ascending by order key): all of them when `group` is -1, else
  // those that `group` takes part in. False with fewer than two candidates.
  virtual bool BuildCandidatePairs(const std::vector<uint32_t>& candidates, int group) = 0;
  // Deactivates both groups and appends their union, with its target summary
  // pooled. kInconsistent for a group of the wrong class; kNumericalFailure
  // when the pooled weight is 0.
  virtual TorCommon_1_3::TorStatus MergeGroups(uint32_t first, uint32_t second);
  // Fills mapping_ from the active groups.
  virtual TorCommon_1_3::TorStatus BuildMapping() = 0;
  // The step suffix of the merged field.
  virtual StepSuffix Suffix() const = 0;

  void AddPair(uint32_t first, uint32_t second) { candidatePairs_.push_back({first, second}); }
  // Maps the source category at `position` to group label `label`.
  void MapCategory(std::size_t position, std::size_t label);
  // The category's count in the input's univariate table; -1 for a
  // position beyond it.
  int64_t CategoryCount(std::size_t position) const {
    return position < sourceCounts_.size() ? sourceCounts_[position] : -1;
  }
  std::size_t SourceCategoryCount() const { return sourceCounts_.size(); }

  std::vector<std::unique_ptr<CategoryInfo>> groups_;
  std::vector<uint32_t> candidates_;   // active groups ascending by order key
  std::vector<int> withoutTarget_;     // categories no record with a target value fell in
  std::vector<GroupPair> candidatePairs_;

 private:
  TorCommon_1_3::TorStatus GatherCategories();
  TorCommon_1_3::TorStatus GatherGroups();
  TorCommon_1_3::TorStatus Search();
  // The p-value of the two-row table of the pair; kNumericalFailure outside 0
  // … 1.
  TorCommon_1_3::TorStatus Test(const GroupPair& pair, double* p);
  void ReplaceCandidates(uint32_t first, uint32_t second, uint32_t merged);

  ZelVariableHandleList* fields_;  // not owned
  ZelVariableHandleInfo* input_;   // not owned
  int inputIndex_;
  ZelVariableHandleInfo* target_;  // not owned
  const ZelSettings* settings_;
  bool ordinalTarget_ = false;
  bool text_ = false;  // the input's categories are texts
  // The input's categories in its univariate statistic's order, with counts.
  std::vector<double> sourceValues_;
  std::vector<std::string> sourceTexts_;
  std::vector<int64_t> sourceCounts_;
  ZelCategoryMapping mapping_;
  ZelStatistic::ZelPValueCatFeature test_;
  // Scratch of one test, reused.
  ZelStatistic::ZelContingencyTable table_;
  std::vector<ZelStatistic::ZelCategoryMoments> moments_;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELSUPERVISEDMERGETRANSFORMATION_H_
