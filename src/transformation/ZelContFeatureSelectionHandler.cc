#include "transformation/ZelContFeatureSelectionHandler.h"

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelBivarContCont.h"
#include "statistics/ZelCorrelationTest.h"
#include "torcommon13r/TorMV.h"

namespace ZelTransformation {

using TorCommon_1_3::TorStatus;

ZelContFeatureSelectionHandler::ZelContFeatureSelectionHandler(
    const ZelOperationPair& pair, ZelVariableHandleList* fields,
    std::vector<TorCommon_1_3::TorStatus>* warnings)
    : ZelOperationHandler(pair, fields, warnings) {
  if (Settings()->featureSelection && fields->GetTargetIndex() == -1) {
    Warn(ZelStatusCode::kSelectionWithoutTarget);
  }
}

TorStatus ZelContFeatureSelectionHandler::Check() {
  const ZelOperationPair own{Step::kHandleContinuousFeatures, Action::kExcludeContFeature};
  return pair_ == own ? TorStatus() : TorStatus(ZelStatusCode::kWrongStep, false);
}

bool ZelContFeatureSelectionHandler::IsEnabled(const ZelSettings* settings) {
  return settings != nullptr && settings->featureSelection;
}

TorStatus ZelContFeatureSelectionHandler::Run() {
  const TorStatus checked = Check();
  if (checked.IsError()) return checked;
  if (fields_->GetValidCount() == 0 || !IsEnabled(Settings())) return TorStatus();
  const TorStatus mismatch(ZelStatusCode::kCountMismatch, false);
  const auto* pairs = dynamic_cast<const ZelStatistic::ZelBivarContCont*>(
      fields_->GetListStatistic());
  if (pairs == nullptr || !pairs->IsComplete()) return mismatch;
  const std::vector<int>& indices = pairs->GetFieldIndices();
  const int order = static_cast<int>(indices.size());
  const int target = fields_->GetTargetIndex();
  if (target == -1) return TorStatus();
  const int targetPosition = pairs->FindPosition(target);
  if (targetPosition < 0) return mismatch;

  for (int i = 0; i < order; ++i) {
    if (i == targetPosition) continue;
    const double c = ZelStatistic::CorrelationProbability(
        pairs->GetCorrelations().GetElem(i, targetPosition),
        pairs->GetCounts().GetElem(i, targetPosition), 0);
    if (TorCommon_1_3::TorMV::IsMissing(c)) {
      return TorStatus(ZelStatusCode::kNoStatisticalValue, false);
    }
    if (1.0 - c > Settings()->featureSelectionPvalue) {
      ZelVariableHandleInfo* field = fields_->GetHandle(indices[i]);
      if (!IsApplicable(field)) return mismatch;
      field->Exclude(pair_);
    }
  }
  return TorStatus();
}

}  // namespace ZelTransformation
