// The final names of the derived fields that survive a build. While steps
// run, derived fields carry intermediate names (source name + step suffix);
// afterwards each surviving one is named after the host field its chain
// starts from, plus the user's name part: the target extension for the
// target, the date/time part for fields derived from dates and times, the
// input extension otherwise. Constructed and excluded fields keep their names.
#ifndef ZELCRAFT_SETTINGS_ZELFINALNAMING_H_
#define ZELCRAFT_SETTINGS_ZELFINALNAMING_H_

#include "settings/ZelSettings.h"
#include "settings/ZelVariableHandleList.h"

void RenameDerivedFields(ZelVariableHandleList* fields, const ZelSettings& settings);

#endif  // ZELCRAFT_SETTINGS_ZELFINALNAMING_H_
