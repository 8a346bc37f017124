// ZelConstructFeatureHandler: replaces groups of strongly correlated
// continuous inputs by their first principal component
// (ConstructContFeature), read from the build's continuous-by-continuous
// statistic. Each cycle, at a threshold τ falling from 0.9 by steps of 0.1,
// seeds a group with the most correlated pair above τ and grows it, up to
// five members, by inputs correlated above τ with every member. The new
// field is Σ c_j × x_j with c = v / √λ for the largest eigenvalue λ of the
// group's covariance matrix and its eigenvector v, signed so that the
// group's first member weighs non-negatively: unit variance, and the same
// data always gives the same coefficients. The members are excluded as
// covered (ExcludeContFeatureOfConstruct). With a continuous target and
// feature selection on, the remaining inputs whose partial correlation with
// the target given the new field is not significant go as well
// (ExcludeContFeature). New fields are named by the root name and a
// sequence number padded to the digits of the number of continuous inputs
// (feature1, or feature01 with ten to ninety-nine inputs).
#ifndef ZELCRAFT_TRANSFORMATION_ZELCONSTRUCTFEATUREHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELCONSTRUCTFEATUREHANDLER_H_

#include <string>
#include <vector>

#include "statistics/ZelBivarContCont.h"
#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelConstructFeatureHandler : public ZelOperationHandler {
 public:
  // With construction on, warns when there is no continuous input
  // (kConstructionWithoutContinuousInput).
  ZelConstructFeatureHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                             std::vector<TorCommon_1_3::TorStatus>* warnings);

  // kCountMismatch without the continuous-by-continuous statistic or when its
  // sizes disagree, or when an input to exclude is no longer applicable;
  // kNumericalFailure when the eigen decomposition fails; kMissingObject
  // without the construction rule or a member's field; kNoStatisticalValue
  // when the t distribution has no value.
  TorCommon_1_3::TorStatus Run() override;
  // kWrongStep for any pair but (kHandleContinuousFeatures,
  // kConstructContFeature).
  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo*, int) override {
    return TorCommon_1_3::TorStatus();
  }
  // "featureConstruction".
  bool IsEnabled(const ZelSettings* settings) override;

 private:
  TorCommon_1_3::TorStatus RunCycle(double tau);
  // Group members and candidates are positions in the statistic's list.
  bool Seed(double tau, std::vector<int>* group) const;
  void Grow(double tau, std::vector<int>* group) const;
  TorCommon_1_3::TorStatus PrincipalComponent(const std::vector<int>& group,
                                              std::vector<double>* coefficients) const;
  TorCommon_1_3::TorStatus Construct(const std::vector<int>& group,
                                     const std::vector<double>& coefficients);
  TorCommon_1_3::TorStatus ScreenAgainstTarget(const std::vector<int>& group,
                                               const std::vector<double>& coefficients);
  // Drops the candidates whose field is gone or excluded.
  void DropExcluded();
  std::string NextName();
  double Correlation(int a, int b) const { return pairs_->GetCorrelations().GetElem(a, b); }
  double Covariance(int a, int b) const { return pairs_->GetCovariances().GetElem(a, b); }

  std::size_t width_;
  int sequence_ = 0;
  const ZelOperationPair covered_{Step::kHandleContinuousFeatures,
                                  Action::kExcludeContFeatureOfConstruct};
  const ZelOperationPair unassociated_{Step::kHandleContinuousFeatures,
                                       Action::kExcludeContFeature};
  // While Run lasts.
  const ZelStatistic::ZelBivarContCont* pairs_ = nullptr;
  std::vector<int> candidates_;
  int targetPosition_ = -1;
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELCONSTRUCTFEATUREHANDLER_H_
