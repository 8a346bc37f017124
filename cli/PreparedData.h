// PreparedData: the prepared training data that `prepare --data-out`
// writes. The document just built is compiled and replayed over the columns
// already in memory, so the file is not read again and the data set is
// exactly what `zelcraft apply` would make of the same file.
#ifndef ZELCRAFT_CLI_PREPAREDDATA_H_
#define ZELCRAFT_CLI_PREPAREDDATA_H_

#include <string>

#include "ColumnStore.h"
#include "OutputFile.h"
#include "ProgressLine.h"
#include "frame/host/HostInterfaces.h"

namespace zelcli {

enum class PreparedDataResult { kWritten, kWriteError, kInterrupted, kBadDocument };

// Writes to `output`, prepared but not yet opened, and finishes it; the
// caller commits it once every output of the run is finished.
PreparedDataResult WritePreparedData(const std::string& document, const ColumnStore& store,
                                     OutputFile& output, char delimiter,
                                     TorCommon_1_3::IInterruptCheck& interrupts,
                                     ProgressLine& progress, std::string* error);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_PREPAREDDATA_H_
