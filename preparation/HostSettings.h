// HostSettings: the settings every host hands the component where the
// component's own default would not serve a user. "targetSD" is 1 unless
// the user sets it: the component's default of -1 rescales a Box-Cox
// transformed target to a standard deviation of -1, which turns it upside
// down (its correlation with the target becomes negative). The defaults
// the hosts give, for their help texts.
#ifndef ZELCRAFT_PREPARATION_HOSTSETTINGS_H_
#define ZELCRAFT_PREPARATION_HOSTSETTINGS_H_

#include <string>

#include "settings/ZelSettingKeys.h"
#include "torcommon13r/TorSettings.h"

namespace zelprep {

// Adds the hosts' defaults for the keys the settings do not give.
void ApplyHostDefaults(TorCommon_1_3::TorSettings* settings);

// The default a host gives the key (one of ZelFactory::GetSettingKeys), as
// help texts show it: "targetSD" 1, the references of durations from the
// data, the component's own default for every other key.
std::string HostDefault(const ZelSettingKey& key);

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_HOSTSETTINGS_H_
