#include "torcommon13r/TorDisplay.h"
#include "settings/ZelSettings.h"

using namespace TorDisplay_1_3;

namespace {

// Display labels of the step suffixes, indexed by StepSuffix.
const char* const kStepSuffixLabels[ZelSettings::kStepSuffixCount] = {
    "SuffixTrimString", "SuffixYear", "SuffixMonth", "SuffixDay", "SuffixDurationYears",
    "SuffixDurationMonths", "SuffixDurationDays", "SuffixHour", "SuffixMinute", "SuffixSecond",
    "SuffixDurationHours", "SuffixDurationMinutes", "SuffixDurationSeconds", "SuffixRecastCont",
    "SuffixRecastOrdinal", "SuffixOutlier", "SuffixReplaceMissingCont",
    "SuffixReplaceMissingNominal", "SuffixReplaceMissingOrdinal", "SuffixRescaleScaleFeature",
    "SuffixAdjustScaleCont", "SuffixRearrangeNominal", "SuffixMergeNoTarget",
    "SuffixMergeOrdinalHasTarget", "SuffixMergeNominalNoTarget", "SuffixMergeNominalHasTarget",
    "SuffixDeriveNewFeatureCont", "SuffixCreateOrdinalFeatureCont", "SuffixSkewTransform",
    "SuffixWeekday",
    "SuffixMonthCategory", "SuffixHourCategory", "SuffixMissing",
    "SuffixTargetEncoded"};

// Display labels of the user-visible name parts, indexed by NamePart; they
// start with "Name" so they cannot be confused with the step suffixes.
const char* const kNamePartLabels[ZelSettings::kNamePartCount] = {
    "NameSuffixYear",         "NameSuffixMonth",         "NameSuffixDay",
    "NameSuffixElapsedYears", "NameSuffixElapsedMonths", "NameSuffixElapsedDays",
    "NameSuffixHour",         "NameSuffixMinute",        "NameSuffixSecond",
    "NameSuffixElapsedHours", "NameSuffixElapsedMinutes", "NameSuffixElapsedSeconds",
    "NameExtForTarget",       "NameExtForInputs",        "RootNameForConstructedFeature"};

const char* RescalingText(const ZelSettings& s) {
  if (!s.rescaling) return "NoRescaling";
  return s.rescalingMethod == 1 ? "MinMax" : "Z-score";
}

}  // namespace

