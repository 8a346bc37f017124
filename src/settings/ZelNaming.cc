#include "settings/ZelNaming.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "frame/ZelStatusCodes.h"
#include "frame/ZelWarning.h"

using ZelFrame::AddWarning;

using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorStatus;

namespace ZelNaming {

TorStatus ReadNamePart(const TorSettings& host, const char* key, NamePart part,
                       ZelSettings* settings, std::vector<TorStatus>* warnings) {
  std::string value;
  if (host.GetSettingValByName(key, value) && !value.empty()) {
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
