#include "settings/ZelSettingsReader.h"

#include <string>

#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorMV.h"
#include "settings/ZelCalendar.h"
#include "settings/ZelKeyNames.h"
#include "settings/ZelNaming.h"

using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorStatus;

namespace {

// A reader without a container reads nothing: every member keeps its value.
const TorSettings* OrEmpty(const TorSettings* settings) {
  static const TorSettings empty;
  return settings != nullptr ? settings : &empty;
}

// Unit codes 1..3 from the largest unit down; the largest unit's text and
// any unknown text both give 1.
int UnitCode(const std::string& text, const char* middle, const char* smallest) {
  if (text == middle) return 2;
  if (text == smallest) return 3;
  return 1;
}

}  // namespace

ZelSettingsReader::ZelSettingsReader(const TorSettings* settings,
                                     const TorCommon_1_3::TorVarList* variables,
                                     ZelSettings* target, std::vector<TorStatus>* warnings)
    : settings_(OrEmpty(settings)), variables_(variables), target_(target), warnings_(warnings) {}

TorStatus ZelSettingsReader::Read() {
  if (warnings_ != nullptr) warnings_->clear();
  using Group = void (ZelSettingsReader::*)();
  static constexpr Group kGroups[] = {
      &ZelSettingsReader::ReadTextAndCategories, &ZelSettingsReader::ReadDateAndTime,
      &ZelSettingsReader::ReadScreening,         &ZelSettingsReader::ReadMeasureLevel,
      &ZelSettingsReader::ReadOutliers,          &ZelSettingsReader::ReadMissingValues,
      &ZelSettingsReader::ReadTarget,            &ZelSettingsReader::ReadModelling,
      &ZelSettingsReader::ReadSuffixes,          &ZelSettingsReader::ReadWeights,
      &ZelSettingsReader::ReadExtensions};
  for (Group group : kGroups) {
    if (status_.IsError()) return status_;
    (this->*group)();
  }
  // Only a complete set of name parts can be checked against the suffixes.
  if (!status_.IsError()) ZelNaming::ResolveSuffixCollisions(target_);
  return status_;
}

void ZelSettingsReader::ReadTextAndCategories() {
  ZelSettings& s = *target_;
  Get(ZelKey::kTrimBlanks, s.trimBlank);
  bool screen = false;
  if (Get(ZelKey::kExcludeManyCategories, screen)) {
    s.screeningNominalFeature = screen;
    if (screen) Get(ZelKey::kMaxCategories, s.screeningThresholdForNominal);
  }
}

void ZelSettingsReader::ReadDateAndTime() {
  ZelSettings& s = *target_;
  Get(ZelKey::kExtractYear, s.extractYear);
  Get(ZelKey::kExtractMonth, s.extractMonth);
  Get(ZelKey::kExtractDay, s.extractDay);
  Get(ZelKey::kExtractHour, s.extractHour);
  Get(ZelKey::kExtractMinute, s.extractMinute);
  Get(ZelKey::kExtractSecond, s.extractSecond);
  Get(ZelKey::kExtractWeekday, s.extractWeekday);
  Get(ZelKey::kExtractMonthCategory, s.extractMonthCategory);
  Get(ZelKey::kExtractHourCategory, s.extractHourCategory);

  bool compute = false;
  if (Get(ZelKey::kComputeDateDuration, compute)) {
    s.computeDateDuration = compute;
    if (compute) ReadReferenceDate();
  }
  if (Get(ZelKey::kComputeTimeDuration, compute)) {
    s.computeTimeDuration = compute;
    if (compute) ReadReferenceTime();
  }

  std::string mode;
  std::string unit;
  if (Get(ZelKey::kAutoDateUnit, mode) && mode != "automatic" && Get(ZelKey::kDateUnit, unit)) {
    s.dateDurationUnit = UnitCode(unit, "month", "day");
  }
  if (Get(ZelKey::kAutoTimeUnit, mode) && mode != "automatic" && Get(ZelKey::kTimeUnit, unit)) {
    s.timeDurationUnit = UnitCode(unit, "minute", "second");
  }
}

void ZelSettingsReader::ReadReferenceDate() {
  std::string type;
  const bool today = Get(ZelKey::kReferenceDateType, type) && type == "todaysDate";
  double dayNumber = 0.0;
  if (!Get(today ? ZelKey::kTodaysDate : ZelKey::kReferenceDate, dayNumber)) return;
  if (TorCommon_1_3::TorMV::IsMissing(dayNumber)) return;
  ZelReferenceDate date;
  // A day number no calendar can hold is ignored like an absent one.
  if (!ZelCalendar::CivilFromDayNumber(dayNumber, date.year, date.month, date.day)) return;
  date.seconds = dayNumber * 86400.0;
  target_->referenceDate = date;
}

