#include "settings/ZelVariableHandleInfo.h"

#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBoxCox.h"
#include "statistics/ZelOutlier.h"
#include "statistics/ZelUnivarCont.h"
#include "statistics/ZelUnivarContHistogram.h"
#include "statistics/ZelUnivarNumericCat.h"
#include "statistics/ZelUnivarStringCat.h"

using TorCommon_1_3::ITorVariable;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorCatVar;
using TorCommon_1_3::TorContVar;
using TorCommon_1_3::TorStatus;
using ZelStatistic::ZelStatistics;

namespace {

const std::string kEmpty;

bool IsLive(const ZelStatistics* statistic) {
  return statistic != nullptr && !statistic->IsInformationCollected();
}

}  // namespace

ZelVariableHandleInfo::ZelVariableHandleInfo(const ZelSettings* settings,
                                             const ITorVariable& variable, int index)
    : variable_(variable.Clone()), settings_(settings) {
  if (index == settings_->frequencyWeightIndex) {
    frequencyWeight_ = true;
  } else if (index == settings_->analysisWeightIndex) {
    analysisWeight_ = true;
  }
  CreateUnivariate(index);
}

ZelVariableHandleInfo::ZelVariableHandleInfo(const ZelSettings* settings, const std::string& name,
                                             const ITorVariable& source, const Pair& pair,
                                             int index)
    : variable_(source.Clone()), settings_(settings), derived_(true), name_(name) {
  CreateRule(pair);
  if (rule_ != nullptr) CreateUnivariate(index);
}

ZelVariableHandleInfo::ZelVariableHandleInfo(const ZelSettings* settings, const std::string& name,
                                             const std::string& label, int kind, bool isTarget,
                                             int storage, const Pair& pair, int index)
    : settings_(settings), derived_(true), name_(name) {
  const int role = isTarget ? TorCommon_1_3::kRoleDerivedTarget : TorCommon_1_3::kRoleInput;
  if (kind == MeasureKind::kContinuous) {
    variable_.reset(new TorContVar(name, label, role));
  } else if (kind == MeasureKind::kNominal || kind == MeasureKind::kOrdinal) {
    const int level = kind == MeasureKind::kNominal && storage == TorCommon_1_3::kStorageString
                          ? TorCommon_1_3::kLevelCategoricalString
                          : TorCommon_1_3::kLevelCategorical;
    variable_.reset(new TorCatVar(name, label, 10, level, role, kind == MeasureKind::kOrdinal));
  }
  if (variable_ != nullptr) variable_->SetVariableStorage(storage);
  CreateRule(pair);
  if (rule_ != nullptr) CreateUnivariate(index);
}

ZelVariableHandleInfo::~ZelVariableHandleInfo() = default;

const std::string& ZelVariableHandleInfo::GetName() const {
  if (derived_) return name_;
  return variable_ != nullptr ? variable_->GetVariableName() : kEmpty;
}

const std::string& ZelVariableHandleInfo::GetLabel() const {
  return variable_ != nullptr ? variable_->GetVariableLabel() : kEmpty;
}

int ZelVariableHandleInfo::GetMeasureLevel() const {
  return variable_ != nullptr ? variable_->GetMeasureLevel() : TorCommon_1_3::kLevelNone;
}

int ZelVariableHandleInfo::GetStorage() const {
  return variable_ != nullptr ? variable_->GetVariableStorage() : TorCommon_1_3::kStorageUndefined;
}

int ZelVariableHandleInfo::GetRole() const {
  return variable_ != nullptr ? variable_->GetVariableRole() : TorCommon_1_3::kRoleNone;
}

bool ZelVariableHandleInfo::IsTarget() const {
  const int role = GetRole();
  return role == TorCommon_1_3::kRoleTarget || role == TorCommon_1_3::kRoleDerivedTarget;
}

int ZelVariableHandleInfo::GetMeasureKind() const {
  switch (GetMeasureLevel()) {
    case TorCommon_1_3::kLevelContinuous:
    case TorCommon_1_3::kLevelContinuousOther:
      return MeasureKind::kContinuous;
    case TorCommon_1_3::kLevelCategorical: {
      const auto* categorical = dynamic_cast<const TorCatVar*>(variable_.get());
      return categorical != nullptr && categorical->GetOrdinalFlag() ? MeasureKind::kOrdinal
                                                                     : MeasureKind::kNominal;
    }
    case TorCommon_1_3::kLevelCategoricalString:
      return MeasureKind::kNominal;
    default:
      return MeasureKind::kNone;
  }
}

