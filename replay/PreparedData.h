// PreparedData: the prepared training data that `prepare --data-out`
// writes. The document just built is compiled and replayed over the records
// the build read (the columns in memory, or the streamed file once more), so
// the data set is exactly what `zelcraft apply` would make of the same file.
#ifndef ZELCRAFT_REPLAY_PREPAREDDATA_H_
#define ZELCRAFT_REPLAY_PREPAREDDATA_H_

#include <string>
#include <vector>

#include "frame/host/HostInterfaces.h"
#include "io/ByteSink.h"
#include "io/ReadProgress.h"
#include "status/Status.h"

namespace zelreplay {

// Writes the CSV text to `output`, which the caller opened and finishes
// (a failed write is the sink's to report). Field i of each record of
// `source` is the field named names[i]. A document that cannot be replayed
// on them is an internal failure: the build just wrote it.
zelstatus::Status WritePreparedData(const std::string& document,
                                    TorCommon_1_3::IRecordSource& source,
                                    const std::vector<std::string>& names, zelio::ByteSink& output,
                                    char delimiter, TorCommon_1_3::IInterruptCheck& interrupts,
                                    zelio::ReadProgress& progress);

}  // namespace zelreplay

#endif  // ZELCRAFT_REPLAY_PREPAREDDATA_H_
