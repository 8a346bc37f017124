// Exit statuses of the `zelcraft` commands. An interrupted run ends with 128
// plus the signal's number: 130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP
// (Interrupts::ExitStatus).
#ifndef ZELCRAFT_CLI_EXITSTATUS_H_
#define ZELCRAFT_CLI_EXITSTATUS_H_

namespace zelcli {

enum ExitStatus : int { kExitSuccess = 0, kExitComponentError = 1, kExitInputError = 2 };

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_EXITSTATUS_H_
