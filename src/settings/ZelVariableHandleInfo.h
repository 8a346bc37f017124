// ZelVariableHandleInfo: one field the component knows, host or derived. It
// owns the field's variable, the rule that derives it (derived fields only)
// and the statistics computed for it; fields are never removed, only marked
// excluded with the (step, action) that excluded them.
#ifndef ZELCRAFT_SETTINGS_ZELVARIABLEHANDLEINFO_H_
#define ZELCRAFT_SETTINGS_ZELVARIABLEHANDLEINFO_H_

#include <array>
#include <memory>
#include <ostream>
#include <string>

#include "torcommon13r/TorVarList.h"
#include "settings/ZelSettings.h"
#include "statistics/ZelStatistics.h"
#include "transformation/ZelOperation.h"
#include "transformation/ZelTransformRule.h"

namespace ZelStatistic {
class ZelBoxCox;
class ZelOutlier;
class ZelUnivarCont;
}  // namespace ZelStatistic

// Measurement kinds of a field.
namespace MeasureKind {
constexpr int kNone = 0;
constexpr int kContinuous = 1;
constexpr int kNominal = 2;
constexpr int kOrdinal = 3;
}  // namespace MeasureKind

class ZelVariableHandleInfo {
 public:
  using Pair = ZelTransformation::ZelOperationPair;

  // A host field: clones `variable`; flags it as frequency weight when
  // `index` is the settings' frequency weight index, else as analysis weight
  // when it is the analysis weight index.
  ZelVariableHandleInfo(const ZelSettings* settings, const TorCommon_1_3::ITorVariable& variable,
                        int index);
  // A derived copy of `source` under a new name, with the rule of `pair`.
  ZelVariableHandleInfo(const ZelSettings* settings, const std::string& name,
                        const TorCommon_1_3::ITorVariable& source, const Pair& pair, int index);
  // A new derived field of measurement kind `kind` (1, 2 or 3), role 2 for a
  // target and 4 otherwise, with the rule of `pair`.
  ZelVariableHandleInfo(const ZelSettings* settings, const std::string& name,
                        const std::string& label, int kind, bool isTarget, int storage,
                        const Pair& pair, int index);
  virtual ~ZelVariableHandleInfo();
  ZelVariableHandleInfo(const ZelVariableHandleInfo&) = delete;
  ZelVariableHandleInfo& operator=(const ZelVariableHandleInfo&) = delete;

  virtual void Display(std::ostream& out, bool detailed) const;

  // Identity.
  const std::string& GetName() const;
  void SetName(const std::string& name) { name_ = name; }
  const std::string& GetLabel() const;
  const TorCommon_1_3::ITorVariable* GetVariable() const { return variable_.get(); }
  int GetMeasureLevel() const;
  int GetStorage() const;
  int GetRole() const;
  bool IsTarget() const;  // role 1 or 2
  int GetMeasureKind() const;
  bool IsContinuous() const { return GetMeasureKind() == MeasureKind::kContinuous; }
  bool IsNominal() const { return GetMeasureKind() == MeasureKind::kNominal; }
  bool IsOrdinal() const { return GetMeasureKind() == MeasureKind::kOrdinal; }
  bool IsCategorical() const { return IsNominal() || IsOrdinal(); }

  // Flags.
  bool IsDerived() const { return derived_; }
  bool IsExcluded() const { return excluded_; }
  bool IsFrequencyWeight() const { return frequencyWeight_; }
  bool IsAnalysisWeight() const { return analysisWeight_; }
  bool IsWeight() const { return frequencyWeight_ || analysisWeight_; }
  void Exclude(const Pair& reason);
  const Pair& GetExcludedReason() const { return excludedReason_; }
  std::string GetExcludedReasonText() const;
  bool HasPredictivePower() const { return predictivePower_; }
  bool HasHistogramFlag() const { return histogramFlag_; }
  void SetHistogramFlag() { histogramFlag_ = true; }

  // Rule and statistics (null when absent).
  ZelTransformation::ZelTransformRule* GetRule() const { return rule_.get(); }
  ZelStatistic::ZelStatistics* GetUnivariate() const { return univariate_.get(); }
  ZelStatistic::ZelStatistics* GetHistogram() const { return histogram_.get(); }
  ZelStatistic::ZelStatistics* GetTargetStatistic() const { return targetStatistic_.get(); }
  ZelStatistic::ZelStatistics* GetOperationStatistic() const { return operationStatistic_.get(); }
  // The target the operation statistic was made against; null before.
  ZelVariableHandleInfo* GetTargetHandle() const { return targetHandle_; }
  ZelStatistic::ZelOutlier* GetOutlier() const { return outlier_.get(); }
  ZelStatistic::ZelBoxCox* GetBoxCox() const { return boxCox_.get(); }

