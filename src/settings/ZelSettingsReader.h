// ZelSettingsReader: fills a ZelSettings from the host's settings container,
// row by row of ZelSettingTable, stopping at the first invalid value. Used
// only by ZelFactory::CreateTorAlgorithm.
#ifndef ZELCRAFT_SETTINGS_ZELSETTINGSREADER_H_
#define ZELCRAFT_SETTINGS_ZELSETTINGSREADER_H_

#include <vector>

#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorVarList.h"
#include "settings/ZelSettings.h"

class ZelSettingsReader {
 public:
  // Nothing is owned; `warnings` is the factory's list.
  ZelSettingsReader(const TorCommon_1_3::TorSettings* settings,
                    const TorCommon_1_3::TorVarList* variables, ZelSettings* target,
                    std::vector<TorCommon_1_3::TorStatus>* warnings);

  // Empties the warning list, then reads and validates every key. Absent keys
  // (and keys stored with another type) keep the member's current value.
  TorCommon_1_3::TorStatus Read();

 private:
  const TorCommon_1_3::TorSettings* settings_;
  const TorCommon_1_3::TorVarList* variables_;
  ZelSettings* target_;
  std::vector<TorCommon_1_3::TorStatus>* warnings_;
};

#endif  // ZELCRAFT_SETTINGS_ZELSETTINGSREADER_H_
