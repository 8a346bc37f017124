#include "transformation/ZelOperation.h"

namespace ZelTransformation {

namespace {

const char* const kStepNames[Step::kCount] = {
    "UnKnown_Step", "HandleStringFeature", "DateTimeHandle", "FeatureScreening", "CheckPoint",
    "CheckType", "OutlierIdentification", "HandleMissingvalue", "HandleTarget",
    "HandleCategoricalFeatures", "HandleContinuousFeatures"};

// Null marks the actions that have no name.
const char* const kActionNames[Action::kCount] = {
    "UnKnown_Action", "TrimTrailing", "ExcludeTrimTrailFeature", "DateDurationsYear",
    "DateDurationsMonth", "DateDurationsDay", "DateElementYear", "DateElementMonth",
    "DateElementDay", "TimeDurationsHour", "TimeDurationsMinute", "TimeDurationsSecond",
    "TimeElementHour", "TimeElementMinute", "TimeElementSecond", nullptr,
    "SelectDateBestDuration", "SelectTimeBestDuration", "ScreenMissingFeature",
    "ScreenConstantFeature", "ScreenSingleCatFeature", "ScreenTooManyCatsNominalFeature",
    "CheckTerminated", "TpyeOrdinalToScale", "TpyeScaleToOrdinal", "ReplaceMissing",
    "ReplaceMissingTarget", "ReplaceMissingScaleTarget", "ReplaceMissingNominalTarget",
    "ReplaceMissingOrdinalTarget", "ReplaceMissingScaleFeature", "ReplaceMissingNominalFeature",
    "ReplaceMissingOrdinalFeature", "ReorderCatTarget", "RescaleScaleTarget",
    "MergeCatFeatureForSparse", "ExcludeCatFeature", "ReorderCatFeature",
    "MergeCatFeatureForAsso", "ZscoreContFeature", "MinMaxContFeature", "BinContFeature",
    "ExcludeContFeature", "ConstructContFeature", "ExcludeContFeatureOfConstruct",
    "TrimOutliersToExtreme", "SetOutliersToMissing", nullptr, "ExcludeConstantAfterMerge",
    "ExcludeConstantAfterBinning", "ExcludeAfterConstruct"};

const char* const kTypeNames[] = {"Normalization", "Discretization", "ValueMapping", "Functions",
                                  "ConstructFeature"};

const char kUnrecognized[] = "unrecognized";

}  // namespace

std::string GetStepName(uint32_t step) {
  return step < Step::kCount ? kStepNames[step] : kUnrecognized;
}

std::string GetActionName(uint32_t action) {
  if (action >= Action::kCount || kActionNames[action] == nullptr) return kUnrecognized;
  return kActionNames[action];
}

std::string GetTransformTypeName(int type) {
  return type >= 0 && type <= RuleType::kConstructFeature ? kTypeNames[type] : kUnrecognized;
}

std::string GetOperationText(const ZelOperationPair& pair) {
  return "Step=" + GetStepName(pair.step) + "; Action=" + GetActionName(pair.action);
}

}  // namespace ZelTransformation