  // A ZelOutlier of a continuous field that is not excluded, from its
  // finished ZelUnivarCont (kMissingStatistic without a univariate statistic,
  // kInconsistent for one of another class); replaces an earlier one.
  TorCommon_1_3::TorStatus CreateOutlierStatistic(int index);
  // A ZelBoxCox of a continuous target that is not excluded, with the grid
  // and rescaling of the settings (errors as above); an exponent grid the
  // statistic rejects is reported and no statistic is kept.
  TorCommon_1_3::TorStatus CreateBoxCoxStatistic(int index);
  // Whether this is a skewed input the skewness step transforms: the step is
  // on, the field is a kept continuous input of whole or real numbers that
  // the step did not derive, and its finished summary has a valid skewness
  // whose absolute value exceeds the threshold.
  bool IsSkewedInput() const;
  // For a skewed input, a ZelBoxCox over the settings' exponent grid that
  // also tracks the signed logarithm when that is the method (errors as
  // above); nothing for other fields.
  TorCommon_1_3::TorStatus CreateSkewStatistic(int index);

  // A ZelUnivarContHistogram of a continuous field, set up from its finished
  // univariate statistic (kMissingObject when there is none).
  TorCommon_1_3::TorStatus CreateHistogram(int index);

  // The statistic of this input (at `index`) against `target` (at
  // `targetIndex`) for the bivariate pass, by the two measurement kinds: a
  // continuous input against a categorical target groups the input by target
  // category; a categorical input gets its table against a categorical
  // target, or the target's moments per category of a continuous one; a
  // continuous input against a continuous target is kUnsupportedKind (the
  // build's continuous-by-continuous statistic covers that pair).
  // kMissingStatistic for a target field, or when either has no univariate
  // statistic; no statistic for a field without a level.
  TorCommon_1_3::TorStatus CreateTargetStatistic(const Pair& pair, int index,
                                                 ZelVariableHandleInfo* target, int targetIndex);
  // The statistic of this input against `target` for one operation. The pair
  // (kUnknown, kUnknown) asks for the input's predictive statistic and sets
  // the predictive-power flag: for a continuous input against a continuous
  // target it takes its correlation from `list` (the build's continuous-by-
  // continuous statistic, kMissingObject when none) when that covers both
  // fields, and makes a pass of its own otherwise. kUnsupportedKind for pairs
  // it does not know.
  TorCommon_1_3::TorStatus CreateOperationStatistic(const Pair& pair, int index,
                                                    ZelVariableHandleInfo* target, int targetIndex,
                                                    const ZelStatistic::ZelStatistics* list);
  // The predictive power of this input for its target handle, through a
  // ZelPredictivePowerCalculator; a failure leaves `power` untouched.
  TorCommon_1_3::TorStatus GetPredictivePower(double* power) const;

  // Feeds the record to every statistic that is not done, in order; the
  // first error is stored and returned.
  TorCommon_1_3::TorStatus ProcessRecord(const TorCommon_1_3::RawRecord& record);
  // Appends the statistics ProcessRecord feeds, in its order. None becomes
  // done while records arrive, so a pass may take the list once up front.
  void AppendLiveStatistics(std::vector<ZelStatistic::ZelStatistics*>* live) const;
  TorCommon_1_3::TorStatus EndPass();
  // True when some statistic still needs a pass; for an excluded field only
  // its histogram counts.
  bool NeedsStatistics() const;

  TorCommon_1_3::TorStatus GetStatus() const { return status_; }
  void SetStatus(const TorCommon_1_3::TorStatus& status) { status_ = status; }

 private:
  // Every statistic slot, in feeding order; empty slots are null.
  std::array<ZelStatistic::ZelStatistics*, 6> Statistics() const;
  // (Re)creates the univariate statistic from the measurement level.
  void CreateUnivariate(int index);
  // The field's finished ZelUnivarCont, or null with the error stored.
  const ZelStatistic::ZelUnivarCont* FinishedContinuous();
  void CreateRule(const Pair& pair);
  // The bivariate statistic of this input against `target` by their kinds;
  // nothing for a field without a level.
  TorCommon_1_3::TorStatus MakeTargetStatistic(
      int index, const ZelVariableHandleInfo& target, int targetIndex,
      std::unique_ptr<ZelStatistic::ZelStatistics>* made) const;

  std::unique_ptr<TorCommon_1_3::ITorVariable> variable_;
  std::unique_ptr<ZelTransformation::ZelTransformRule> rule_;
  std::unique_ptr<ZelStatistic::ZelStatistics> univariate_;
  std::unique_ptr<ZelStatistic::ZelOutlier> outlier_;
  std::unique_ptr<ZelStatistic::ZelBoxCox> boxCox_;
  std::unique_ptr<ZelStatistic::ZelStatistics> targetStatistic_;
  std::unique_ptr<ZelStatistic::ZelStatistics> operationStatistic_;
  ZelVariableHandleInfo* targetHandle_ = nullptr;  // not owned
  std::unique_ptr<ZelStatistic::ZelStatistics> histogram_;
  const ZelSettings* settings_;
  bool derived_ = false;
  bool excluded_ = false;
  bool frequencyWeight_ = false;
  bool analysisWeight_ = false;
  bool predictivePower_ = false;
  bool histogramFlag_ = false;
  Pair excludedReason_;
  std::string name_;
  TorCommon_1_3::TorStatus status_;
};

#endif  // ZELCRAFT_SETTINGS_ZELVARIABLEHANDLEINFO_H_
