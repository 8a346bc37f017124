// RunMessages: the words a run's statuses and notes take before a host's
// users. Every host shows the same lines: the data source's notes first,
// then the component's warnings, and last, on one line, the warnings that
// only say a step does not apply to this data, so that the real ones stand
// out.
#ifndef ZELCRAFT_PREPARATION_RUNMESSAGES_H_
#define ZELCRAFT_PREPARATION_RUNMESSAGES_H_

#include <string>
#include <vector>

#include "status/Status.h"
#include "torcommon13r/TorStatus.h"

namespace zelprep {

// The component's message for a status code; "unknown status" for a code
// it does not know.
std::string StatusMessage(int code);

// "error CODE: message" or "warning CODE: message".
std::string DescribeStatus(const TorCommon_1_3::TorStatus& status);

// The component's failure as the hosts' status (kind kComponent), worded
// as DescribeStatus words it, its code kept: the one place a TorStatus
// crosses into a host's status.
zelstatus::Status ComponentFailure(const TorCommon_1_3::TorStatus& status);

// "warning: NOTE" for each note, "warning CODE: message" for each warning
// that is not about a step left out, then, unless `inapplicable` is false,
// "not applicable here: a, b" for those that are, in their order.
std::vector<std::string> WarningLines(const std::vector<std::string>& notes,
                                      const std::vector<TorCommon_1_3::TorStatus>& warnings,
                                      bool inapplicable = true);

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_RUNMESSAGES_H_
