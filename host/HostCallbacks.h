// HostCallbacks: what the component and the data-source library call back
// while a host's work runs: the interrupt check, the component's stages and
// the reader's progress, all on the thread that started the work (a host
// that calls back into an interpreter may only be called there). Poll looks
// at the host at once, for loops that ask seldom; stopped says whether a
// stop was seen, so a caller can tell an interrupted run from a finished
// one.
#ifndef ZELCRAFT_HOST_HOSTCALLBACKS_H_
#define ZELCRAFT_HOST_HOSTCALLBACKS_H_

#include "frame/host/HostInterfaces.h"
#include "io/ReadProgress.h"

namespace zelhost {

class HostCallbacks : public TorCommon_1_3::IInterruptCheck,
                      public TorCommon_1_3::IProgressListener,
                      public zelio::ReadProgress {
 public:
  virtual bool Poll() = 0;
  virtual bool stopped() const = 0;
};

}  // namespace zelhost

#endif  // ZELCRAFT_HOST_HOSTCALLBACKS_H_
