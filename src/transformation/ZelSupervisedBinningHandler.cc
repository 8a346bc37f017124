#include "transformation/ZelSupervisedBinningHandler.h"

#include <algorithm>
#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBivarCatTargetCont.h"
#include "statistics/ZelUnivarCont.h"
#include "torcommon13r/TorDistFun.h"
#include "torcommon13r/TorMV.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelSupervisedBinningDiscretizationRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;
using ZelStatistic::ZelCategoryMoments;

ZelSupervisedBinningHandler::ZelSupervisedBinningHandler(
    const ZelOperationPair& pair, ZelVariableHandleList* fields,
    std::vector<TorCommon_1_3::TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings) {
  if (!Settings()->supervisedBinning) return;
  const ZelVariableHandleInfo* target = fields->GetHandle(fields->GetTargetIndex());
  if (target == nullptr || !target->IsCategorical()) {
    Warn(ZelStatusCode::kBinningWithoutCategoricalTarget);
  }
  if (fields->GetContinuousInputs().empty()) Warn(ZelStatusCode::kBinningWithoutContinuousInput);
}

ZelSupervisedBinningHandler::~ZelSupervisedBinningHandler() = default;

TorStatus ZelSupervisedBinningHandler::Check() { return CheckStep(Step::kHandleContinuousFeatures); }

bool ZelSupervisedBinningHandler::IsEnabled(const ZelSettings* settings) {
  const ZelVariableHandleInfo* target = fields_->GetHandle(fields_->GetTargetIndex());
  return settings != nullptr && settings->supervisedBinning && target != nullptr &&
         target->IsCategorical();
}

void ZelSupervisedBinningHandler::Clear() {
  categories_.clear();
  total_ = 0.0;
  criticalDifference_ = 0.0;
  subsetMeans_.clear();
  subsetDeviations_.clear();
  cutPoints_.clear();
}

TorStatus ZelSupervisedBinningHandler::ProcessField(ZelVariableHandleInfo* field, int index) {
  if (field->IsTarget() || !field->IsContinuous()) return TorStatus();
  Clear();
  const auto* statistic =
      dynamic_cast<const ZelStatistic::ZelBivarCatTargetCont*>(field->GetTargetStatistic());
  if (statistic == nullptr) return TorStatus(ZelStatusCode::kCountMismatch, false);
  // A target category without records carries nothing about the input (its
  // mean would only be a placeholder), so it takes no part.
  for (const ZelCategoryMoments& c : statistic->GetMoments()) {
    if (c.frequency > 0.0 && c.weight > 0.0) categories_.push_back(c);
  }
  total_ = statistic->GetTotalFrequency();
  std::stable_sort(categories_.begin(), categories_.end(),
                   [](const ZelCategoryMoments& a, const ZelCategoryMoments& b) {
                     return a.mean < b.mean;
                   });
  const TorStatus computed = ComputeCriticalDifference();
  if (computed.IsError()) return computed;
  FormSubsets();
  return Derive(field, index);
}

// Scheffé's criterion with the harmonic mean of the category weights. With
// one record per category nothing is known about the spread: one subset.
TorStatus ZelSupervisedBinningHandler::ComputeCriticalDifference() {
  const double k = static_cast<double>(categories_.size());
  if (categories_.size() < 2 || static_cast<int64_t>(total_) == static_cast<int64_t>(k)) {
    criticalDifference_ = categories_.empty()
                              ? 0.0
                              : categories_.back().mean - categories_.front().mean + 1.0;
    return TorStatus();
  }
  double m2 = 0.0;
  double inverseWeights = 0.0;
  for (const ZelCategoryMoments& c : categories_) {
    m2 += c.m2;
    inverseWeights += 1.0 / c.weight;
  }
  const double f =
      TorMath_1_3::TorDistFun::IdfF(1.0 - Settings()->supervisedBinningPvalue, k - 1.0, total_ - k);
  if (TorCommon_1_3::TorMV::IsMissing(f)) {
    return TorStatus(ZelStatusCode::kNoStatisticalValue, false);
  }
  criticalDifference_ =
      std::sqrt(f * 2.0 * (k - 1.0)) * std::sqrt(m2 * inverseWeights / ((total_ - k) * k));
  return TorStatus();
}

void ZelSupervisedBinningHandler::FormSubsets() {
  const std::size_t count = categories_.size();
  std::size_t start = 0;
  std::size_t end = count == 0 ? 0 : count - 1;
  while (start < count) {
    // A subset reaches as far as the critical difference allows; a lone
    // category always forms one, so the walk ends.
    if (end == start ||
        criticalDifference_ >= std::fabs(categories_[end].mean - categories_[start].mean)) {
      double mean = 0.0;
      double weight = 0.0;
      double frequency = 0.0;
      for (std::size_t i = start; i <= end; ++i) {
        weight += categories_[i].weight;
        mean += (categories_[i].mean - mean) * categories_[i].weight / weight;
        frequency += categories_[i].frequency;
      }
      double spread = 0.0;
      for (std::size_t i = start; i <= end; ++i) {
        const double d = mean - categories_[i].mean;
        spread += categories_[i].weight * d * d + categories_[i].m2;
      }
      subsetMeans_.push_back(mean);
      subsetDeviations_.push_back(frequency != 1.0 ? std::sqrt(spread / (frequency - 1.0)) : 0.0);
      start = end + 1;
      end = count - 1;
    } else {
      --end;
    }
  }
  for (std::size_t j = 0; j + 1 < subsetMeans_.size(); ++j) {
    const double s0 = subsetDeviations_[j];
    const double s1 = subsetDeviations_[j + 1];
    cutPoints_.push_back(subsetMeans_[j] + (subsetMeans_[j + 1] - subsetMeans_[j]) *
                                               (s0 + 1e-11) / (s0 + s1 + 2e-11));
  }
}

TorStatus ZelSupervisedBinningHandler::Derive(ZelVariableHandleInfo* field, int index) {
  const std::string name =
      field->GetName() + Settings()->GetStepSuffix(StepSuffix::kCreateOrdinalFeatureCont);
  const int binned =
      fields_->AddDerivedField(name, field->GetLabel(), MeasureKind::kOrdinal, false,
                               TorCommon_1_3::kStorageReal, pair_);
  if (binned < 0) return fields_->GetStatus();
  field->Exclude(pair_);
  auto* rule = dynamic_cast<ZelSupervisedBinningDiscretizationRule*>(
      fields_->GetHandle(binned)->GetRule());
  if (rule == nullptr) return TorStatus(ZelStatusCode::kMissingObject, false);
  rule->AddInput(field->GetName(), index);
  rule->SetCutPoints(cutPoints_);
  const auto* univariate = dynamic_cast<const ZelStatistic::ZelUnivarCont*>(field->GetUnivariate());
  if (univariate == nullptr) return TorStatus(ZelStatusCode::kInconsistent, false);
  rule->SetRange(univariate->GetSummary().GetMinimum(), univariate->GetSummary().GetMaximum());
  return TorStatus();
}

}  // namespace ZelTransformation
