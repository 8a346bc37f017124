#include "settings/ZelSettingTable.h"

#include "settings/ZelSettingReads.h"

namespace {

using S = ZelSettings;
using T = ZelSettingType;
using Check = ZelSettingCheck;
namespace Reads = ZelSettingReads;

// A key whose member is no plain copy of its value: its row reads it.
ZelSettingRow Other(const char* key, T type, ZelSettingMember member, const char* help) {
  ZelSettingRow row;
  row.key = key;
  row.type = type;
  row.member = member;
  row.help = help;
  return row;
}

// The row shapes: a key's type and the member it sets.
ZelSettingRow Flag(const char* key, bool S::*member, const char* help) {
  return Other(key, T::kBool, member, help);
}
ZelSettingRow Whole(const char* key, int S::*member, const char* help) {
  return Other(key, T::kInt, member, help);
}
ZelSettingRow Number(const char* key, double S::*member, const char* help,
                     Check check = Check::kNone) {
  ZelSettingRow row = Other(key, T::kDouble, member, help);
  row.check = check;
  return row;
}
// A string key whose texts stand for values of an int member.
ZelSettingRow Choice(const char* key, int S::*member, std::vector<ZelSettingChoice> choices,
                     const char* help) {
  ZelSettingRow row = Other(key, T::kString, member, help);
  row.choices = std::move(choices);
  return row;
}
// A user-visible name part, shown under its own label.
ZelSettingRow Part(const char* key, NamePart part, const char* label, const char* help) {
  return Other(key, T::kString, part, help).Shown(label);
}

const char* RescalingText(const ZelSettings& s) {
  if (!s.rescaling) return "NoRescaling";
  return s.rescalingMethod == 1 ? "MinMax" : "Z-score";
}

// A new key is a row here, where it is read, and its member in ZelSettings.h:
//   Number("someThreshold", &S::someThreshold, "one line of help", Check::kPositive)
//       .Shown("SomeThreshold")       // its display label
//       .When("someSwitch"),          // read only when that switch is given true
std::vector<ZelSettingRow> BuildRows() {
  std::vector<ZelSettingRow> rows = {
      Flag("trimBlanks", &S::trimBlank, "trim trailing blanks of text fields").Shown("TrimBlank"),
      Flag("excludeFeatureIfHasManyUniqueCatogories", &S::screeningNominalFeature,
           "exclude nominal fields with too many categories")
          .Shown("ScreeningNominalFeature"),
      Whole("maxNOfUniqueCategories", &S::screeningThresholdForNominal,
            "most categories a nominal field may have")
          .Shown("ScreeningThresholdForNominal")
          .When("excludeFeatureIfHasManyUniqueCatogories"),

      Flag("extractYearFromDate", &S::extractYear, "derive the year of date fields")
          .Shown("ExtractYear"),
      Flag("extractMonthFromDate", &S::extractMonth, "derive the month of date fields")
          .Shown("ExtractMonth"),
      Flag("extractDayFromDate", &S::extractDay, "derive the day of date fields")
          .Shown("ExtractDay"),
      Flag("extractHourFromTime", &S::extractHour, "derive the hour of time fields")
          .Shown("ExtractHour"),
      Flag("extractMinuteFromTime", &S::extractMinute, "derive the minute of time fields")
          .Shown("ExtractMinute"),
      Flag("extractSecondFromTime", &S::extractSecond, "derive the second of time fields")
          .Shown("ExtractSecond"),
      Flag("computeDateDuration", &S::computeDateDuration,
           "derive elapsed time since the reference date from date fields")
          .Shown("ComputeDateDuration"),
      Other("referenceDateType", T::kString, &S::referenceDate,
           "\"todaysDate\" takes the reference date from todaysDate, else "
           "referenceDateForDurations")
          .Shown("ReferenceDate")
          .When("computeDateDuration")
          .ReadBy(Reads::ReferenceDate)
          .Default(""),
      Other("todaysDate", T::kDouble, &S::referenceDate, "today as days since 1970-01-01")
          .ReadBy(ReadWithAnotherRow)
          .Default("today (UTC)"),
      Other("referenceDateForDurations", T::kDouble, &S::referenceDate,
             "reference date as days since 1970-01-01")
          .ReadBy(ReadWithAnotherRow)
          .Default("today (UTC)"),
      Flag("computeTimeDuration", &S::computeTimeDuration,
           "derive elapsed time since the reference time from time fields")
          .Shown("ComputeTimeDuration"),
      Other("referenceTimeType", T::kString, &S::referenceTime,
           "\"currentTime\" takes the reference time from currentTime, else "
           "referenceTimeForDurations")
          .Shown("ReferenceTime")
          .When("computeTimeDuration")
          .ReadBy(Reads::ReferenceTime)
          .Default(""),
      Other("currentTime", T::kDouble, &S::referenceTime, "the current time of day in seconds")
          .ReadBy(ReadWithAnotherRow)
          .Default("now (UTC)"),
      Other("referenceTimeForDurations", T::kDouble, &S::referenceTime,
            "reference time of day in seconds")
          .ReadBy(ReadWithAnotherRow)
          .Default("now (UTC)"),
      Other("autoChooseDateFieldUnit", T::kString, &S::dateDurationUnit,
           "\"automatic\" chooses the unit of date durations, anything else uses dateUnit")
          .ReadBy(ReadWithAnotherRow)
          .Default("automatic"),
      Choice("dateUnit", &S::dateDurationUnit,
             {{"month", 2, nullptr}, {"day", 3, nullptr}, {nullptr, 1, nullptr}},
             "unit of date durations: year, month or day")
          .Shown("DateDurationUnit")
          .WhenGivenOtherThan("autoChooseDateFieldUnit", "automatic")
          .Default(""),
      Other("autoChooseTimeFieldUnit", T::kString, &S::timeDurationUnit,
           "\"automatic\" chooses the unit of time durations, anything else uses timeUnit")
          .ReadBy(ReadWithAnotherRow)
          .Default("automatic"),
      Choice("timeUnit", &S::timeDurationUnit,
             {{"minute", 2, nullptr}, {"second", 3, nullptr}, {nullptr, 1, nullptr}},
             "unit of time durations: hour, minute or second")
          .Shown("TimeDurationUnit")
          .WhenGivenOtherThan("autoChooseTimeFieldUnit", "automatic")
          .Default(""),
      Flag("extractWeekdayFromDate", &S::extractWeekday,
           "derive the weekday of date fields (1 Monday to 7 Sunday) as a nominal field")
          .Shown("ExtractWeekday"),
      Flag("extractMonthCategoryFromDate", &S::extractMonthCategory,
           "derive the month of date fields (1 to 12) as a nominal field")
          .Shown("ExtractMonthCategory"),
      Flag("extractHourCategoryFromTime", &S::extractHourCategory,
           "derive the hour of time fields (0 to 23) as a nominal field")
          .Shown("ExtractHourCategory"),

      Flag("excludeFeatureIfHasHigherPercentageOfMissingValue", &S::excludeTooManyMissing,
           "exclude fields with too many missing values")
          .Shown("ExcludeTooManyMissing"),
      Number("maxPercentageOfMissingvalue", &S::maxPercentMissing,
             "largest percentage of missing values a field may have", Check::kPercent)
          .Shown("MaxPercentMissing")
          .When("excludeFeatureIfHasHigherPercentageOfMissingValue"),
      Flag("excludeAlmostConstantCatFeature", &S::screeningCatFeature,
           "exclude categorical fields dominated by one category")
          .Shown("ScreeningCatFeature"),
      Number("catFeatureScreenThreshold", &S::screeningThreshold,
             "percentage of cases in one category that counts as dominating", Check::kPercent)
          .Shown("ScreeningThreshold")
          .When("excludeAlmostConstantCatFeature"),
      Flag("flagMissingValues", &S::flagMissing,
           "derive NAME_missing (1 missing, 0 present) for inputs with enough missing values")
          .Shown("FlagMissing"),
      Number("flagMissingPercentage", &S::flagMissingShare,
             "least percentage of missing values that earns an input its indicator",
             Check::kPercent)
          .Shown("FlagMissingShare"),
      Flag("keepMostlyMissingWithFlag", &S::keepMostlyMissing,
           "with flagMissingValues, keep inputs past maxPercentageOfMissingvalue beside their "
           "indicator instead of excluding them")
          .Shown("KeepMostlyMissing"),

      Flag("checkTargetMeasureLevel", &S::checkMeasureLevelForTarget,
           "check the measurement level of the target")
          .Shown("CheckMeasureLevelForTarget"),
      Flag("checkFeatureMeasureLevel", &S::checkMeasureLevelForFeature,
           "check the measurement level of the inputs")
          .Shown("CheckMeasureLevelForFeature"),
      Whole("scaleToOrdinalValuesNumThreshold", &S::recastContThreshold,
            "continuous fields with fewer distinct values become ordinal (give with the next key)")
          .Shown("RecastContThreshold")
          .ReadBy(Reads::RecastThresholds),
      Whole("ordinalToScaleCategoriesNumThreshold", &S::recastCatThreshold,
            "ordinal fields with more categories become continuous (must exceed the previous "
            "key)")
          .Shown("RecastCatThreshold")
          .ReadBy(ReadWithAnotherRow),

      Flag("detectTargetOutliers", &S::detectOutlierForTarget,
           "handle outliers of a continuous target (values far from its robust mean)")
          .Shown("DetectOutlierForTarget"),
      Flag("detectFeatureOutliers", &S::detectOutlierForFeature,
           "handle outliers of continuous inputs (values far from their robust mean)")
          .Shown("DetectOutlierForFeature"),
      Choice("outliersOperation", &S::handleOutlierMethod,
             {{"coerceToCutoffVal", 0, "kTrimToCutoffValues"},
              {"setToMissingVal", 1, "kSetToMissingValues"}},
             "coerceToCutoffVal pulls outliers back to the cutoff, setToMissingVal makes them "
             "missing")
          .Shown("HandleOutlierMethod"),
      Number("outlierIdentCutoff", &S::outlierSDCutoff,
             "values more than this many robust standard deviations from the robust mean (mean "
             "and SD without sparse tails of under 5 % of the records) are outliers (> 0)",
             Check::kPositive)
          .Shown("OutlierSDCutoff"),

      Flag("replaceScaleTargetMissingValue", &S::replaceMissingContinuousTarget,
           "replace missing values of a continuous target by its mean")
          .Shown("ReplaceMissingContinuousTarget"),
      Flag("replaceOrdinalTargetMissingValue", &S::replaceMissingOrdinalTarget,
           "replace missing values of an ordinal target by its median")
          .Shown("ReplaceMissingOrdinalTarget"),
      Flag("replaceNominalTargetMissingValue", &S::replaceMissingNominalTarget,
           "replace missing values of a nominal target by its most frequent category")
          .Shown("ReplaceMissingNominalTarget"),
      Flag("replaceNominalFeaturesMissingValue", &S::replaceMissingNominalFeature,
           "replace missing values of nominal inputs by their most frequent category")
          .Shown("ReplaceMissingNominalFeature"),
      Flag("replaceOrdinalFeaturesMissingValue", &S::replaceMissingOrdinalFeature,
           "replace missing values of ordinal inputs by their median")
          .Shown("ReplaceMissingOrdinalFeature"),
      Flag("replaceScaleFeaturesMissingValue", &S::replaceMissingScaleFeature,
           "replace missing values of continuous inputs by their mean")
          .Shown("ReplaceMissingScaleFeature"),

      Flag("reorderNominalTargetCategories", &S::reorderCatsOfNominalTarget,
           "recode a nominal target's categories 0, 1, ... from the rarest to the most frequent")
          .Shown("ReordCatsOfNominalTarget"),
      Flag("rescaleScaleTargetUsingBoxCox", &S::rescaleContTarget,
           "Box-Cox transform a continuous target (exponent -3 to 3 by 0.5, chosen by "
           "likelihood), then rescale it to targetMean and targetSD; a whole-number target "
           "stays whole, which loses most of its detail: declare its storage \"real\" in the "
           "schema")
          .Shown("RescaleContTarget"),
      Number("targetMean", &S::rescaleContTargetMean, "mean of the Box-Cox transformed target")
          .Shown("RescaleContTargetMean"),
      Number("targetSD", &S::rescaleContTargetSD,
             "standard deviation of the Box-Cox transformed target (> 0; give it with "
             "rescaleScaleTargetUsingBoxCox, the default mirrors the target)",
             Check::kPositive)
          .Shown("RescaleContTargetSD"),

      Choice("scaleFeatureRescalingMethod", &S::rescalingMethod,
             {{"zScore", 0, "Z-score"}, {"minMax", 1, "MinMax"}},
             "zScore or minMax rescales continuous inputs, any other text turns rescaling off")
          .Shown("RescalingMethod")
          .ShownAs(RescalingText)
          .ReadBy(Reads::RescalingMethod),
      Number("zScore_SD", &S::rescalingZscoreSD, "z-score standard deviation (> 0)",
             Check::kPositive)
          .Shown("RescalingZscoreSD")
          .WhenGivenAs("scaleFeatureRescalingMethod", "zScore"),
      Number("zScore_mean", &S::rescalingZscoreMean, "z-score mean")
          .Shown("RescalingZscoreMean")
          .WhenGivenAs("scaleFeatureRescalingMethod", "zScore"),
      Number("minMax_max", &S::rescalingMinMaxMax, "min-max upper bound (give with minMax_min)")
          .Shown("RescalingMinMaxMax")
          .WhenGivenAs("scaleFeatureRescalingMethod", "minMax")
          .ReadBy(Reads::MinMaxRange),
      Number("minMax_min", &S::rescalingMinMaxMin, "min-max lower bound (below minMax_max)")
          .Shown("RescalingMinMaxMin")
          .ReadBy(ReadWithAnotherRow),
      Flag("transformSkewedInputs", &S::skewTransform,
           "transform continuous inputs whose absolute skewness exceeds skewnessThreshold, "
           "before rescaling")
          .Shown("SkewTransform"),
      Number("skewnessThreshold", &S::skewThreshold,
             "absolute skewness above which an input is transformed (> 0)", Check::kPositive)
          .Shown("SkewThreshold"),
      Choice("skewTransformMethod", &S::skewTransformMethod,
             {{"boxCox", 0, "BoxCox"}, {"signedLog", 1, "SignedLog"}},
             "boxCox (exponent -3 to 3 by 0.5, chosen by likelihood) or signedLog "
             "(sign(x) ln(1 + |x|)) for skewed inputs; any other text keeps boxCox")
          .Shown("SkewTransformMethod"),
      Flag("targetEncodeCategories", &S::targetEncode,
           "replace nominal inputs of many categories by NAME_targetMean, the smoothed mean of "
           "the target in each category (cross-fitted in the prepared training data)")
          .Shown("TargetEncode"),
      Whole("targetEncodingMinCategories", &S::targetEncodingMinCategories,
            "categories from which a nominal input is encoded by the target (>= 2)")
          .Shown("TargetEncodingMinCategories")
          .ReadBy(Reads::TargetEncodingMinimum),
      Number("targetEncodingSmoothing", &S::targetEncodingSmoothing,
             "weight m of the overall mean in (sum + m mean) / (count + m) (>= 0)")
          .Shown("TargetEncodingSmoothing")
          .ReadBy(Reads::TargetEncodingSmoothing),
      Flag("supervisedBinning", &S::supervisedBinning,
           "bin continuous inputs against a categorical target")
          .Shown("SupervisedBinning"),
      Number("homogeneousSubsetsPValue", &S::supervisedBinningPvalue,
             "p-value of the binning subsets, in (0, 1]", Check::kPValue)
          .Shown("SupervisedBinningPvalue"),
      Flag("featureSelection", &S::featureSelection, "exclude inputs unrelated to the target")
          .Shown("FeatureSelection"),
      Number("featureSelectionPValue", &S::featureSelectionPvalue,
             "p-value of feature selection, in (0, 1]", Check::kPValue)
          .Shown("FeatureSelectionPvalue"),
      Flag("featureConstruction", &S::featureConstruction,
           "construct features from correlated continuous inputs")
          .Shown("FeatureConstruction"),
      Flag("supervisedMerging", &S::supervisedMerge,
           "merge categories that predict the target alike")
          .Shown("SupervisedMerge"),
      Number("supervisedMergingPValue", &S::supervisedMergePvalue,
             "p-value of supervised merging, in (0, 1]", Check::kPValue)
          .Shown("SupervisedMergePvalue"),
      Flag("supervisedMergingKeepUnrelated", &S::supervisedMergeKeepUnrelated,
           "leave an input as it is when supervised merging would make all its categories one")
          .Shown("SupervisedMergeKeepUnrelated"),
      Flag("unsupervisedMergeOrdinal", &S::unsupervisedMergeOrdinal,
           "merge sparse categories of ordinal fields")
          .Shown("UnsupervisedMergeOrdinal"),
      Flag("unsupervisedMergeNominal", &S::unsupervisedMergeNominal,
           "merge sparse categories of nominal fields")
          .Shown("UnsupervisedMergeNominal"),
      Number("unsupervisedMergingMinPercentageOfCases", &S::unsupervisedMergeMin,
             "percentage of cases below which a category is sparse", Check::kPercent)
          .Shown("UnsupervisedMergeMin"),

      // Name parts may not contain blanks; a part a step needs falls back to
      // its default, with a warning, when it is absent or empty.
      Part("suffixYear", NamePart::kYear, "NameSuffixYear",
           "name suffix of the year derived from a date"),
      Part("suffixMonth", NamePart::kMonth, "NameSuffixMonth",
           "name suffix of the month derived from a date"),
      Part("suffixDay", NamePart::kDay, "NameSuffixDay",
           "name suffix of the day derived from a date"),
      Part("suffixHour", NamePart::kHour, "NameSuffixHour",
           "name suffix of the hour derived from a time"),
      Part("suffixMinute", NamePart::kMinute, "NameSuffixMinute",
           "name suffix of the minute derived from a time"),
      Part("suffixSecond", NamePart::kSecond, "NameSuffixSecond",
           "name suffix of the second derived from a time"),
      Part("suffixElapsedYears", NamePart::kElapsedYears, "NameSuffixElapsedYears",
           "name suffix of years elapsed since the reference date"),
      Part("suffixElapsedMonths", NamePart::kElapsedMonths, "NameSuffixElapsedMonths",
           "name suffix of months elapsed since the reference date"),
      Part("suffixElapsedDays", NamePart::kElapsedDays, "NameSuffixElapsedDays",
           "name suffix of days elapsed since the reference date"),
      Part("suffixElapsedHours", NamePart::kElapsedHours, "NameSuffixElapsedHours",
           "name suffix of hours elapsed since the reference time"),
      Part("suffixElapsedMinutes", NamePart::kElapsedMinutes, "NameSuffixElapsedMinutes",
           "name suffix of minutes elapsed since the reference time"),
      Part("suffixElapsedSeconds", NamePart::kElapsedSeconds, "NameSuffixElapsedSeconds",
           "name suffix of seconds elapsed since the reference time"),

      Other("analysisWeight", T::kString, &S::analysisWeightIndex,
            "name of a numeric analysis weight field")
          .Shown("AnalysisWeightFeatureIndex")
          .ReadBy(Reads::Weights)
          .Default(""),

      Part("nameExtForTarget", NamePart::kExtForTarget, "NameExtForTarget",
           "name extension of the transformed target"),
      Part("nameExtForInputs", NamePart::kExtForInputs, "NameExtForInputs",
           "name extension of transformed inputs"),
      Part("rootNameForConsturctedFeature", NamePart::kRootForConstructed,
           "RootNameForConstructedFeature", "root name of constructed features"),
  };
  return rows;
}

}  // namespace

const std::vector<ZelSettingRow>& ZelSettingRows() {
  static const std::vector<ZelSettingRow> rows = BuildRows();
  return rows;
}

const ZelSettingRow* FindSettingRow(const std::string& key) {
  for (const ZelSettingRow& row : ZelSettingRows()) {
    if (key == row.key) return &row;
  }
  return nullptr;
}
