// StatusMessages: a one-line explanation for every status code the component
// can return, kept in one table.
#ifndef ZELCRAFT_CLI_STATUSMESSAGES_H_
#define ZELCRAFT_CLI_STATUSMESSAGES_H_

#include <string>

#include "torcommon13r/TorStatus.h"

namespace zelcli {

// The explanation of `code`; a generic text for codes the table lacks.
const char* StatusMessage(int code);

// "error CODE: message" or "warning CODE: message".
std::string DescribeStatus(const TorCommon_1_3::TorStatus& status);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_STATUSMESSAGES_H_
