// PreparedData: the prepared training data that `prepare --data-out`
// writes. The document just built is compiled and replayed over the records
// the build read (the columns in memory, or the streamed file once more), so
// the data set is exactly what `zelcraft apply` would make of the same file.
#ifndef ZELCRAFT_CLI_PREPAREDDATA_H_
#define ZELCRAFT_CLI_PREPAREDDATA_H_

#include <string>

#include <vector>

#include "OutputFile.h"
#include "ProgressLine.h"
#include "frame/host/HostInterfaces.h"

namespace zelcli {

enum class PreparedDataResult { kWritten, kWriteError, kInterrupted, kBadDocument };

// Writes to `output`, prepared but not yet opened, and finishes it; the
// caller commits it once every output of the run is finished. Field i of
// each record of `source` is the field named names[i].
PreparedDataResult WritePreparedData(const std::string& document,
                                     TorCommon_1_3::IRecordSource& source,
                                     const std::vector<std::string>& names, OutputFile& output,
                                     char delimiter,
                                     TorCommon_1_3::IInterruptCheck& interrupts,
                                     ProgressLine& progress, std::string* error);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_PREPAREDDATA_H_
