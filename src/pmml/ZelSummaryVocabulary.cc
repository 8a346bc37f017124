#include "pmml/ZelSummaryVocabulary.h"

#include "settings/ZelSettings.h"
#include "transformation/ZelBoxCoxFunctionRule.h"
#include "transformation/ZelOperation.h"

namespace ZelSummary {

namespace Action = ZelTransformation::Action;

const char* GetStepKey(int step) {
  static const char* const kKeys[] = {"",
                                      "TextFields",
                                      "DateAndTimeFeatures",
                                      "ScreenFeatures",
                                      "",
                                      "CheckType",
                                      "Outliers",
                                      "MissingValues",
                                      "Target",
                                      "CategoricalFeatures",
                                      "ContinuousFeatures"};
  constexpr int kCount = sizeof kKeys / sizeof kKeys[0];
  return step >= 0 && step < kCount ? kKeys[step] : "";
}

const char* GetReasonKey(int action) {
  static const char* const kKeys[] = {"",
                                      "TrimTrailingBlanks",
                                      "0000000000000",
                                      "DeriveYears",
                                      "DeriveMonths",
                                      "DeriveDays",
                                      "DeriveYear",
                                      "DeriveMonth",
                                      "DeriveDay",
                                      "DeriveHours",
                                      "DeriveMinutes",
                                      "DeriveSeconds",
                                      "DeriveHour",
                                      "DeriveMinute",
                                      "DeriveSecond",
                                      "",
                                      "",
                                      "",
                                      "ScreenFeatureWithTooManyMissing",
                                      "ScreenFeatureWithConstantValue",
                                      "ScreenFeatureWithTooManyCasesInSingleCat",
                                      "ScreenFeatureWithTooManyCat",
                                      "",
                                      "Recast2Range",
                                      "Recast2Orderedset",
                                      "ReplaceMissing",
                                      "ReplaceMissingTarget",
                                      "ReplaceMissingScaleTarget",
                                      "ReplaceMissingNominalTarget",
                                      "ReplaceMissingOrdinalTarget",
                                      "ReplaceMissingScaleFeature",
                                      "ReplaceMissingNominalFeature",
                                      "ReplaceMissingOrdinalFeature",
                                      "TargetReorderCategories",
                                      "TargetRescale",
                                      "Merge4HandleSpareCategories",
                                      "ExcludeLowAssociationCate",
                                      "ReorderCategories",
                                      "Merge4MaximizeAssociation",
                                      "TransformZscore",
                                      "TransformMinMax",
                                      "BinValues",
                                      "ExcludeLowAssociationCont",
                                      "Construct",
                                      "ExcludeCoverdFeature",
                                      "OutlierTrim2ExtremeValue",
                                      "OutlierSet2MissingValue",
                                      "ExcludeConstantAfterOutlier",
                                      "ExcludeConstantAfterMerge",
                                      "ExcludeConstantAfterBinning",
                                      "ExcludeAfterConstruct"};
  static_assert(sizeof kKeys / sizeof kKeys[0] == Action::kCount, "one key per action");
  return action >= 0 && action < static_cast<int>(Action::kCount) ? kKeys[action] : "";
}

bool IsListedExclusion(int action) {
  switch (action) {
    case Action::kScreenMissingFeature:
    case Action::kScreenConstantFeature:
    case Action::kScreenSingleCatFeature:
    case Action::kScreenTooManyCatsNominalFeature:
    case Action::kExcludeCatFeature:
    case Action::kExcludeContFeature:
    case Action::kExcludeContFeatureOfConstruct:
    case Action::kExcludeConstantAfterOutlier:
    case Action::kExcludeConstantAfterMerge:
    case Action::kExcludeConstantAfterBinning:
    case Action::kExcludeAfterConstruct:
      return true;
    default:
      return false;
  }
}

bool IsListedInVariableSummary(int action) {
  return action == static_cast<int>(Action::kDateTimeSourceDone) || IsListedExclusion(action);
}

std::vector<double> ExclusionParameters(int action, const ZelSettings& settings) {
  switch (action) {
    case Action::kScreenMissingFeature:
      return {settings.maxPercentMissing};
    case Action::kScreenSingleCatFeature:
      return {settings.screeningThreshold};
    case Action::kScreenTooManyCatsNominalFeature:
      return {static_cast<double>(settings.screeningThresholdForNominal)};
    default:
      return {};
  }
}

std::vector<double> RescaleTargetParameters(const ZelTransformation::ZelTransformRule& rule,
                                            const ZelSettings& settings) {
  std::vector<double> numbers = {settings.rescaleContTargetMean, settings.rescaleContTargetSD};
  if (const auto* boxCox = dynamic_cast<const ZelTransformation::ZelBoxCoxFunctionRule*>(&rule)) {
    numbers.push_back(boxCox->GetLambda());
  }
  return numbers;
}

}  // namespace ZelSummary
