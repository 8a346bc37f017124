// PreparedData: the prepared training data that `prepare --data-out`
// writes. The document just built is compiled and replayed over the records
// the build read (the columns in memory, or the streamed file once more), so
// the data set is what `zelcraft apply` would make of the same file, but
// for target means, which each row takes from the other folds
// (apply/CrossFit.h; the rows are read once more before, for their sums).
#ifndef ZELCRAFT_REPLAY_PREPAREDDATA_H_
#define ZELCRAFT_REPLAY_PREPAREDDATA_H_

#include <cstdint>
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

// One output of several that the records are shared out to, in order:
// `rows` records each (-1: the rest).
struct PreparedPart {
  zelio::ByteSink* output;
  int64_t rows;
};

// The same with the records shared out to `parts` in order, each a whole
// CSV text with its header: the prepared data of several input files, one
// output for each.
zelstatus::Status WritePreparedParts(const std::string& document,
                                     TorCommon_1_3::IRecordSource& source,
                                     const std::vector<std::string>& names,
                                     const std::vector<PreparedPart>& parts, char delimiter,
                                     TorCommon_1_3::IInterruptCheck& interrupts,
                                     zelio::ReadProgress& progress);

}  // namespace zelreplay

#endif  // ZELCRAFT_REPLAY_PREPAREDDATA_H_
