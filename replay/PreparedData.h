// PreparedData: the prepared training data that `prepare --data-out`
// writes. The document just built is compiled and replayed over the records
// the build read (the columns in memory, or the streamed file once more), so
// the data set is what `zelcraft apply` would make of the same file, but
// for target means, which each row takes from the other folds
// (apply/CrossFit.h; the rows are read once more before, for their sums).
#ifndef ZELCRAFT_REPLAY_PREPAREDDATA_H_
#define ZELCRAFT_REPLAY_PREPAREDDATA_H_

#include <string>
#include <vector>

#include "frame/host/HostInterfaces.h"
#include "io/ByteSink.h"
#include "io/ReadProgress.h"

namespace zelreplay {

enum class PreparedDataResult { kWritten, kInterrupted, kBadDocument };

// Writes the CSV text to `output`, which the caller opened and finishes
// (a failed write is the sink's to report). Field i of each record of
// `source` is the field named names[i].
PreparedDataResult WritePreparedData(const std::string& document,
                                     TorCommon_1_3::IRecordSource& source,
                                     const std::vector<std::string>& names, zelio::ByteSink& output,
                                     char delimiter, TorCommon_1_3::IInterruptCheck& interrupts,
                                     zelio::ReadProgress& progress, std::string* error);

}  // namespace zelreplay

#endif  // ZELCRAFT_REPLAY_PREPAREDDATA_H_
