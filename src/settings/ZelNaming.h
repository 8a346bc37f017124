// ZelNaming: the user-visible name parts of derived fields (suffixes for date
// and time parts, name extensions, the root name of constructed fields): when
// a step needs them, how they are read (their keys are rows of
// ZelSettingTable.cc), and the check that keeps the intermediate step
// suffixes apart from them.
#ifndef ZELCRAFT_SETTINGS_ZELNAMING_H_
#define ZELCRAFT_SETTINGS_ZELNAMING_H_

#include <vector>

#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorStatus.h"
#include "settings/ZelSettings.h"

namespace ZelNaming {

// True when a step switched on in `settings` names fields with this part.
bool IsNamePartNeeded(const ZelSettings& settings, NamePart part);

// Reads a name part from its settings key (a row of ZelSettingTable.cc). A
// value with a blank is error kBlankInName, which stops the reading; an
// absent or empty value that a step needs takes the default with warning
// kNamingDefaultUsed.
TorCommon_1_3::TorStatus ReadNamePart(const TorCommon_1_3::TorSettings& host, const char* key,
                                      NamePart part, ZelSettings* settings,
                                      std::vector<TorCommon_1_3::TorStatus>* warnings);

// Appends std::rand() digits to every step suffix that equals a name part,
// until it equals none, so an intermediate name can never be mistaken for a
// final one. The nominal-merge suffix is left alone.
void ResolveSuffixCollisions(ZelSettings* settings);

}  // namespace ZelNaming

#endif  // ZELCRAFT_SETTINGS_ZELNAMING_H_
