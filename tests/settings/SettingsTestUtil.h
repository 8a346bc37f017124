// Helpers shared by the settings tests: reading a host container straight
// into a ZelSettings, and capturing a settings display as text.
#ifndef ZELCRAFT_TESTS_SETTINGS_SETTINGSTESTUTIL_H_
#define ZELCRAFT_TESTS_SETTINGS_SETTINGSTESTUTIL_H_

#include <sstream>
#include <string>
#include <vector>

#include "torcommon13r/TorVarList.h"
#include "torcommon13r/TorDisplay.h"
#include "settings/ZelSettings.h"
#include "settings/ZelSettingsReader.h"

namespace settingstest {

struct Read {
  ZelSettings settings;
  TorCommon_1_3::TorStatus status;
  std::vector<TorCommon_1_3::TorStatus> warnings;

  explicit Read(const TorCommon_1_3::TorSettings& host,
                const TorCommon_1_3::TorVarList& variables = TorCommon_1_3::TorVarList()) {
    ZelSettingsReader reader(&host, &variables, &settings, &warnings);
    status = reader.Read();
  }
};

inline std::string DisplayText(const ZelSettings& settings) {
  std::ostringstream out;
  std::ostream* saved = TorDisplay_1_3::SetOutputStream(&out);
  settings.Display();
  TorDisplay_1_3::SetOutputStream(saved);
  return out.str();
}

}  // namespace settingstest

#endif  // ZELCRAFT_TESTS_SETTINGS_SETTINGSTESTUTIL_H_
