#include "settings/ZelSettingsReader.h"

#include "settings/ZelNaming.h"
#include "settings/ZelSettingTable.h"

using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorStatus;

namespace {

// A reader without a container reads nothing: every member keeps its value.
const TorSettings* OrEmpty(const TorSettings* settings) {
  static const TorSettings empty;
  return settings != nullptr ? settings : &empty;
}

}  // namespace

ZelSettingsReader::ZelSettingsReader(const TorSettings* settings,
                                     const TorCommon_1_3::TorVarList* variables,
                                     ZelSettings* target, std::vector<TorStatus>* warnings)
    : settings_(OrEmpty(settings)), variables_(variables), target_(target), warnings_(warnings) {}

TorStatus ZelSettingsReader::Read() {
  if (warnings_ != nullptr) warnings_->clear();
  const ZelSettingReading reading{*settings_, variables_, *target_, warnings_};
  for (const ZelSettingRow& row : ZelSettingRows()) {
    const TorStatus status = ReadSettingRow(reading, row);
    if (status.IsError()) return status;
  }
  // Only a complete set of name parts can be checked against the suffixes.
  ZelNaming::ResolveSuffixCollisions(target_);
  return TorStatus();
}
