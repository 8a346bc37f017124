// SettingRanges: the settings values the component accepts although they
// mean nothing (a negative category limit, a percentage outside 0 to 100, a
// threshold of 0 that must be above 0), refused here with the key named; and
// the keys that take effect only together with another, which get a warning
// when given without it.
#ifndef ZELCRAFT_CLI_SETTINGRANGES_H_
#define ZELCRAFT_CLI_SETTINGRANGES_H_

#include <string>
#include <vector>

#include "torcommon13r/TorSettings.h"

namespace zelcli {

// False with `error` for the first value out of range; lines for keys
// without effect go to `warnings`.
bool CheckSettingRanges(const TorCommon_1_3::TorSettings& settings,
                        std::vector<std::string>* warnings, std::string* error);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_SETTINGRANGES_H_
