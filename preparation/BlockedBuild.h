// RunBlockedBuild: one build on several threads. Each thread drives one
// replica of the build (made alike by the host, one ZelFactory each, since
// a factory's replicas share its warning list) through the component's
// lockstep calls (ZelLockstep.h): in every pass that reads, the threads
// take the feed's blocks as they come, read each into a state of its own,
// and the states are merged in block order as they arrive; every replica
// then installs the merged state and runs the pass's steps on its own
// thread. Block order, not the thread that read a block, fixes the merge,
// so the document is the same for every number of threads. The component
// itself never starts a thread.
#ifndef ZELCRAFT_PREPARATION_BLOCKEDBUILD_H_
#define ZELCRAFT_PREPARATION_BLOCKEDBUILD_H_

#include <string>
#include <vector>

#include "frame/host/HostInterfaces.h"
#include "io/ReadProgress.h"
#include "preparation/BlockFeed.h"

namespace zelprep {

// The status of replica 0, or the first error of any; `detail` says why a
// state was refused. Progress hears, on the calling thread only (replica 0
// runs there), the records merged so far and the end of every pass.
TorCommon_1_3::TorStatus RunBlockedBuild(const std::vector<TorCommon_1_3::ITorAlgorithm*>& replicas,
                                         BlockFeed& feed, zelio::ReadProgress& progress,
                                         std::string* detail);

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_BLOCKEDBUILD_H_
