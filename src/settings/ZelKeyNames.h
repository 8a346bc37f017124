// ZelKey: the exact text of every settings key the component reads, kept in
// one place so the reader and the key catalogue cannot drift apart. Several
// texts keep the spelling of the hosts' established vocabulary.
#ifndef ZELCRAFT_SETTINGS_ZELKEYNAMES_H_
#define ZELCRAFT_SETTINGS_ZELKEYNAMES_H_

namespace ZelKey {

// Text and many categories.
constexpr char kTrimBlanks[] = "trimBlanks";
constexpr char kExcludeManyCategories[] = "excludeFeatureIfHasManyUniqueCatogories";
constexpr char kMaxCategories[] = "maxNOfUniqueCategories";

// Date and time derivation.
constexpr char kExtractYear[] = "extractYearFromDate";
constexpr char kExtractMonth[] = "extractMonthFromDate";
constexpr char kExtractDay[] = "extractDayFromDate";
constexpr char kExtractHour[] = "extractHourFromTime";
constexpr char kExtractMinute[] = "extractMinuteFromTime";
constexpr char kExtractSecond[] = "extractSecondFromTime";
constexpr char kComputeDateDuration[] = "computeDateDuration";
constexpr char kReferenceDateType[] = "referenceDateType";
constexpr char kTodaysDate[] = "todaysDate";
constexpr char kReferenceDate[] = "referenceDateForDurations";
constexpr char kComputeTimeDuration[] = "computeTimeDuration";
constexpr char kReferenceTimeType[] = "referenceTimeType";
constexpr char kCurrentTime[] = "currentTime";
constexpr char kReferenceTime[] = "referenceTimeForDurations";
constexpr char kAutoDateUnit[] = "autoChooseDateFieldUnit";
constexpr char kDateUnit[] = "dateUnit";
constexpr char kAutoTimeUnit[] = "autoChooseTimeFieldUnit";
constexpr char kTimeUnit[] = "timeUnit";
constexpr char kExtractWeekday[] = "extractWeekdayFromDate";
constexpr char kExtractMonthCategory[] = "extractMonthCategoryFromDate";
constexpr char kExtractHourCategory[] = "extractHourCategoryFromTime";

// Screening.
constexpr char kExcludeManyMissing[] = "excludeFeatureIfHasHigherPercentageOfMissingValue";
constexpr char kMaxPercentMissing[] = "maxPercentageOfMissingvalue";
constexpr char kExcludeAlmostConstant[] = "excludeAlmostConstantCatFeature";
constexpr char kCatScreenThreshold[] = "catFeatureScreenThreshold";

// Missing-value indicators.
constexpr char kFlagMissing[] = "flagMissingValues";
constexpr char kFlagMissingPercent[] = "flagMissingPercentage";
constexpr char kKeepMostlyMissing[] = "keepMostlyMissingWithFlag";

// Measurement level.
constexpr char kCheckTargetLevel[] = "checkTargetMeasureLevel";
constexpr char kCheckFeatureLevel[] = "checkFeatureMeasureLevel";
constexpr char kScaleToOrdinal[] = "scaleToOrdinalValuesNumThreshold";
constexpr char kOrdinalToScale[] = "ordinalToScaleCategoriesNumThreshold";

// Outliers.
constexpr char kDetectTargetOutliers[] = "detectTargetOutliers";
constexpr char kDetectFeatureOutliers[] = "detectFeatureOutliers";
constexpr char kOutliersOperation[] = "outliersOperation";
constexpr char kOutlierCutoff[] = "outlierIdentCutoff";

// Missing values.
constexpr char kReplaceScaleTarget[] = "replaceScaleTargetMissingValue";
constexpr char kReplaceOrdinalTarget[] = "replaceOrdinalTargetMissingValue";
constexpr char kReplaceNominalTarget[] = "replaceNominalTargetMissingValue";
constexpr char kReplaceNominalFeatures[] = "replaceNominalFeaturesMissingValue";
constexpr char kReplaceOrdinalFeatures[] = "replaceOrdinalFeaturesMissingValue";
constexpr char kReplaceScaleFeatures[] = "replaceScaleFeaturesMissingValue";

// Target.
constexpr char kReorderTarget[] = "reorderNominalTargetCategories";
constexpr char kBoxCoxTarget[] = "rescaleScaleTargetUsingBoxCox";
constexpr char kTargetMean[] = "targetMean";
constexpr char kTargetSD[] = "targetSD";

// Rescaling, binning, selection, construction, merging.
constexpr char kRescalingMethod[] = "scaleFeatureRescalingMethod";
constexpr char kZScoreSD[] = "zScore_SD";
constexpr char kZScoreMean[] = "zScore_mean";
constexpr char kMinMaxMax[] = "minMax_max";
constexpr char kMinMaxMin[] = "minMax_min";
constexpr char kSkewTransform[] = "transformSkewedInputs";
constexpr char kSkewThreshold[] = "skewnessThreshold";
constexpr char kSkewMethod[] = "skewTransformMethod";
constexpr char kTargetEncode[] = "targetEncodeCategories";
constexpr char kTargetEncodeMin[] = "targetEncodingMinCategories";
constexpr char kTargetEncodeSmoothing[] = "targetEncodingSmoothing";
constexpr char kSupervisedBinning[] = "supervisedBinning";
constexpr char kBinningPValue[] = "homogeneousSubsetsPValue";
constexpr char kFeatureSelection[] = "featureSelection";
constexpr char kSelectionPValue[] = "featureSelectionPValue";
constexpr char kFeatureConstruction[] = "featureConstruction";
constexpr char kSupervisedMerging[] = "supervisedMerging";
constexpr char kMergingPValue[] = "supervisedMergingPValue";
constexpr char kMergingKeepUnrelated[] = "supervisedMergingKeepUnrelated";
constexpr char kMergeOrdinal[] = "unsupervisedMergeOrdinal";
constexpr char kMergeNominal[] = "unsupervisedMergeNominal";
constexpr char kMergeMinPercent[] = "unsupervisedMergingMinPercentageOfCases";

// User-visible name parts.
constexpr char kSuffixYear[] = "suffixYear";
constexpr char kSuffixMonth[] = "suffixMonth";
constexpr char kSuffixDay[] = "suffixDay";
constexpr char kSuffixHour[] = "suffixHour";
constexpr char kSuffixMinute[] = "suffixMinute";
constexpr char kSuffixSecond[] = "suffixSecond";
constexpr char kSuffixElapsedYears[] = "suffixElapsedYears";
constexpr char kSuffixElapsedMonths[] = "suffixElapsedMonths";
constexpr char kSuffixElapsedDays[] = "suffixElapsedDays";
constexpr char kSuffixElapsedHours[] = "suffixElapsedHours";
constexpr char kSuffixElapsedMinutes[] = "suffixElapsedMinutes";
constexpr char kSuffixElapsedSeconds[] = "suffixElapsedSeconds";
constexpr char kNameExtForTarget[] = "nameExtForTarget";
constexpr char kNameExtForInputs[] = "nameExtForInputs";
constexpr char kRootName[] = "rootNameForConsturctedFeature";

// Weights.
constexpr char kAnalysisWeight[] = "analysisWeight";

}  // namespace ZelKey

#endif  // ZELCRAFT_SETTINGS_ZELKEYNAMES_H_
