// ZelSettings: every option of a build, preset to its default and filled once
// from the host's settings by ZelSettingsReader. Read-only afterwards, except
// for the progress listener and the step suffixes the naming check rewrites.
#ifndef ZELCRAFT_SETTINGS_ZELSETTINGS_H_
#define ZELCRAFT_SETTINGS_ZELSETTINGS_H_

#include <array>
#include <string>
#include <vector>

#include "settings/ZelStepSuffixTable.h"

namespace TorCommon_1_3 {
class IProgressListener;
}  // namespace TorCommon_1_3

// The suffixes steps append to a field's current name for the fields they
// derive: kTrimString, kYear, ... as the rows of ZelStepSuffixTable.h.
enum class StepSuffix : int {
#define ZEL_STEP_SUFFIX_ID(id, text, label) k##id,
  ZEL_STEP_SUFFIXES(ZEL_STEP_SUFFIX_ID)
#undef ZEL_STEP_SUFFIX_ID
  kCount
};

// The user-visible name parts, in the order the collision check collects them.
enum class NamePart : int {
  kYear, kMonth, kDay, kElapsedYears, kElapsedMonths, kElapsedDays,
  kHour, kMinute, kSecond, kElapsedHours, kElapsedMinutes, kElapsedSeconds,
  kExtForTarget, kExtForInputs, kRootForConstructed,
  kCount
};

// A calendar date with its day number times 86400 (seconds since 1970-01-01).
struct ZelReferenceDate {
  int year = 0;
  int month = 0;
  int day = 0;
  double seconds = 0.0;
};

// A time of day with its (unreduced) seconds.
struct ZelReferenceTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  double seconds = 0.0;
};

class ZelSettings {
 public:
  static constexpr int kStepSuffixCount = static_cast<int>(StepSuffix::kCount);
  static constexpr int kNamePartCount = static_cast<int>(NamePart::kCount);
  // The most categories the table of an input the target encoding step may
  // encode counts while the step is on: inputs past the category screen can
  // then be encoded (what a field of more keeps in memory).
  static constexpr int kTargetEncodingCategoryLimit = 10000;

  // Defaults; the reference date and time come from the current UTC clock.
  ZelSettings();

  const std::string& GetStepSuffix(StepSuffix which) const {
    return stepSuffixes[static_cast<int>(which)];
  }
  void SetStepSuffix(StepSuffix which, const std::string& value) {
    stepSuffixes[static_cast<int>(which)] = value;
  }
  const std::string& GetNamePart(NamePart which) const {
    return nameParts[static_cast<int>(which)];
  }
  void SetNamePart(NamePart which, const std::string& value) {
    nameParts[static_cast<int>(which)] = value;
  }

  // The value a name part starts with, and falls back to when a step needs it
  // but the host left it empty.
  static const char* DefaultNamePart(NamePart which);

  // The categories a nominal field's table counts before it overflows:
  // "maxNOfUniqueCategories", or kTargetEncodingCategoryLimit for a field
  // the target encoding step may encode (`encodable`) while that step is on.
  int NominalCategoryLimit(bool encodable) const;

  // Every member under its display label, through TorDisplay_1_3.
  void Display() const;

  int analysisWeightIndex = -1;
  int frequencyWeightIndex = -1;
  std::vector<int> forcedFeatureIndices;

  bool trimBlank = true;

  bool computeDateDuration = true;
  ZelReferenceDate referenceDate;
  int dateDurationUnit = 0;  // 0 automatic, 1 years, 2 months, 3 days
  bool extractYear = false;
  bool extractMonth = false;
  bool extractDay = false;

  bool computeTimeDuration = true;
  ZelReferenceTime referenceTime;
  int timeDurationUnit = 0;  // 0 automatic, 1 hours, 2 minutes, 3 seconds
  bool extractHour = false;
  bool extractMinute = false;
  bool extractSecond = false;
  // Calendar parts as nominal fields, computed in the document by floor
  // arithmetic on the day number or the seconds.
  bool extractWeekday = false;
  bool extractMonthCategory = false;
  bool extractHourCategory = false;

  bool excludeTooManyMissing = true;
  double maxPercentMissing = 0.5;  // fraction
  bool screeningCatFeature = false;
  double screeningThreshold = 0.95;  // fraction
  bool screeningNominalFeature = true;
  int screeningThresholdForNominal = 100;

  bool flagMissing = false;
  double flagMissingShare = 0.05;  // fraction
  bool keepMostlyMissing = false;

  bool checkMeasureLevelForFeature = true;
  bool checkMeasureLevelForTarget = true;
  int recastContThreshold = 5;
  int recastCatThreshold = 10;

  bool detectOutlierForFeature = true;
  bool detectOutlierForTarget = false;
  int handleOutlierMethod = 0;  // 0 trim to cutoff, 1 set to missing
  double outlierSDCutoff = 3.0;

  bool replaceMissingTarget = false;
  bool replaceMissingNominalTarget = false;
  bool replaceMissingOrdinalTarget = false;
  bool replaceMissingContinuousTarget = false;
  bool replaceMissingNominalFeature = true;
  bool replaceMissingOrdinalFeature = true;
  bool replaceMissingScaleFeature = true;

  bool reorderCatsOfNominalTarget = false;
  bool rescaleContTarget = false;
  double rescaleContTargetMean = 0.0;
  double rescaleContTargetSD = -1.0;
  double boxCoxExponentStart = -3.0;
  double boxCoxExponentEnd = 3.0;
  double boxCoxExponentStep = 0.5;

  bool rescaling = true;
  int rescalingMethod = 0;  // 0 z-score, 1 min-max
  double rescalingZscoreMean = 0.0;
  double rescalingZscoreSD = 1.0;
  double rescalingMinMaxMin = 0.0;
  double rescalingMinMaxMax = 100.0;

  // Skewed continuous inputs: transformed before rescaling when the absolute
  // skewness exceeds the threshold; method 0 Box-Cox, 1 signed log.
  bool skewTransform = false;
  double skewThreshold = 1.0;
  int skewTransformMethod = 0;

  // Nominal inputs of at least the minimum number of categories replaced by
  // the smoothed mean of the target in their category (an m-estimate).
  bool targetEncode = false;
  int targetEncodingMinCategories = 20;
  double targetEncodingSmoothing = 10.0;

  bool supervisedBinning = true;
  double supervisedBinningPvalue = 0.05;
  bool featureSelection = true;
  double featureSelectionPvalue = 0.05;
  bool featureConstruction = true;
  bool reorderNominalCats = true;
  bool supervisedMerge = true;
  double supervisedMergePvalue = 0.05;
  // An input whose categories all merge into one stays as it is instead of
  // becoming a constant: alone it says nothing of the target, beside other
  // inputs it may (a speaker beside the formants of a vowel).
  bool supervisedMergeKeepUnrelated = false;
  bool unsupervisedMerge = true;
  bool unsupervisedMergeOrdinal = true;
  bool unsupervisedMergeNominal = true;
  double unsupervisedMergeMin = 0.1;  // fraction

  std::array<std::string, kStepSuffixCount> stepSuffixes;
  std::array<std::string, kNamePartCount> nameParts;

  TorCommon_1_3::IProgressListener* progressListener = nullptr;
};

#endif  // ZELCRAFT_SETTINGS_ZELSETTINGS_H_
