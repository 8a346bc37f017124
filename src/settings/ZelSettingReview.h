// ZelSettingReview: what a host should tell its user about a settings
// container before a build, beyond what the settings reader refuses. Some
// values are read without complaint although they mean nothing (a negative
// category limit, a percentage outside 0 to 100, a threshold of 0 that must
// be above 0); some keys take effect only together with another key, or
// with another key set to a given value; and some keys of the hosts'
// vocabulary are never read at all. The rules sit beside the reader that
// gives the keys their meaning.
#ifndef ZELCRAFT_SETTINGS_ZELSETTINGREVIEW_H_
#define ZELCRAFT_SETTINGS_ZELSETTINGREVIEW_H_

#include <string>
#include <vector>

#include "torcommon13r/TorSettings.h"

// False with `error` for the first value without meaning, naming its key;
// one line in `warnings` for each key given without the key it depends on.
bool ReviewSettings(const TorCommon_1_3::TorSettings& settings,
                    std::vector<std::string>* warnings, std::string* error);

// The keys of the hosts' vocabulary that the component never reads.
const std::vector<std::string>& KeysWithoutEffect();

#endif  // ZELCRAFT_SETTINGS_ZELSETTINGREVIEW_H_
