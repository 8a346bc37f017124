#include "settings/ZelSettingReads.h"

#include <string>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelCalendar.h"
#include "torcommon13r/TorMV.h"

using TorCommon_1_3::TorStatus;

namespace ZelSettingReads {

namespace {

TorStatus Error(int code) { return TorStatus(code, false); }

}  // namespace

TorStatus ReferenceDate(const ZelSettingReading& r, const ZelSettingRow& row) {
  std::string type;
  const bool today = r.Get(row.key, type) && type == "todaysDate";
  double dayNumber = 0.0;
  if (!r.Get(today ? "todaysDate" : "referenceDateForDurations", dayNumber)) return TorStatus();
  if (TorCommon_1_3::TorMV::IsMissing(dayNumber)) return TorStatus();
  ZelReferenceDate date;
  // A day number no calendar can hold is ignored like an absent one.
  if (!ZelCalendar::CivilFromDayNumber(dayNumber, date.year, date.month, date.day)) {
    return TorStatus();
  }
  date.seconds = dayNumber * 86400.0;
  r.settings.referenceDate = date;
  return TorStatus();
}

TorStatus ReferenceTime(const ZelSettingReading& r, const ZelSettingRow& row) {
  std::string type;
  const bool now = r.Get(row.key, type) && type == "currentTime";
  double seconds = 0.0;
  if (!r.Get(now ? "currentTime" : "referenceTimeForDurations", seconds)) return TorStatus();
  if (TorCommon_1_3::TorMV::IsMissing(seconds)) return TorStatus();
  ZelReferenceTime time;
  if (!ZelCalendar::SplitTimeOfDay(seconds, time.hour, time.minute, time.second)) {
    return TorStatus();
  }
  // Durations are measured from the unreduced value; only the parts wrap.
  time.seconds = seconds;
  r.settings.referenceTime = time;
  return TorStatus();
}

TorStatus RecastThresholds(const ZelSettingReading& r, const ZelSettingRow& row) {
  // A continuous field with fewer than `a` values becomes ordinal, an
  // ordinal one with more than `b` categories continuous, so a must lie
  // below b.
  int a = 0;
  int b = 0;
  if (!r.Get(row.key, a) || !r.Get("ordinalToScaleCategoriesNumThreshold", b)) return TorStatus();
  if (a <= 0 || a >= b) return Error(ZelStatusCode::kBadRecastThresholds);
  r.settings.recastContThreshold = a;
  r.settings.recastCatThreshold = b;
  return TorStatus();
}

TorStatus RescalingMethod(const ZelSettingReading& r, const ZelSettingRow& row) {
  std::string method;
  if (!r.Get(row.key, method)) return TorStatus();
  ZelSettings& s = r.settings;
  s.rescaling = false;
  for (const ZelSettingChoice& choice : row.choices) {
    if (method != choice.text) continue;
    s.rescaling = true;
    s.rescalingMethod = choice.value;
  }
  return TorStatus();
}

TorStatus MinMaxRange(const ZelSettingReading& r, const ZelSettingRow& row) {
  // A range needs both ends; one end alone keeps the default range.
  double max = 0.0;
  double min = 0.0;
  if (!r.Get(row.key, max) || !r.Get("minMax_min", min)) return TorStatus();
  if (!(max > min)) return Error(ZelStatusCode::kBadMinMax);
  r.settings.rescalingMinMaxMax = max;
  r.settings.rescalingMinMaxMin = min;
  return TorStatus();
}

TorStatus TargetEncodingMinimum(const ZelSettingReading& r, const ZelSettingRow& row) {
  int minimum = 0;
  if (!r.Get(row.key, minimum)) return TorStatus();
  if (minimum < 2) return Error(ZelStatusCode::kBadTargetEncoding);
  r.settings.targetEncodingMinCategories = minimum;
  return TorStatus();
}

TorStatus TargetEncodingSmoothing(const ZelSettingReading& r, const ZelSettingRow& row) {
  double smoothing = 0.0;
  if (!r.Get(row.key, smoothing)) return TorStatus();
  // Written so that NaN fails too.
  if (!(smoothing >= 0.0 && smoothing < 1e300)) return Error(ZelStatusCode::kBadTargetEncoding);
  r.settings.targetEncodingSmoothing = smoothing;
  return TorStatus();
}

TorStatus Weights(const ZelSettingReading& r, const ZelSettingRow& row) {
  const TorCommon_1_3::TorVarList* fields = r.fields;
  if (fields != nullptr && fields->GetFrequencyWeightIndex() != -1) {
    r.settings.frequencyWeightIndex = fields->GetFrequencyWeightIndex();
  }
  std::string name;
  if (!r.Get(row.key, name) || name.empty()) return TorStatus();
  const int index = fields != nullptr ? fields->FindVariable(name) : -1;
  const TorCommon_1_3::ITorVariable* field = index >= 0 ? fields->GetVarAt(index) : nullptr;
  // A weight must be numeric; text cannot weigh a record.
  if (field == nullptr || field->GetVariableStorage() == TorCommon_1_3::kStorageString) {
    return Error(ZelStatusCode::kBadAnalysisWeight);
  }
  r.settings.analysisWeightIndex = index;
  return TorStatus();
}

}  // namespace ZelSettingReads
