// PinReferenceClock: the reference date and time of durations fixed once
// for all the replicas of a build. Left to the component, a replica takes
// today's date and the time of day when it is made, so that replicas made a
// second apart (threads started one after the other, tasks on other
// machines) would derive other durations from the same dates and times,
// and refuse each other's states, which carry the settings. The clock is
// `now` (seconds since 1970-01-01, UTC), the host's reading taken once; the
// settings then name the day and the time of day it falls on, which is
// what the component would have taken. A reference the settings give, or
// durations they turn off, stay as they are.
#ifndef ZELCRAFT_IO_REFERENCECLOCK_H_
#define ZELCRAFT_IO_REFERENCECLOCK_H_

#include <cstdint>

#include "torcommon13r/TorSettings.h"

namespace zelio {

void PinReferenceClock(int64_t now, TorCommon_1_3::TorSettings* settings);

}  // namespace zelio

#endif  // ZELCRAFT_IO_REFERENCECLOCK_H_
