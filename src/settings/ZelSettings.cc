#include "settings/ZelSettings.h"

#include <algorithm>
#include <ctime>

namespace {

#define ZEL_STEP_SUFFIX_TEXT(id, text, label) text,
const char* const kStepSuffixDefaults[ZelSettings::kStepSuffixCount] = {
    ZEL_STEP_SUFFIXES(ZEL_STEP_SUFFIX_TEXT)};
#undef ZEL_STEP_SUFFIX_TEXT

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

int ZelSettings::NominalCategoryLimit(bool encodable) const {
  if (!targetEncode || !encodable) return screeningThresholdForNominal;
  return std::max(screeningThresholdForNominal, kTargetEncodingCategoryLimit);
}