void ZelSettings::Display() const {
  DisplayText("ZelSettings display start");
  DisplayI("AnalysisWeightFeatureIndex", analysisWeightIndex);
  DisplayI("FrequencyWeightFeatureIndex", frequencyWeightIndex);
  DisplayIV("ForcedFeatureIndex", forcedFeatureIndices);
  DisplayB("TrimBlank", trimBlank);

  DisplayB("ComputeDateDuration", computeDateDuration);
  DisplayI("ReferenceDateYear", referenceDate.year);
  DisplayI("ReferenceDateMonth", referenceDate.month);
  DisplayI("ReferenceDateDay", referenceDate.day);
  DisplayD("ReferenceDateSeconds", referenceDate.seconds);
  DisplayI("DateDurationUnit", dateDurationUnit);
  DisplayB("ExtractYear", extractYear);
  DisplayB("ExtractMonth", extractMonth);
  DisplayB("ExtractDay", extractDay);

  DisplayB("ComputeTimeDuration", computeTimeDuration);
  DisplayI("ReferenceTimeHour", referenceTime.hour);
  DisplayI("ReferenceTimeMinute", referenceTime.minute);
  DisplayI("ReferenceTimeSecond", referenceTime.second);
  DisplayD("ReferenceTimeSeconds", referenceTime.seconds);
  DisplayI("TimeDurationUnit", timeDurationUnit);
  DisplayB("ExtractHour", extractHour);
  DisplayB("ExtractMinute", extractMinute);
  DisplayB("ExtractSecond", extractSecond);
  DisplayB("ExtractWeekday", extractWeekday);
  DisplayB("ExtractMonthCategory", extractMonthCategory);
  DisplayB("ExtractHourCategory", extractHourCategory);

  DisplayB("ExcludeTooManyMissing", excludeTooManyMissing);
  DisplayD("MaxPercentMissing", maxPercentMissing);
  DisplayB("ScreeningCatFeature", screeningCatFeature);
  DisplayD("ScreeningThreshold", screeningThreshold);
  DisplayB("ScreeningNominalFeature", screeningNominalFeature);
  DisplayI("ScreeningThresholdForNominal", screeningThresholdForNominal);
  DisplayB("FlagMissing", flagMissing);
  DisplayD("FlagMissingShare", flagMissingShare);
  DisplayB("KeepMostlyMissing", keepMostlyMissing);

  DisplayB("CheckMeasureLevelForFeature", checkMeasureLevelForFeature);
  DisplayB("CheckMeasureLevelForTarget", checkMeasureLevelForTarget);
  DisplayI("RecastContThreshold", recastContThreshold);
  DisplayI("RecastCatThreshold", recastCatThreshold);

  DisplayB("DetectOutlierForFeature", detectOutlierForFeature);
  DisplayB("DetectOutlierForTarget", detectOutlierForTarget);
  DisplayS("HandleOutlierMethod",
           handleOutlierMethod == 1 ? "kSetToMissingValues" : "kTrimToCutoffValues");
  DisplayD("OutlierSDCutoff", outlierSDCutoff);

  DisplayB("ReplaceMissingTarget", replaceMissingTarget);
  DisplayB("ReplaceMissingNominalTarget", replaceMissingNominalTarget);
  DisplayB("ReplaceMissingOrdinalTarget", replaceMissingOrdinalTarget);
  DisplayB("ReplaceMissingContinuousTarget", replaceMissingContinuousTarget);
  DisplayB("ReplaceMissingNominalFeature", replaceMissingNominalFeature);
  DisplayB("ReplaceMissingOrdinalFeature", replaceMissingOrdinalFeature);
  DisplayB("ReplaceMissingScaleFeature", replaceMissingScaleFeature);

  DisplayB("ReordCatsOfNominalTarget", reorderCatsOfNominalTarget);
  DisplayB("RescaleContTarget", rescaleContTarget);
  DisplayD("RescaleContTargetMean", rescaleContTargetMean);
  DisplayD("RescaleContTargetSD", rescaleContTargetSD);
  DisplayD("BoxCoxExponentStart", boxCoxExponentStart);
  DisplayD("BoxCoxExponentEnd", boxCoxExponentEnd);
  DisplayD("BoxCoxExponentStep", boxCoxExponentStep);

  DisplayB("Rescaling", rescaling);
  DisplayS("RescalingMethod", RescalingText(*this));
  DisplayD("RescalingZscoreMean", rescalingZscoreMean);
  DisplayD("RescalingZscoreSD", rescalingZscoreSD);
  DisplayD("RescalingMinMaxMin", rescalingMinMaxMin);
  DisplayD("RescalingMinMaxMax", rescalingMinMaxMax);
  DisplayB("SkewTransform", skewTransform);
  DisplayD("SkewThreshold", skewThreshold);
  DisplayS("SkewTransformMethod", skewTransformMethod == 1 ? "SignedLog" : "BoxCox");
  DisplayB("TargetEncode", targetEncode);
  DisplayI("TargetEncodingMinCategories", targetEncodingMinCategories);
  DisplayD("TargetEncodingSmoothing", targetEncodingSmoothing);

  DisplayB("SupervisedBinning", supervisedBinning);
  DisplayD("SupervisedBinningPvalue", supervisedBinningPvalue);
  DisplayB("FeatureSelection", featureSelection);
  DisplayD("FeatureSelectionPvalue", featureSelectionPvalue);
  DisplayB("FeatureConstruction", featureConstruction);
  DisplayB("ReorderNominalCats", reorderNominalCats);
  DisplayB("SupervisedMerge", supervisedMerge);
  DisplayD("SupervisedMergePvalue", supervisedMergePvalue);
  DisplayB("SupervisedMergeKeepUnrelated", supervisedMergeKeepUnrelated);
  DisplayB("UnsupervisedMerge", unsupervisedMerge);
  DisplayB("UnsupervisedMergeOrdinal", unsupervisedMergeOrdinal);
  DisplayB("UnsupervisedMergeNominal", unsupervisedMergeNominal);
  DisplayD("UnsupervisedMergeMin", unsupervisedMergeMin);

  for (int i = 0; i < kStepSuffixCount; ++i) DisplayS(kStepSuffixLabels[i], stepSuffixes[i]);
  for (int i = 0; i < kNamePartCount; ++i) DisplayS(kNamePartLabels[i], nameParts[i]);
  DisplayB("ProgressListenerSet", progressListener != nullptr);
  DisplayText("End of display ZelSettings object");
}
