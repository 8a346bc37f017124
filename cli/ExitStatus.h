// Exit statuses of the `zelcraft` commands.
#ifndef ZELCRAFT_CLI_EXITSTATUS_H_
#define ZELCRAFT_CLI_EXITSTATUS_H_

namespace zelcli {

enum ExitStatus : int {
  kExitSuccess = 0,
  kExitComponentError = 1,
  kExitInputError = 2,
  kExitInterrupted = 130
};

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_EXITSTATUS_H_
