#include "settings/ZelSettings.h"

#include <ctime>

namespace {

const char* const kStepSuffixDefaults[ZelSettings::kStepSuffixCount] = {
    "_TrimString", "_Year", "_Month", "_Day", "_DurationYears", "_DurationMonths",
    "_DurationDays", "_Hour", "_Minute", "_Second", "_DurationHours", "_DurationMinutes",
    "_DurationSeconds", "_RecastCont", "_RecastOrdinal", "_Outlier", "_ReplaceMissingCont",
    "_ReplaceMissingNominal", "_ReplaceMissingOrdinal", "_RescaleScaleFeature",
    "_AdjustScaleCont", "_RearrangeNominal", "_MergeNoTarget", "_MergeOrdinalHasTarget",
    "_MergeNominalNoTarget", "_MergeNominalHasTarget", "_DeriveNewFeatureCont",
    "_CreateOrdinalFeatureCont", "_SkewTransform", "_Weekday", "_MonthCategory", "_HourCategory",
    "_Missing", "_TargetEncoded"};

const char* const kNamePartDefaults[ZelSettings::kNamePartCount] = {
    "_year", "_month", "_day", "_years", "_months", "_days", "_hour", "_minute", "_second",
    "_hours", "_minutes", "_seconds", "_transformed", "_transformed", "feature"};

}  // namespace

ZelSettings::ZelSettings() {
  for (int i = 0; i < kStepSuffixCount; ++i) stepSuffixes[i] = kStepSuffixDefaults[i];
  for (int i = 0; i < kNamePartCount; ++i) nameParts[i] = kNamePartDefaults[i];
  // time() counts seconds since 1970-01-01 UTC: the day start is a multiple
  // of 86400, the time of day the remainder.
  const double now = static_cast<double>(std::time(nullptr));
  const double dayStart = now - static_cast<double>(static_cast<long long>(now) % 86400);
  referenceDate.seconds = dayStart;
  referenceTime.seconds = now - dayStart;
}

const char* ZelSettings::DefaultNamePart(NamePart which) {
  return kNamePartDefaults[static_cast<int>(which)];
}
