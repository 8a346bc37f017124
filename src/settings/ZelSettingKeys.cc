#include "settings/ZelSettingKeys.h"

#include <cstdio>

#include "settings/ZelKeyNames.h"
#include "settings/ZelNaming.h"
#include "settings/ZelSettings.h"

namespace {

std::string Text(bool value) { return value ? "true" : "false"; }
std::string Text(int value) { return std::to_string(value); }
std::string Text(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

// The defaults are taken from a fresh ZelSettings so help text and behaviour
// cannot disagree; percentages are shown in percent, as hosts send them.
std::vector<ZelSettingKey> BuildCatalogue() {
  using T = ZelSettingType;
  namespace K = ZelKey;
  const ZelSettings d;
  // Name parts may not contain blanks; their defaults are fixed texts.
  auto namePart = [](NamePart part, const char* description) -> ZelSettingKey {
    return {ZelNaming::NamePartKey(part), T::kString, ZelSettings::DefaultNamePart(part),
            description};
  };
  std::vector<ZelSettingKey> keys = {
      {K::kTrimBlanks, T::kBool, Text(d.trimBlank), "trim trailing blanks of text fields"},
      {K::kExcludeManyCategories, T::kBool, Text(d.screeningNominalFeature),
       "exclude nominal fields with too many categories"},
      {K::kMaxCategories, T::kInt, Text(d.screeningThresholdForNominal),
       "most categories a nominal field may have"},

      {K::kExtractYear, T::kBool, Text(d.extractYear), "derive the year of date fields"},
      {K::kExtractMonth, T::kBool, Text(d.extractMonth), "derive the month of date fields"},
      {K::kExtractDay, T::kBool, Text(d.extractDay), "derive the day of date fields"},
      {K::kExtractHour, T::kBool, Text(d.extractHour), "derive the hour of time fields"},
      {K::kExtractMinute, T::kBool, Text(d.extractMinute), "derive the minute of time fields"},
      {K::kExtractSecond, T::kBool, Text(d.extractSecond), "derive the second of time fields"},
      {K::kComputeDateDuration, T::kBool, Text(d.computeDateDuration),
       "derive elapsed time since the reference date from date fields"},
      {K::kReferenceDateType, T::kString, "",
       "\"todaysDate\" takes the reference date from todaysDate, else referenceDateForDurations"},
      {K::kTodaysDate, T::kDouble, "today (UTC)", "today as days since 1970-01-01"},
      {K::kReferenceDate, T::kDouble, "today (UTC)", "reference date as days since 1970-01-01"},
      {K::kComputeTimeDuration, T::kBool, Text(d.computeTimeDuration),
       "derive elapsed time since the reference time from time fields"},
      {K::kReferenceTimeType, T::kString, "",
       "\"currentTime\" takes the reference time from currentTime, else referenceTimeForDurations"},
      {K::kCurrentTime, T::kDouble, "now (UTC)", "the current time of day in seconds"},
      {K::kReferenceTime, T::kDouble, "now (UTC)", "reference time of day in seconds"},
      {K::kAutoDateUnit, T::kString, "automatic",
       "\"automatic\" chooses the unit of date durations, anything else uses dateUnit"},
      {K::kDateUnit, T::kString, "", "unit of date durations: year, month or day"},
      {K::kAutoTimeUnit, T::kString, "automatic",
       "\"automatic\" chooses the unit of time durations, anything else uses timeUnit"},
      {K::kTimeUnit, T::kString, "", "unit of time durations: hour, minute or second"},
      {K::kExtractWeekday, T::kBool, Text(d.extractWeekday),
       "derive the weekday of date fields (1 Monday to 7 Sunday) as a nominal field"},
      {K::kExtractMonthCategory, T::kBool, Text(d.extractMonthCategory),
       "derive the month of date fields (1 to 12) as a nominal field"},
      {K::kExtractHourCategory, T::kBool, Text(d.extractHourCategory),
       "derive the hour of time fields (0 to 23) as a nominal field"},

      {K::kExcludeManyMissing, T::kBool, Text(d.excludeTooManyMissing),
       "exclude fields with too many missing values"},
      {K::kMaxPercentMissing, T::kDouble, Text(d.maxPercentMissing * 100.0),
       "largest percentage of missing values a field may have"},
      {K::kExcludeAlmostConstant, T::kBool, Text(d.screeningCatFeature),
       "exclude categorical fields dominated by one category"},
      {K::kCatScreenThreshold, T::kDouble, Text(d.screeningThreshold * 100.0),
       "percentage of cases in one category that counts as dominating"},
      {K::kFlagMissing, T::kBool, Text(d.flagMissing),
       "derive NAME_missing (1 missing, 0 present) for inputs with enough missing values"},
      {K::kFlagMissingPercent, T::kDouble, Text(d.flagMissingShare * 100.0),
       "least percentage of missing values that earns an input its indicator"},
      {K::kKeepMostlyMissing, T::kBool, Text(d.keepMostlyMissing),
       "with flagMissingValues, keep inputs past maxPercentageOfMissingvalue beside their "
       "indicator instead of excluding them"},

      {K::kCheckTargetLevel, T::kBool, Text(d.checkMeasureLevelForTarget),
       "check the measurement level of the target"},
      {K::kCheckFeatureLevel, T::kBool, Text(d.checkMeasureLevelForFeature),
       "check the measurement level of the inputs"},
      {K::kScaleToOrdinal, T::kInt, Text(d.recastContThreshold),
       "continuous fields with fewer distinct values become ordinal (give with the next key)"},
      {K::kOrdinalToScale, T::kInt, Text(d.recastCatThreshold),
       "ordinal fields with more categories become continuous (must exceed the previous key)"},

      {K::kDetectTargetOutliers, T::kBool, Text(d.detectOutlierForTarget),
       "handle outliers of a continuous target (values far from its robust mean)"},
      {K::kDetectFeatureOutliers, T::kBool, Text(d.detectOutlierForFeature),
       "handle outliers of continuous inputs (values far from their robust mean)"},
      {K::kOutliersOperation, T::kString, "coerceToCutoffVal",
       "coerceToCutoffVal pulls outliers back to the cutoff, setToMissingVal makes them missing"},
      {K::kOutlierCutoff, T::kDouble, Text(d.outlierSDCutoff),
       "values more than this many robust standard deviations from the robust mean (mean "
       "and SD without sparse tails of under 5 % of the records) are outliers (> 0)"},

      {K::kReplaceScaleTarget, T::kBool, Text(d.replaceMissingContinuousTarget),
       "replace missing values of a continuous target by its mean"},
      {K::kReplaceOrdinalTarget, T::kBool, Text(d.replaceMissingOrdinalTarget),
       "replace missing values of an ordinal target by its median"},
      {K::kReplaceNominalTarget, T::kBool, Text(d.replaceMissingNominalTarget),
       "replace missing values of a nominal target by its most frequent category"},
      {K::kReplaceNominalFeatures, T::kBool, Text(d.replaceMissingNominalFeature),
       "replace missing values of nominal inputs by their most frequent category"},
      {K::kReplaceOrdinalFeatures, T::kBool, Text(d.replaceMissingOrdinalFeature),
       "replace missing values of ordinal inputs by their median"},
      {K::kReplaceScaleFeatures, T::kBool, Text(d.replaceMissingScaleFeature),
       "replace missing values of continuous inputs by their mean"},

      {K::kReorderTarget, T::kBool, Text(d.reorderCatsOfNominalTarget),
       "recode a nominal target's categories 0, 1, ... from the rarest to the most frequent"},
      {K::kBoxCoxTarget, T::kBool, Text(d.rescaleContTarget),
       "Box-Cox transform a continuous target (exponent -3 to 3 by 0.5, chosen by likelihood), "
       "then rescale it to targetMean and targetSD; a whole-number target stays whole, which "
       "loses most of its detail: declare its storage \"real\" in the schema"},
      {K::kTargetMean, T::kDouble, Text(d.rescaleContTargetMean),
       "mean of the Box-Cox transformed target"},
      {K::kTargetSD, T::kDouble, Text(d.rescaleContTargetSD),
       "standard deviation of the Box-Cox transformed target (> 0; give it with "
       "rescaleScaleTargetUsingBoxCox, the default mirrors the target)"},

      {K::kRescalingMethod, T::kString, "zScore",
       "zScore or minMax rescales continuous inputs, any other text turns rescaling off"},
      {K::kZScoreSD, T::kDouble, Text(d.rescalingZscoreSD), "z-score standard deviation (> 0)"},
      {K::kZScoreMean, T::kDouble, Text(d.rescalingZscoreMean), "z-score mean"},
      {K::kMinMaxMax, T::kDouble, Text(d.rescalingMinMaxMax),
       "min-max upper bound (give with minMax_min)"},
      {K::kMinMaxMin, T::kDouble, Text(d.rescalingMinMaxMin),
       "min-max lower bound (below minMax_max)"},
      {K::kSkewTransform, T::kBool, Text(d.skewTransform),
       "transform continuous inputs whose absolute skewness exceeds skewnessThreshold, before "
       "rescaling"},
      {K::kSkewThreshold, T::kDouble, Text(d.skewThreshold),
       "absolute skewness above which an input is transformed (> 0)"},
      {K::kSkewMethod, T::kString, "boxCox",
       "boxCox (exponent -3 to 3 by 0.5, chosen by likelihood) or signedLog "
       "(sign(x) ln(1 + |x|)) for skewed inputs; any other text keeps boxCox"},
      {K::kTargetEncode, T::kBool, Text(d.targetEncode),
       "replace nominal inputs of many categories by NAME_targetMean, the smoothed mean of the "
       "target in each category (cross-fitted in the prepared training data)"},
      {K::kTargetEncodeMin, T::kInt, Text(d.targetEncodingMinCategories),
       "categories from which a nominal input is encoded by the target (>= 2)"},
      {K::kTargetEncodeSmoothing, T::kDouble, Text(d.targetEncodingSmoothing),
       "weight m of the overall mean in (sum + m mean) / (count + m) (>= 0)"},
      {K::kSupervisedBinning, T::kBool, Text(d.supervisedBinning),
       "bin continuous inputs against a categorical target"},
      {K::kBinningPValue, T::kDouble, Text(d.supervisedBinningPvalue),
       "p-value of the binning subsets, in (0, 1]"},
      {K::kFeatureSelection, T::kBool, Text(d.featureSelection),
       "exclude inputs unrelated to the target"},
      {K::kSelectionPValue, T::kDouble, Text(d.featureSelectionPvalue),
       "p-value of feature selection, in (0, 1]"},
      {K::kFeatureConstruction, T::kBool, Text(d.featureConstruction),
       "construct features from correlated continuous inputs"},
      {K::kSupervisedMerging, T::kBool, Text(d.supervisedMerge),
       "merge categories that predict the target alike"},
      {K::kMergingPValue, T::kDouble, Text(d.supervisedMergePvalue),
       "p-value of supervised merging, in (0, 1]"},
      {K::kMergingKeepUnrelated, T::kBool, Text(d.supervisedMergeKeepUnrelated),
       "leave an input as it is when supervised merging would make all its categories one"},
      {K::kMergeOrdinal, T::kBool, Text(d.unsupervisedMergeOrdinal),
       "merge sparse categories of ordinal fields"},
      {K::kMergeNominal, T::kBool, Text(d.unsupervisedMergeNominal),
       "merge sparse categories of nominal fields"},
      {K::kMergeMinPercent, T::kDouble, Text(d.unsupervisedMergeMin * 100.0),
       "percentage of cases below which a category is sparse"},

      namePart(NamePart::kYear, "name suffix of the year derived from a date"),
      namePart(NamePart::kMonth, "name suffix of the month derived from a date"),
      namePart(NamePart::kDay, "name suffix of the day derived from a date"),
      namePart(NamePart::kHour, "name suffix of the hour derived from a time"),
      namePart(NamePart::kMinute, "name suffix of the minute derived from a time"),
      namePart(NamePart::kSecond, "name suffix of the second derived from a time"),
      namePart(NamePart::kElapsedYears, "name suffix of years elapsed since the reference date"),
      namePart(NamePart::kElapsedMonths, "name suffix of months elapsed since the reference date"),
      namePart(NamePart::kElapsedDays, "name suffix of days elapsed since the reference date"),
      namePart(NamePart::kElapsedHours, "name suffix of hours elapsed since the reference time"),
      namePart(NamePart::kElapsedMinutes, "name suffix of minutes elapsed since the reference time"),
      namePart(NamePart::kElapsedSeconds, "name suffix of seconds elapsed since the reference time"),

      {K::kAnalysisWeight, T::kString, "", "name of a numeric analysis weight field"},

      namePart(NamePart::kExtForTarget, "name extension of the transformed target"),
      namePart(NamePart::kExtForInputs, "name extension of transformed inputs"),
      namePart(NamePart::kRootForConstructed, "root name of constructed features"),
  };
  return keys;
}

}  // namespace

const std::vector<ZelSettingKey>& ZelSettingKeyCatalogue() {
  static const std::vector<ZelSettingKey> keys = BuildCatalogue();
  return keys;
}