void ZelSettingsReader::ReadReferenceTime() {
  std::string type;
  const bool now = Get(ZelKey::kReferenceTimeType, type) && type == "currentTime";
  double seconds = 0.0;
  if (!Get(now ? ZelKey::kCurrentTime : ZelKey::kReferenceTime, seconds)) return;
  if (TorCommon_1_3::TorMV::IsMissing(seconds)) return;
  ZelReferenceTime time;
  if (!ZelCalendar::SplitTimeOfDay(seconds, time.hour, time.minute, time.second)) return;
  // Durations are measured from the unreduced value; only the parts wrap.
  time.seconds = seconds;
  target_->referenceTime = time;
}

void ZelSettingsReader::ReadScreening() {
  ZelSettings& s = *target_;
  bool on = false;
  if (Get(ZelKey::kExcludeManyMissing, on)) {
    s.excludeTooManyMissing = on;
    if (on) GetPercent(ZelKey::kMaxPercentMissing, s.maxPercentMissing);
  }
  if (Get(ZelKey::kExcludeAlmostConstant, on)) {
    s.screeningCatFeature = on;
    if (on) GetPercent(ZelKey::kCatScreenThreshold, s.screeningThreshold);
  }
  Get(ZelKey::kFlagMissing, s.flagMissing);
  GetPercent(ZelKey::kFlagMissingPercent, s.flagMissingShare);
  Get(ZelKey::kKeepMostlyMissing, s.keepMostlyMissing);
}

void ZelSettingsReader::ReadMeasureLevel() {
  ZelSettings& s = *target_;
  Get(ZelKey::kCheckTargetLevel, s.checkMeasureLevelForTarget);
  Get(ZelKey::kCheckFeatureLevel, s.checkMeasureLevelForFeature);
  // The two thresholds only make sense as a pair: a continuous field with
  // fewer than `a` values becomes ordinal, an ordinal one with more than `b`
  // categories continuous, so a must lie below b.
  int a = 0;
  int b = 0;
  if (!Get(ZelKey::kScaleToOrdinal, a) || !Get(ZelKey::kOrdinalToScale, b)) return;
  if (a > 0 && a < b) {
    s.recastContThreshold = a;
    s.recastCatThreshold = b;
  } else {
    Fail(ZelStatusCode::kBadRecastThresholds);
  }
}

void ZelSettingsReader::ReadOutliers() {
  ZelSettings& s = *target_;
  Get(ZelKey::kDetectTargetOutliers, s.detectOutlierForTarget);
  Get(ZelKey::kDetectFeatureOutliers, s.detectOutlierForFeature);
  std::string operation;
  if (Get(ZelKey::kOutliersOperation, operation)) {
    if (operation == "coerceToCutoffVal") {
      s.handleOutlierMethod = 0;
    } else if (operation == "setToMissingVal") {
      s.handleOutlierMethod = 1;
    }
  }
  GetPositive(ZelKey::kOutlierCutoff, s.outlierSDCutoff);
}

void ZelSettingsReader::ReadMissingValues() {
  ZelSettings& s = *target_;
  Get(ZelKey::kReplaceScaleTarget, s.replaceMissingContinuousTarget);
  Get(ZelKey::kReplaceOrdinalTarget, s.replaceMissingOrdinalTarget);
  Get(ZelKey::kReplaceNominalTarget, s.replaceMissingNominalTarget);
  Get(ZelKey::kReplaceNominalFeatures, s.replaceMissingNominalFeature);
  Get(ZelKey::kReplaceOrdinalFeatures, s.replaceMissingOrdinalFeature);
  Get(ZelKey::kReplaceScaleFeatures, s.replaceMissingScaleFeature);
}

void ZelSettingsReader::ReadTarget() {
  ZelSettings& s = *target_;
  Get(ZelKey::kReorderTarget, s.reorderCatsOfNominalTarget);
  Get(ZelKey::kBoxCoxTarget, s.rescaleContTarget);
  Get(ZelKey::kTargetMean, s.rescaleContTargetMean);
  GetPositive(ZelKey::kTargetSD, s.rescaleContTargetSD);
}

void ZelSettingsReader::ReadModelling() {
  ZelSettings& s = *target_;
  ReadRescaling();
  if (status_.IsError()) return;
  ReadSkewness();
  if (status_.IsError()) return;
  ReadTargetEncoding();
  if (status_.IsError()) return;
  Get(ZelKey::kSupervisedBinning, s.supervisedBinning);
  GetPValue(ZelKey::kBinningPValue, s.supervisedBinningPvalue);
  if (status_.IsError()) return;
  Get(ZelKey::kFeatureSelection, s.featureSelection);
  GetPValue(ZelKey::kSelectionPValue, s.featureSelectionPvalue);
  if (status_.IsError()) return;
  Get(ZelKey::kFeatureConstruction, s.featureConstruction);
  Get(ZelKey::kSupervisedMerging, s.supervisedMerge);
  GetPValue(ZelKey::kMergingPValue, s.supervisedMergePvalue);
  Get(ZelKey::kMergingKeepUnrelated, s.supervisedMergeKeepUnrelated);
  if (status_.IsError()) return;
  Get(ZelKey::kMergeOrdinal, s.unsupervisedMergeOrdinal);
  Get(ZelKey::kMergeNominal, s.unsupervisedMergeNominal);
  GetPercent(ZelKey::kMergeMinPercent, s.unsupervisedMergeMin);
}

