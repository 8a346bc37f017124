#include "settings/ZelNaming.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "frame/ZelStatusCodes.h"
#include "frame/ZelWarning.h"
#include "settings/ZelKeyNames.h"

using ZelFrame::AddWarning;

using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorStatus;

namespace ZelNaming {

namespace {

// Indexed by NamePart.
const char* const kNamePartKeys[ZelSettings::kNamePartCount] = {
    ZelKey::kSuffixYear,          ZelKey::kSuffixMonth,          ZelKey::kSuffixDay,
    ZelKey::kSuffixElapsedYears,  ZelKey::kSuffixElapsedMonths,  ZelKey::kSuffixElapsedDays,
    ZelKey::kSuffixHour,          ZelKey::kSuffixMinute,         ZelKey::kSuffixSecond,
    ZelKey::kSuffixElapsedHours,  ZelKey::kSuffixElapsedMinutes, ZelKey::kSuffixElapsedSeconds,
    ZelKey::kNameExtForTarget,    ZelKey::kNameExtForInputs,     ZelKey::kRootName};

// Calendar parts before elapsed parts; the first faulty key stops the reading,
// so this order decides which members a rejected build had already taken.
constexpr NamePart kSuffixReadingOrder[] = {
    NamePart::kYear,          NamePart::kMonth,         NamePart::kDay,
    NamePart::kHour,          NamePart::kMinute,        NamePart::kSecond,
    NamePart::kElapsedYears,  NamePart::kElapsedMonths, NamePart::kElapsedDays,
    NamePart::kElapsedHours,  NamePart::kElapsedMinutes, NamePart::kElapsedSeconds};

constexpr NamePart kExtensionReadingOrder[] = {
    NamePart::kExtForTarget, NamePart::kExtForInputs, NamePart::kRootForConstructed};

TorStatus ReadNamePart(const TorSettings& host, NamePart part, ZelSettings* settings,
                       std::vector<TorStatus>* warnings) {
  std::string value;
  if (host.GetSettingValByName(NamePartKey(part), value) && !value.empty()) {
    // Names with blanks would not survive as PMML field names.
    if (value.find(' ') != std::string::npos) {
      return TorStatus(ZelStatusCode::kBlankInName, false);
    }
    settings->SetNamePart(part, value);
  } else if (IsNamePartNeeded(*settings, part)) {
    settings->SetNamePart(part, ZelSettings::DefaultNamePart(part));
    AddWarning(warnings, ZelStatusCode::kNamingDefaultUsed);
  }
  return TorStatus();
}

template <std::size_t N>
TorStatus ReadAll(const NamePart (&parts)[N], const TorSettings& host, ZelSettings* settings,
                  std::vector<TorStatus>* warnings) {
  for (NamePart part : parts) {
    const TorStatus status = ReadNamePart(host, part, settings, warnings);
    if (status.IsError()) return status;
  }
  return TorStatus();
}

}  // namespace

const char* NamePartKey(NamePart part) { return kNamePartKeys[static_cast<int>(part)]; }

bool IsNamePartNeeded(const ZelSettings& s, NamePart part) {
  switch (part) {
    case NamePart::kYear: return s.extractYear;
    case NamePart::kMonth: return s.extractMonth;
    case NamePart::kDay: return s.extractDay;
    case NamePart::kHour: return s.extractHour;
    case NamePart::kMinute: return s.extractMinute;
    case NamePart::kSecond: return s.extractSecond;
    case NamePart::kElapsedYears:
    case NamePart::kElapsedMonths:
    case NamePart::kElapsedDays: return s.computeDateDuration;
    case NamePart::kElapsedHours:
    case NamePart::kElapsedMinutes:
    case NamePart::kElapsedSeconds: return s.computeTimeDuration;
    case NamePart::kExtForTarget:
      return s.checkMeasureLevelForTarget || s.detectOutlierForTarget ||
             s.reorderCatsOfNominalTarget || s.replaceMissingTarget ||
             s.replaceMissingNominalTarget || s.replaceMissingOrdinalTarget ||
             s.replaceMissingContinuousTarget || s.rescaleContTarget || s.trimBlank;
    case NamePart::kExtForInputs:
      return s.checkMeasureLevelForFeature || s.detectOutlierForFeature || s.featureSelection ||
             s.replaceMissingNominalFeature || s.replaceMissingOrdinalFeature ||
             s.replaceMissingScaleFeature || s.rescaling || s.supervisedBinning ||
             s.supervisedMerge || s.trimBlank ||
             (s.unsupervisedMerge && (s.unsupervisedMergeNominal || s.unsupervisedMergeOrdinal));
    case NamePart::kRootForConstructed: return s.featureConstruction;
    case NamePart::kCount: break;
  }
  return false;
}

TorStatus ReadSuffixes(const TorSettings& host, ZelSettings* settings,
                       std::vector<TorStatus>* warnings) {
  return ReadAll(kSuffixReadingOrder, host, settings, warnings);
}

TorStatus ReadExtensions(const TorSettings& host, ZelSettings* settings,
                         std::vector<TorStatus>* warnings) {
  return ReadAll(kExtensionReadingOrder, host, settings, warnings);
}

void ResolveSuffixCollisions(ZelSettings* settings) {
  const std::array<std::string, ZelSettings::kNamePartCount> parts = settings->nameParts;
  auto isNamePart = [&parts](const std::string& text) {
    return std::find(parts.begin(), parts.end(), text) != parts.end();
  };
  for (const std::string& part : parts) {
    for (int i = 0; i < ZelSettings::kStepSuffixCount; ++i) {
      const StepSuffix which = static_cast<StepSuffix>(i);
      if (which == StepSuffix::kMergeNominalNoTarget) continue;
      if (settings->GetStepSuffix(which) != part) continue;
      std::string renamed = part + std::to_string(std::rand());
      while (isNamePart(renamed)) renamed += std::to_string(std::rand());
      settings->SetStepSuffix(which, renamed);
    }
  }
}

}  // namespace ZelNaming
