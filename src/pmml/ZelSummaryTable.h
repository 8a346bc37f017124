// The processing summary: per step, how many usable inputs went in and came
// out and which actions it took on how many fields with which parameters,
// plus the field counts of the whole build. The step runner records field
// counts as steps run; the rest is gathered from the field list once, after
// the last pass, and only read by the document writer.
#ifndef ZELCRAFT_PMML_ZELSUMMARYTABLE_H_
#define ZELCRAFT_PMML_ZELSUMMARYTABLE_H_

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "torcommon13r/TorStatus.h"
#include "transformation/ZelOperation.h"

class ZelVariableHandleList;

namespace ZelSummary {

// One action taken in a step, with the parameters the document shows.
class ActionInfo {
 public:
  explicit ActionInfo(int action) : action_(action) {}
  virtual ~ActionInfo();

  int GetAction() const { return action_; }
  std::vector<std::string>& TextParameters() { return texts_; }
  const std::vector<std::string>& TextParameters() const { return texts_; }
  std::vector<double>& NumericParameters() { return numbers_; }
  const std::vector<double>& NumericParameters() const { return numbers_; }

 private:
  int action_;
  std::vector<std::string> texts_;
  std::vector<double> numbers_;
};

struct StepSumInfo {
  int step = 0;
  int inputFeatures = 0;
  int outputFeatures = 0;
  std::vector<std::unique_ptr<ActionInfo>> actions;  // in the order first met
};

// Field counts of a build. Recommended fields are those left included.
struct SummaryCounts {
  int target = 0;
  int originalInputFields = 0;
  int recommendedTotal = 0;
  int recommendedOriginalFields = 0;
  int recommendedTransformationsOfOriginalFields = 0;
  int recommendedDerivedFromDateTime = 0;
  int recommendedConstructed = 0;
  // Original inputs that no recommended field is built from.
  int originalFieldsNotUsed = 0;
  int recommendedTarget = 0;
  int recommendedTransformTarget = 0;
  double processingSeconds = 0.0;
};

class SummaryTable {
 public:
  static constexpr int kSteps = ZelTransformation::Step::kCount;
  static constexpr int kActions = ZelTransformation::Action::kCount;

  explicit SummaryTable(const ZelVariableHandleList* fields) : fields_(fields) {}

  // The first call for a step creates its record; later calls change only the
  // output count. kBadSummaryRecord for a step outside the registry.
  TorCommon_1_3::TorStatus SetStepCounts(uint32_t step, int inputs, int outputs);

  // Gathers the counts and the action records from the field list.
  // kBadSummaryRecord for a field whose rule or exclusion names an unknown
  // step or action, kSummaryFailed without a field list.
  TorCommon_1_3::TorStatus Collect(double processingSeconds);

  const StepSumInfo* GetStep(int step) const;
  const SummaryCounts& GetCounts() const { return counts_; }
  // How many fields an action was counted for; 0 outside the vocabulary.
  int GetActionCount(int action) const;

 private:
  void CountFields();
  int CountOriginalFieldsNotUsed() const;
  TorCommon_1_3::TorStatus CollectActions();
  // Counts the action and, the first time, appends its record to the step.
  TorCommon_1_3::TorStatus RecordAction(uint32_t step, uint32_t action,
                                        std::vector<double> parameters);

  const ZelVariableHandleList* fields_;
  std::array<std::optional<StepSumInfo>, kSteps> steps_;
  std::array<int, kActions> actionCounts_{};
  SummaryCounts counts_;
};

}  // namespace ZelSummary

#endif  // ZELCRAFT_PMML_ZELSUMMARYTABLE_H_