void ZelSettingsReader::ReadRescaling() {
  ZelSettings& s = *target_;
  std::string method;
  if (!Get(ZelKey::kRescalingMethod, method)) return;
  if (method == "zScore") {
    s.rescaling = true;
    s.rescalingMethod = 0;
    GetPositive(ZelKey::kZScoreSD, s.rescalingZscoreSD);
    if (!status_.IsError()) Get(ZelKey::kZScoreMean, s.rescalingZscoreMean);
  } else if (method == "minMax") {
    s.rescaling = true;
    s.rescalingMethod = 1;
    // A range needs both ends; one end alone keeps the default range.
    double max = 0.0;
    double min = 0.0;
    if (!Get(ZelKey::kMinMaxMax, max) || !Get(ZelKey::kMinMaxMin, min)) return;
    if (max > min) {
      s.rescalingMinMaxMax = max;
      s.rescalingMinMaxMin = min;
    } else {
      Fail(ZelStatusCode::kBadMinMax);
    }
  } else {
    s.rescaling = false;
  }
}

void ZelSettingsReader::ReadSkewness() {
  ZelSettings& s = *target_;
  Get(ZelKey::kSkewTransform, s.skewTransform);
  GetPositive(ZelKey::kSkewThreshold, s.skewThreshold);
  std::string method;
  if (!Get(ZelKey::kSkewMethod, method)) return;
  if (method == "boxCox") s.skewTransformMethod = 0;
  if (method == "signedLog") s.skewTransformMethod = 1;
}

void ZelSettingsReader::ReadTargetEncoding() {
  ZelSettings& s = *target_;
  Get(ZelKey::kTargetEncode, s.targetEncode);
  int minimum = 0;
  if (Get(ZelKey::kTargetEncodeMin, minimum)) {
    if (minimum >= 2) {
      s.targetEncodingMinCategories = minimum;
    } else {
      Fail(ZelStatusCode::kBadTargetEncoding);
      return;
    }
  }
  double smoothing = 0.0;
  if (Get(ZelKey::kTargetEncodeSmoothing, smoothing)) {
    // Written so that NaN fails too.
    if (smoothing >= 0.0 && smoothing < 1e300) {
      s.targetEncodingSmoothing = smoothing;
    } else {
      Fail(ZelStatusCode::kBadTargetEncoding);
    }
  }
}

void ZelSettingsReader::ReadSuffixes() {
  status_ = ZelNaming::ReadSuffixes(*settings_, target_, warnings_);
}

void ZelSettingsReader::ReadWeights() {
  ZelSettings& s = *target_;
  if (variables_ != nullptr && variables_->GetFrequencyWeightIndex() != -1) {
    s.frequencyWeightIndex = variables_->GetFrequencyWeightIndex();
  }
  std::string name;
  if (!Get(ZelKey::kAnalysisWeight, name) || name.empty()) return;
  const int index = variables_ != nullptr ? variables_->FindVariable(name) : -1;
  const TorCommon_1_3::ITorVariable* field =
      index >= 0 ? variables_->GetVarAt(index) : nullptr;
  // A weight must be numeric; text cannot weigh a record.
  if (field == nullptr || field->GetVariableStorage() == TorCommon_1_3::kStorageString) {
    Fail(ZelStatusCode::kBadAnalysisWeight);
    return;
  }
  s.analysisWeightIndex = index;
}

void ZelSettingsReader::ReadExtensions() {
  status_ = ZelNaming::ReadExtensions(*settings_, target_, warnings_);
}

void ZelSettingsReader::GetPercent(const char* key, double& fraction) const {
  double percent = 0.0;
  if (Get(key, percent)) fraction = percent / 100.0;
}

void ZelSettingsReader::GetPositive(const char* key, double& member) {
  double value = 0.0;
  if (!Get(key, value)) return;
  // Written so that NaN fails too.
  if (value > 0.0) {
    member = value;
  } else {
    Fail(ZelStatusCode::kNonPositiveSD);
  }
}

void ZelSettingsReader::GetPValue(const char* key, double& member) {
  double value = 0.0;
  if (!Get(key, value)) return;
  if (value > 0.0 && value <= 1.0) {
    member = value;
  } else {
    Fail(ZelStatusCode::kBadPValue);
  }
}

void ZelSettingsReader::Fail(int code) { status_ = TorStatus(code, false); }
