#include "statistics/ZelCreateStatistics.h"

#include <algorithm>

#include "settings/ZelVariableHandleList.h"
#include "statistics/ZelBivarContCont.h"
#include "transformation/ZelTargetEncodingHandler.h"

namespace ZelStatistic {

using TorCommon_1_3::TorStatus;

namespace {

// The fields whose distributions the statistics output shows: every field in
// use, and every excluded field that no derived field was made from (a field
// that lives on in a derived one is shown through it). Date and time sources
// are replaced by their derived parts and are left out; so are the weights.
std::vector<int> ChooseHistogramFields(const ZelVariableHandleList& list) {
  const int count = list.Count();
  std::vector<bool> isSource(count, false);
  for (int i = 0; i < count; ++i) {
    const ZelVariableHandleInfo* handle = list.GetHandle(i);
    if (!handle->IsDerived() || handle->GetRule() == nullptr) continue;
    for (int input : handle->GetRule()->GetInputIndices()) {
      if (input >= 0 && input < count) isSource[input] = true;
    }
  }
  std::vector<int> chosen;
  for (int i = 0; i < count; ++i) {
    const ZelVariableHandleInfo* handle = list.GetHandle(i);
    if (!handle->IsExcluded() && !handle->IsWeight()) chosen.push_back(i);
  }
  for (int i = 0; i < count; ++i) {
    const ZelVariableHandleInfo* handle = list.GetHandle(i);
    if (handle->IsExcluded() && !isSource[i] && !handle->IsWeight() &&
        handle->GetExcludedReason().step != ZelTransformation::Step::kDateTimeHandle) {
      chosen.push_back(i);
    }
  }
  std::sort(chosen.begin(), chosen.end());
  return chosen;
}

// A field later statistics may use: neither excluded nor a weight.
bool IsUsable(const ZelVariableHandleInfo& handle) {
  return !handle.IsExcluded() && !handle.IsWeight();
}

TorStatus CreateOutlierStatistics(ZelVariableHandleList* list) {
  for (int i = 0; i < list->Count(); ++i) {
    ZelVariableHandleInfo* handle = list->GetHandle(i);
    if (!IsUsable(*handle)) continue;
    const TorStatus created = handle->CreateOutlierStatistic(i);
    if (created.IsError()) return created;
  }
  return TorStatus();
}

TorStatus CreateBoxCoxStatistic(ZelVariableHandleList* list) {
  const int target = list->GetTargetIndex();
  ZelVariableHandleInfo* handle = list->GetHandle(target);
  if (handle == nullptr || !handle->IsContinuous()) return TorStatus();
  return handle->CreateBoxCoxStatistic(target);
}

TorStatus CreateSkewStatistics(ZelVariableHandleList* list) {
  for (int i = 0; i < list->Count(); ++i) {
    const TorStatus created = list->GetHandle(i)->CreateSkewStatistic(i);
    if (created.IsError()) return created;
  }
  return TorStatus();
}

// The histogram of a continuous field lies over the range its finished
// summary found. A field excluded as soon as it was derived (an outlier
// copy without robust spread) never had its values read: it has no range
// to lay bins over and no histogram to show, and is not flagged for one.
TorStatus CreateHistograms(ZelVariableHandleList* list) {
  for (int i : ChooseHistogramFields(*list)) {
    ZelVariableHandleInfo* handle = list->GetHandle(i);
    const int level = handle->GetMeasureLevel();
    const bool continuous =
        level == TorCommon_1_3::kLevelContinuous || level == TorCommon_1_3::kLevelContinuousOther;
    const ZelStatistics* univariate = handle->GetUnivariate();
    if (continuous && univariate != nullptr && !univariate->IsInformationCollected()) continue;
    handle->SetHistogramFlag();
    if (!continuous) continue;
    const TorStatus created = handle->CreateHistogram(i);
    if (created.IsError()) return created;
  }
  return TorStatus();
}

// A usable field with a measurement level that is no target.
bool IsInput(const ZelVariableHandleInfo& handle) {
  return IsUsable(handle) && !handle.IsTarget() &&
         handle.GetMeasureKind() != MeasureKind::kNone;
}

// The continuous fields in use, in list order, against each other.
void CreateListStatistic(ZelVariableHandleList* list) {
  std::vector<int> fields;
  for (int i = 0; i < list->Count(); ++i) {
    const ZelVariableHandleInfo* handle = list->GetHandle(i);
    if (IsUsable(*handle) && handle->IsContinuous()) fields.push_back(i);
  }
  list->SetListStatistic(new ZelBivarContCont(list->GetSettings(), fields));
}

// The inputs against the target for the bivariate pass. With a continuous
// target the continuous inputs go into one continuous-by-continuous list
// statistic with the target instead of statistics of their own. Without a
// target, feature construction still needs that statistic of the inputs.
TorStatus CreateTargetStatistics(ZelVariableHandleList* list) {
  const int target = list->GetTargetIndex();
  ZelVariableHandleInfo* targetHandle = list->GetHandle(target);
  if (targetHandle == nullptr) {
    if (list->GetSettings()->featureConstruction) CreateListStatistic(list);
    return TorStatus();
  }
  const bool continuousTarget = targetHandle->IsContinuous();
  if (continuousTarget) CreateListStatistic(list);
  for (int i = 0; i < list->Count(); ++i) {
    ZelVariableHandleInfo* handle = list->GetHandle(i);
    if (!IsInput(*handle) || (continuousTarget && handle->IsContinuous())) continue;
    const TorStatus created = handle->CreateTargetStatistic({}, i, targetHandle, target);
    if (created.IsError()) return created;
  }
  return TorStatus();
}

// The statistic against the target of each input the target encoding step
// will encode, a pass before it runs.
TorStatus CreateEncodingStatistics(ZelVariableHandleList* list) {
  using ZelTransformation::ZelTargetEncodingHandler;
  const int target = list->GetTargetIndex();
  ZelVariableHandleInfo* targetHandle = list->GetHandle(target);
  if (targetHandle == nullptr) return TorStatus();
  for (int i = 0; i < list->Count(); ++i) {
    ZelVariableHandleInfo* handle = list->GetHandle(i);
    if (!IsInput(*handle) ||
        !ZelTargetEncodingHandler::Encodes(*list, *handle,
                                           ZelTargetEncodingHandler::CategoryCount(*handle))) {
      continue;
    }
    const TorStatus created = handle->CreateTargetStatistic({}, i, targetHandle, target);
    if (created.IsError()) return created;
  }
  return TorStatus();
}

// Each input's predictive statistic against the target.
TorStatus CreateOperationStatistics(ZelVariableHandleList* list) {
  const int target = list->GetTargetIndex();
  ZelVariableHandleInfo* targetHandle = list->GetHandle(target);
  if (targetHandle == nullptr) return TorStatus();
  for (int i = 0; i < list->Count(); ++i) {
    ZelVariableHandleInfo* handle = list->GetHandle(i);
    if (!IsInput(*handle)) continue;
    const TorStatus created =
        handle->CreateOperationStatistic({}, i, targetHandle, target, list->GetListStatistic());
    if (created.IsError()) return created;
  }
  return TorStatus();
}

}  // namespace

TorStatus CreateStatistics(ZelVariableHandleList* list, const std::vector<int>& kinds) {
  for (int kind : kinds) {
    TorStatus created;
    switch (kind) {
      case StatisticRequest::kOutlier:
        created = CreateOutlierStatistics(list);
        break;
      case StatisticRequest::kBoxCox:
        created = CreateBoxCoxStatistic(list);
        break;
      case StatisticRequest::kTarget:
        created = CreateTargetStatistics(list);
        break;
      case StatisticRequest::kOperation:
        created = CreateOperationStatistics(list);
        break;
      case StatisticRequest::kHistogram:
        created = CreateHistograms(list);
        break;
      case StatisticRequest::kSkew:
        created = CreateSkewStatistics(list);
        break;
      case StatisticRequest::kTargetEncoding:
        created = CreateEncodingStatistics(list);
        break;
      default:
        // Other kinds create nothing.
        break;
    }
    if (created.IsError()) return created;
  }
  return TorStatus();
}

}  // namespace ZelStatistic
