#include "settings/ZelSettingsReader.h"

ZelSettingsReader::ZelSettingsReader(const TorCommon_1_3::TorSettings* settings,
                                     const TorCommon_1_3::TorVarList* variables,
                                     ZelSettings* target,
                                     std::vector<TorCommon_1_3::TorStatus>* warnings)
    : settings_(settings), variables_(variables), target_(target), warnings_(warnings) {}

TorCommon_1_3::TorStatus ZelSettingsReader::Read() {
  if (warnings_ != nullptr) warnings_->clear();
  return status_;
}
