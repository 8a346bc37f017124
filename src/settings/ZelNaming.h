// ZelNaming: the user-visible name parts of derived fields (suffixes for date
// and time parts, name extensions, the root name of constructed fields): their
// settings keys, when a step needs them, how they are read, and the check that
// keeps the intermediate step suffixes apart from them.
#ifndef ZELCRAFT_SETTINGS_ZELNAMING_H_
#define ZELCRAFT_SETTINGS_ZELNAMING_H_

#include <vector>

#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorStatus.h"
#include "settings/ZelSettings.h"

namespace ZelNaming {

// The settings key that sets a name part.
const char* NamePartKey(NamePart part);

// True when a step switched on in `settings` names fields with this part.
bool IsNamePartNeeded(const ZelSettings& settings, NamePart part);

// Reads the twelve date and time suffixes, then (separately, after the
// weights) the two name extensions and the root name. A value with a blank is
// error kBlankInName and stops the reading; an absent or empty value that a
// step needs takes the default with warning kNamingDefaultUsed.
TorCommon_1_3::TorStatus ReadSuffixes(const TorCommon_1_3::TorSettings& host,
                                      ZelSettings* settings,
                                      std::vector<TorCommon_1_3::TorStatus>* warnings);
TorCommon_1_3::TorStatus ReadExtensions(const TorCommon_1_3::TorSettings& host,
                                        ZelSettings* settings,
                                        std::vector<TorCommon_1_3::TorStatus>* warnings);

// Appends std::rand() digits to every step suffix that equals a name part,
// until it equals none, so an intermediate name can never be mistaken for a
// final one. The nominal-merge suffix is left alone.
void ResolveSuffixCollisions(ZelSettings* settings);

}  // namespace ZelNaming

#endif  // ZELCRAFT_SETTINGS_ZELNAMING_H_
