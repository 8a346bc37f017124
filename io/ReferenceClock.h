// PinReferenceClock: today's date and the current time, when the settings
// ask for them as the reference of durations ("todaysDate", "currentTime"),
// fixed once for all the replicas of a build. Left to the component, a
// replica reads its clock when it is made, so that replicas made a second
// apart (threads started one after the other, tasks on other machines)
// would derive other durations from the same dates and times, and refuse
// each other's states, which carry the settings. The clock is `now`
// (seconds since 1970-01-01, UTC), the host's reading taken once; the
// settings then name the day and the time of day it falls on. A value the
// settings give, durations turned off, and a reference left to the host
// (which takes the data's latest moments: DurationReference) stay as they
// are.
#ifndef ZELCRAFT_IO_REFERENCECLOCK_H_
#define ZELCRAFT_IO_REFERENCECLOCK_H_

#include <cstdint>

#include "torcommon13r/TorSettings.h"

namespace zelio {

void PinReferenceClock(int64_t now, TorCommon_1_3::TorSettings* settings);

}  // namespace zelio

#endif  // ZELCRAFT_IO_REFERENCECLOCK_H_
