// Exit statuses of the `zelcraft` commands. An interrupted run ends with 128
// plus the signal's number: 130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP
// (Interrupts::ExitStatus).
#ifndef ZELCRAFT_CLI_EXITSTATUS_H_
#define ZELCRAFT_CLI_EXITSTATUS_H_

#include "status/Status.h"

namespace zelcli {

enum ExitStatus : int { kExitSuccess = 0, kExitComponentError = 1, kExitInputError = 2 };

// The exit status of a status that no signal stopped: the user's input
// (wrong, unreadable or past a limit) gives 2, the component's failure or
// a fault of our own 1.
inline ExitStatus ExitStatusOf(const zelstatus::Status& status) {
  switch (status.kind()) {
    case zelstatus::Kind::kOk:
      return kExitSuccess;
    case zelstatus::Kind::kComponent:
    case zelstatus::Kind::kInternal:
      return kExitComponentError;
    default:
      return kExitInputError;
  }
}

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_EXITSTATUS_H_