void ZelVariableHandleInfo::Exclude(const Pair& reason) {
  // The first exclusion is the reason the field is gone; later steps skip it.
  if (excluded_) return;
  excluded_ = true;
  excludedReason_ = reason;
}

std::string ZelVariableHandleInfo::GetExcludedReasonText() const {
  return ZelTransformation::GetOperationText(excludedReason_);
}

void ZelVariableHandleInfo::CreateRule(const Pair& pair) {
  TorStatus created;
  rule_.reset(ZelTransformation::CreateTransformRule(pair, &created));
  if (rule_ == nullptr) status_ = created;
}

void ZelVariableHandleInfo::CreateUnivariate(int index) {
  univariate_.reset();
  const uint32_t field = static_cast<uint32_t>(index);
  // Only a nominal input can be replaced by its target means: the target,
  // weights and ordinal fields count the usual number of categories.
  const bool encodable = IsNominal() && !IsTarget() && !IsWeight();
  switch (GetMeasureLevel()) {
    case TorCommon_1_3::kLevelContinuous:
    case TorCommon_1_3::kLevelContinuousOther:
      univariate_.reset(new ZelStatistic::ZelUnivarCont(settings_, field));
      break;
    case TorCommon_1_3::kLevelCategorical:
      univariate_.reset(new ZelStatistic::ZelUnivarNumericCat(settings_, field, !IsOrdinal(), encodable));
      break;
    case TorCommon_1_3::kLevelCategoricalString:
      univariate_.reset(new ZelStatistic::ZelUnivarStringCat(settings_, field, encodable));
      break;
    default:
      break;
  }
}

TorStatus ZelVariableHandleInfo::CreateHistogram(int index) {
  if (!IsContinuous()) return TorStatus();
  if (univariate_ == nullptr) {
    status_ = TorStatus(ZelStatusCode::kMissingObject, false);
    return status_;
  }
  auto histogram = std::make_unique<ZelStatistic::ZelUnivarContHistogram>(
      settings_, static_cast<uint32_t>(index));
  status_ = histogram->SetUpHistogram(*univariate_);
  if (status_.IsError()) return status_;
  histogram_ = std::move(histogram);
  return status_;
}

const ZelStatistic::ZelUnivarCont* ZelVariableHandleInfo::FinishedContinuous() {
  if (univariate_ == nullptr) {
    status_ = TorStatus(ZelStatusCode::kMissingStatistic, false);
    return nullptr;
  }
  const auto* cont = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(univariate_.get());
  if (cont == nullptr) status_ = TorStatus(ZelStatusCode::kInconsistent, false);
  return cont;
}

TorStatus ZelVariableHandleInfo::CreateOutlierStatistic(int index) {
  if (excluded_ || !IsContinuous()) return TorStatus();
  const ZelStatistic::ZelUnivarCont* cont = FinishedContinuous();
  if (cont == nullptr) return status_;
  const ZelStatistic::ZelContSummary& s = cont->GetSummary();
  outlier_ = std::make_unique<ZelStatistic::ZelOutlier>(settings_, static_cast<uint32_t>(index),
                                                        s.GetMean(), s.GetStdDev(),
                                                        s.GetWeightSum(), s.GetValidCount());
  status_ = TorStatus();
  return status_;
}

TorStatus ZelVariableHandleInfo::CreateBoxCoxStatistic(int index) {
  if (excluded_ || !IsTarget() || !IsContinuous()) return TorStatus();
  const ZelStatistic::ZelUnivarCont* cont = FinishedContinuous();
  if (cont == nullptr) return status_;
  const ZelSettings& s = *settings_;
  auto boxCox = std::make_unique<ZelStatistic::ZelBoxCox>(
      settings_, static_cast<uint32_t>(index), s.boxCoxExponentStart, s.boxCoxExponentEnd,
      s.boxCoxExponentStep, cont->GetSummary().GetMinimum(), s.rescaleContTargetSD,
      s.rescaleContTargetMean);
  status_ = boxCox->GetStatus();
  if (!status_.IsError()) boxCox_ = std::move(boxCox);
  return status_;
}

