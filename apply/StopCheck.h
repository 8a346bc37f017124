// StopCheck: the host's answer to "stop now?", asked while a document is
// read and compiled (a signal, a user's interrupt); empty: never. A read it
// stopped returns a status of kind kInterrupted (status/Status.h).
#ifndef ZELCRAFT_APPLY_STOPCHECK_H_
#define ZELCRAFT_APPLY_STOPCHECK_H_

#include <functional>

namespace zelapply {

using StopCheck = std::function<bool()>;

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_STOPCHECK_H_
