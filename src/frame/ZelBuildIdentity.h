// The identity of what a pass's statistics depend on besides the rows: the
// settings and the field list as the pass meets it. A pass state carries
// both (ZelPassState.h), so that a state made by a build with another
// setting or another field list is refused rather than merged into sums it
// does not belong to.
#ifndef ZELCRAFT_FRAME_ZELBUILDIDENTITY_H_
#define ZELCRAFT_FRAME_ZELBUILDIDENTITY_H_

#include <cstdint>

#include "settings/ZelSettings.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelFrame {

// Every member of the settings, bit for bit, but the progress listener:
// each decides, through the steps, what some pass reads (how outliers are
// cut and handled, how inputs are rescaled, which categories count, the
// names of derived fields). The reference date and time of durations count
// only where a field of `fields` derives durations from them (a field of
// dates, a field of times of day): they default to the clock when the
// settings are read, and replicas made a second apart differ in nothing
// else.
uint64_t SettingsIdentity(const ZelSettings& settings, const ZelVariableHandleList& fields);

// Each field's name, storage, measurement level and kind, role, the values
// its owner declared missing, and whether it is derived or excluded.
uint64_t FieldsIdentity(const ZelVariableHandleList& fields);

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELBUILDIDENTITY_H_