bool ZelVariableHandleInfo::IsSkewedInput() const {
  if (!settings_->skewTransform || excluded_ || IsTarget() || IsWeight() || !IsContinuous()) {
    return false;
  }
  const int storage = GetStorage();
  if (storage != TorCommon_1_3::kStorageInteger && storage != TorCommon_1_3::kStorageReal) {
    return false;
  }
  if (rule_ != nullptr && rule_->GetPair().action == ZelTransformation::Action::kSkewTransformContFeature) {
    return false;
  }
  const auto* cont = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(univariate_.get());
  if (cont == nullptr || !cont->IsInformationCollected()) return false;
  const ZelStatistic::ZelContSummary& summary = cont->GetSummary();
  return summary.IsSkewnessValid() && std::fabs(summary.GetSkewness()) > settings_->skewThreshold;
}

TorStatus ZelVariableHandleInfo::CreateSkewStatistic(int index) {
  if (!IsSkewedInput()) return TorStatus();
  const ZelStatistic::ZelUnivarCont* cont = FinishedContinuous();
  if (cont == nullptr) return status_;
  const ZelSettings& s = *settings_;
  // The transformed input is rescaled by the rescaling step, not here.
  auto boxCox = std::make_unique<ZelStatistic::ZelBoxCox>(
      settings_, static_cast<uint32_t>(index), s.boxCoxExponentStart, s.boxCoxExponentEnd,
      s.boxCoxExponentStep, cont->GetSummary().GetMinimum(), 1.0, 0.0);
  if (s.skewTransformMethod == 1) boxCox->TrackSignedLog();
  status_ = boxCox->GetStatus();
  if (!status_.IsError()) boxCox_ = std::move(boxCox);
  return status_;
}

std::array<ZelStatistics*, 6> ZelVariableHandleInfo::Statistics() const {
  // The univariate statistic is fed first and the histogram last; the other
  // per-field statistics go between them.
  return {univariate_.get(),      outlier_.get(),
          boxCox_.get(),          targetStatistic_.get(),
          operationStatistic_.get(), histogram_.get()};
}

void ZelVariableHandleInfo::AppendLiveStatistics(std::vector<ZelStatistics*>* live) const {
  for (ZelStatistics* statistic : Statistics()) {
    if (IsLive(statistic)) live->push_back(statistic);
  }
}

TorStatus ZelVariableHandleInfo::ProcessRecord(const RawRecord& record) {
  TorStatus result;
  for (ZelStatistics* statistic : Statistics()) {
    if (!IsLive(statistic)) continue;
    result = statistic->AddRecord(record);
    if (result.IsError()) break;
  }
  status_ = result;
  return result;
}

TorStatus ZelVariableHandleInfo::EndPass() {
  TorStatus result;
  for (ZelStatistics* statistic : Statistics()) {
    if (!IsLive(statistic)) continue;
    result = statistic->Finalize();
    if (result.IsError()) break;
  }
  status_ = result;
  return result;
}

bool ZelVariableHandleInfo::NeedsStatistics() const {
  // The document shows the histograms of some excluded fields too (those
  // excluded by screening, for instance); nothing else of theirs is read.
  if (excluded_) return IsLive(histogram_.get());
  if (IsLive(univariate_.get())) return true;
  // A weight field only needs its own summary.
  if (IsWeight()) return false;
  return IsLive(outlier_.get()) || IsLive(boxCox_.get()) || IsLive(targetStatistic_.get()) ||
         IsLive(operationStatistic_.get()) || IsLive(histogram_.get());
}

void ZelVariableHandleInfo::Display(std::ostream& out, bool detailed) const {
  out << "Name = [" << GetName() << "] [" << TorCommon_1_3::GetStorageName(GetStorage()) << "]";
  if (IsTarget()) out << "[Target]";
  if (excluded_) out << "[Excluded - " << GetExcludedReasonText() << "]";
  if (analysisWeight_) out << "[AnalysisWeight]";
  if (frequencyWeight_) out << "[FrequencyWeight]";
  if (derived_) out << "[Derived]";
  if (detailed) {
    if (rule_ != nullptr) rule_->Display(out);
    const ZelStatistics* const statistics[] = {univariate_.get(),      outlier_.get(),
                                               boxCox_.get(),          targetStatistic_.get(),
                                               operationStatistic_.get(), histogram_.get()};
    for (const ZelStatistics* statistic : statistics) {
      if (statistic != nullptr) statistic->Display(out);
    }
  }
  out << (NeedsStatistics() ? "[NeedDoStatistics]" : "[Need Not DoStatistics]") << "\n";
}
