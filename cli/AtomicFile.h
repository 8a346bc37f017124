// Writing the output document atomically: the text goes to a temporary file
// in the target's directory, which then replaces the target by a rename. A
// failed or interrupted run therefore never leaves a partial document, and an
// existing file stays untouched until the new one is complete.
#ifndef ZELCRAFT_CLI_ATOMICFILE_H_
#define ZELCRAFT_CLI_ATOMICFILE_H_

#include <string>
#include <string_view>

namespace zelcli {

bool WriteFileAtomically(const std::string& path, std::string_view text, std::string* error);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_ATOMICFILE_H_
