#include "transformation/ZelConstructFeatureHandler.h"

#include <algorithm>
#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelCorrelationTest.h"
#include "statistics/ZelFormat.h"
#include "torcommon13r/TorMV.h"
#include "torcommon13r/TorMatrix.h"
#include "torcommon13r/TorVariable.h"
#include "transformation/ZelConstructTransformRule.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

namespace {

constexpr std::size_t kMaxGroupSize = 5;

std::size_t DecimalDigits(std::size_t n) {
  std::size_t digits = 1;
  for (; n >= 10; n /= 10) ++digits;
  return digits;
}

bool Contains(const std::vector<int>& list, int value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

ZelConstructFeatureHandler::ZelConstructFeatureHandler(
    const ZelOperationPair& pair, ZelVariableHandleList* fields,
    std::vector<TorCommon_1_3::TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings),
      width_(DecimalDigits(fields->GetContinuousInputs().size())) {
  if (Settings()->featureConstruction && fields->GetContinuousInputs().empty()) {
    Warn(ZelStatusCode::kConstructionWithoutContinuousInput);
  }
}

TorStatus ZelConstructFeatureHandler::Check() {
  const ZelOperationPair own{Step::kHandleContinuousFeatures, Action::kConstructContFeature};
  return pair_ == own ? TorStatus() : TorStatus(ZelStatusCode::kWrongStep, false);
}

bool ZelConstructFeatureHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->featureConstruction;
}

TorStatus ZelConstructFeatureHandler::Run() {
  const TorStatus checked = Check();
  if (checked.IsError()) return checked;
  if (fields_->GetValidCount() == 0 || !IsEnabled(Settings())) return TorStatus();
  const TorStatus mismatch(ZelStatusCode::kCountMismatch, false);
  pairs_ = dynamic_cast<const ZelStatistic::ZelBivarContCont*>(fields_->GetListStatistic());
  if (pairs_ == nullptr || !pairs_->IsComplete()) return mismatch;
  const std::vector<int>& indices = pairs_->GetFieldIndices();
  const int order = static_cast<int>(indices.size());
  const int target = fields_->GetTargetIndex();
  targetPosition_ = target == -1 ? -1 : pairs_->FindPosition(target);
  candidates_.clear();
  for (int position = 0; position < order; ++position) {
    if (indices[position] != target) candidates_.push_back(position);
  }
  // Repeated subtraction: the ninth threshold lies just above 0.1.
  for (double tau = 0.9; tau > 0.1; tau -= 0.1) {
    const TorStatus cycle = RunCycle(tau);
    if (cycle.IsError()) return cycle;
    if (candidates_.size() < 2) break;
  }
  return TorStatus();
}

void ZelConstructFeatureHandler::DropExcluded() {
  const std::vector<int>& indices = pairs_->GetFieldIndices();
  candidates_.erase(std::remove_if(candidates_.begin(), candidates_.end(),
                                   [&](int position) {
                                     const ZelVariableHandleInfo* field =
                                         fields_->GetHandle(indices[position]);
                                     return field == nullptr || field->IsExcluded();
                                   }),
                    candidates_.end());
}

TorStatus ZelConstructFeatureHandler::RunCycle(double tau) {
  DropExcluded();
  if (candidates_.size() < 2) return TorStatus();
  std::vector<int> group;
  if (!Seed(tau, &group)) return TorStatus();
  Grow(tau, &group);
  std::vector<double> coefficients;
  TorStatus status = PrincipalComponent(group, &coefficients);
  if (!status.IsError()) status = Construct(group, coefficients);
  if (status.IsError()) return status;
  DropExcluded();
  if (candidates_.empty() || !Settings()->featureSelection || targetPosition_ < 0) {
    return TorStatus();
  }
  return ScreenAgainstTarget(group, coefficients);
}

// The most correlated pair above τ; of equal ones the first met.
bool ZelConstructFeatureHandler::Seed(double tau, std::vector<int>* group) const {
  double best = tau;
  for (std::size_t i = 0; i < candidates_.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      const double r = std::fabs(Correlation(candidates_[i], candidates_[j]));
      if (r > best) {
        best = r;
        *group = {candidates_[i], candidates_[j]};
      }
    }
  }
  return !group->empty();
}

// A candidate correlated above τ with some member is tried once; it joins
// when it is so correlated with every member.
void ZelConstructFeatureHandler::Grow(double tau, std::vector<int>* group) const {
  std::vector<int> tried;
  while (group->size() < kMaxGroupSize) {
    int found = -1;
    for (int member : *group) {
      for (int k : candidates_) {
        if (Contains(*group, k) || Contains(tried, k)) continue;
        if (std::fabs(Correlation(member, k)) > tau) {
          found = k;
          break;
        }
      }
      if (found >= 0) break;
    }
    if (found < 0) return;
    tried.push_back(found);
    const bool joins = std::all_of(group->begin(), group->end(), [&](int member) {
      return std::fabs(Correlation(member, found)) > tau;
    });
    if (joins) group->push_back(found);
  }
}

