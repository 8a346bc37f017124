// The (step, action) pair that names an operation, and the step, action and
// transform-type vocabulary: a pair identifies a step-list entry, a handler,
// the origin of a rule and the reason a field was excluded.
#ifndef ZELCRAFT_TRANSFORMATION_ZELOPERATION_H_
#define ZELCRAFT_TRANSFORMATION_ZELOPERATION_H_

#include <cstdint>
#include <string>

namespace ZelTransformation {

struct ZelOperationPair {
  uint32_t step = 0;
  uint32_t action = 0;

  bool operator==(const ZelOperationPair& other) const {
    return step == other.step && action == other.action;
  }
  bool operator!=(const ZelOperationPair& other) const { return !(*this == other); }
};

namespace Step {
constexpr uint32_t kUnknown = 0;
constexpr uint32_t kHandleStringFeature = 1;
constexpr uint32_t kDateTimeHandle = 2;
constexpr uint32_t kFeatureScreening = 3;
constexpr uint32_t kCheckPoint = 4;
constexpr uint32_t kCheckType = 5;
constexpr uint32_t kOutlierIdentification = 6;
constexpr uint32_t kHandleMissingValue = 7;
constexpr uint32_t kHandleTarget = 8;
constexpr uint32_t kHandleCategoricalFeatures = 9;
constexpr uint32_t kHandleContinuousFeatures = 10;
constexpr uint32_t kCount = 11;
}  // namespace Step

namespace Action {
constexpr uint32_t kUnknown = 0;
constexpr uint32_t kTrimTrailing = 1;
constexpr uint32_t kExcludeTrimTrailFeature = 2;
constexpr uint32_t kDateDurationsYear = 3;
constexpr uint32_t kDateDurationsMonth = 4;
constexpr uint32_t kDateDurationsDay = 5;
constexpr uint32_t kDateElementYear = 6;
constexpr uint32_t kDateElementMonth = 7;
constexpr uint32_t kDateElementDay = 8;
constexpr uint32_t kTimeDurationsHour = 9;
constexpr uint32_t kTimeDurationsMinute = 10;
constexpr uint32_t kTimeDurationsSecond = 11;
constexpr uint32_t kTimeElementHour = 12;
constexpr uint32_t kTimeElementMinute = 13;
constexpr uint32_t kTimeElementSecond = 14;
constexpr uint32_t kDateTimeSourceDone = 15;  // no name: a date, time or timestamp source
constexpr uint32_t kSelectDateBestDuration = 16;
constexpr uint32_t kSelectTimeBestDuration = 17;
constexpr uint32_t kScreenMissingFeature = 18;
constexpr uint32_t kScreenConstantFeature = 19;
constexpr uint32_t kScreenSingleCatFeature = 20;
constexpr uint32_t kScreenTooManyCatsNominalFeature = 21;
constexpr uint32_t kCheckTerminated = 22;
constexpr uint32_t kTypeOrdinalToScale = 23;
constexpr uint32_t kTypeScaleToOrdinal = 24;
constexpr uint32_t kReplaceMissing = 25;
constexpr uint32_t kReplaceMissingTarget = 26;
constexpr uint32_t kReplaceMissingScaleTarget = 27;
constexpr uint32_t kReplaceMissingNominalTarget = 28;
constexpr uint32_t kReplaceMissingOrdinalTarget = 29;
constexpr uint32_t kReplaceMissingScaleFeature = 30;
constexpr uint32_t kReplaceMissingNominalFeature = 31;
constexpr uint32_t kReplaceMissingOrdinalFeature = 32;
constexpr uint32_t kReorderCatTarget = 33;
constexpr uint32_t kRescaleScaleTarget = 34;
constexpr uint32_t kMergeCatFeatureForSparse = 35;
constexpr uint32_t kExcludeCatFeature = 36;
constexpr uint32_t kReorderCatFeature = 37;
constexpr uint32_t kMergeCatFeatureForAsso = 38;
constexpr uint32_t kZscoreContFeature = 39;
constexpr uint32_t kMinMaxContFeature = 40;
constexpr uint32_t kBinContFeature = 41;
constexpr uint32_t kExcludeContFeature = 42;
constexpr uint32_t kConstructContFeature = 43;
constexpr uint32_t kExcludeContFeatureOfConstruct = 44;
constexpr uint32_t kTrimOutliersToExtreme = 45;
constexpr uint32_t kSetOutliersToMissing = 46;
constexpr uint32_t kExcludeConstantAfterOutlier = 47;  // no name
constexpr uint32_t kExcludeConstantAfterMerge = 48;
constexpr uint32_t kExcludeConstantAfterBinning = 49;
constexpr uint32_t kExcludeAfterConstruct = 50;
constexpr uint32_t kCount = 51;
}  // namespace Action

namespace RuleType {
constexpr int kNormalization = 0;
constexpr int kDiscretization = 1;
constexpr int kValueMapping = 2;
constexpr int kFunctions = 3;
constexpr int kConstructFeature = 4;
}  // namespace RuleType

// Names; numbers outside the vocabulary (and the unnamed actions 15 and 47)
// give "unrecognized".
std::string GetStepName(uint32_t step);
std::string GetActionName(uint32_t action);
std::string GetTransformTypeName(int type);
// "Step=" + step name + "; Action=" + action name.
std::string GetOperationText(const ZelOperationPair& pair);

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELOPERATION_H_