TorStatus ZelConstructFeatureHandler::PrincipalComponent(const std::vector<int>& group,
                                                         std::vector<double>* coefficients) const {
  const int size = static_cast<int>(group.size());
  TorMath_1_3::TorSymMatrix covariance(size);
  for (int a = 0; a < size; ++a) {
    for (int b = 0; b <= a; ++b) covariance.SetElem(a, b, Covariance(group[a], group[b]));
  }
  TorMath_1_3::TorEigenValues eigen;
  eigen.SetHMatrix(covariance);
  std::vector<double> values;
  TorMath_1_3::TorRectMatrix vectors;
  const TorStatus failed(ZelStatusCode::kNumericalFailure, false);
  if (eigen.GetSorted(values, vectors, true) != size) return failed;
  // Without variance there is no component to scale to unit variance.
  const double lambda = values.front();
  if (!(lambda > 0.0)) return failed;
  const double sign = vectors.GetElem(0, 0) < 0.0 ? -1.0 : 1.0;
  for (int j = 0; j < size; ++j) {
    coefficients->push_back(sign * vectors.GetElem(j, 0) / std::sqrt(lambda));
  }
  return TorStatus();
}

std::string ZelConstructFeatureHandler::NextName() {
  const std::string& root = Settings()->GetNamePart(NamePart::kRootForConstructed);
  // A field of the same name already there (a host field called feature1,
  // say) makes the number move on: a document needs distinct names.
  for (;;) {
    const std::string name =
        root + ZelStatistic::FormatPaddedInteger(++sequence_, width_, '0');
    bool taken = false;
    for (int i = 0; i < fields_->Count() && !taken; ++i) {
      taken = fields_->GetHandle(i)->GetName() == name;
    }
    if (!taken) return name;
  }
}

TorStatus ZelConstructFeatureHandler::Construct(const std::vector<int>& group,
                                                const std::vector<double>& coefficients) {
  const std::string name = NextName();
  const int index = fields_->AddDerivedField(name, name, MeasureKind::kContinuous, false,
                                             TorCommon_1_3::kStorageReal, pair_);
  if (index < 0) return fields_->GetStatus();
  auto* rule = dynamic_cast<ZelConstructTransformRule*>(fields_->GetHandle(index)->GetRule());
  const TorStatus missing(ZelStatusCode::kMissingObject, false);
  if (rule == nullptr) return missing;
  const std::vector<int>& indices = pairs_->GetFieldIndices();
  for (std::size_t j = 0; j < group.size(); ++j) {
    ZelVariableHandleInfo* member = fields_->GetHandle(indices[group[j]]);
    if (member == nullptr) return missing;
    rule->AddInput(member->GetName(), indices[group[j]]);
    rule->AddParameter(coefficients[j]);
    member->Exclude(covered_);
  }
  return TorStatus();
}

// The correlations with the new field F come from the covariances of the
// group: cov(x, F) = Σ c_j cov(x, x_j) and var(F) = Σ_j Σ_k c_j c_k
// cov(x_j, x_k), which the scaling of c makes 1 over the data of the pass.
TorStatus ZelConstructFeatureHandler::ScreenAgainstTarget(const std::vector<int>& group,
                                                          const std::vector<double>& coefficients) {
  const std::size_t size = group.size();
  double varianceF = 0.0;
  for (std::size_t j = 0; j < size; ++j) {
    for (std::size_t k = 0; k < size; ++k) {
      varianceF += coefficients[j] * coefficients[k] * Covariance(group[j], group[k]);
    }
  }
  auto correlationWithF = [&](int position) {
    double covariance = 0.0;
    for (std::size_t j = 0; j < size; ++j) {
      covariance += coefficients[j] * Covariance(position, group[j]);
    }
    const double product = Covariance(position, position) * varianceF;
    return product > 0.0 ? covariance / std::sqrt(product) : 0.0;
  };
  const int t = targetPosition_;
  const double rtF = correlationWithF(t);
  const std::vector<int>& indices = pairs_->GetFieldIndices();
  for (int p : candidates_) {
    const double rpF = correlationWithF(p);
    const double restP = 1.0 - rpF * rpF;
    const double restT = 1.0 - rtF * rtF;
    double r = 0.0;
    if (restP >= 1e-10 && restT >= 1e-10) {
      r = (Correlation(p, t) - rtF * rpF) / std::sqrt(restT * restP);
      r = std::max(-1.0, std::min(1.0, r));
    }
    // The new field is held fixed.
    const double c = ZelStatistic::CorrelationProbability(r, pairs_->GetCounts().GetElem(p, t), 1);
    if (TorCommon_1_3::TorMV::IsMissing(c)) {
      return TorStatus(ZelStatusCode::kNoStatisticalValue, false);
    }
    if (1.0 - c > Settings()->featureSelectionPvalue) {
      ZelVariableHandleInfo* field = fields_->GetHandle(indices[p]);
      if (!IsApplicable(field)) return TorStatus(ZelStatusCode::kCountMismatch, false);
      field->Exclude(unassociated_);
    }
  }
  return TorStatus();
}

}  // namespace ZelTransformation
