// Build: one preparation from a host's frame or from a CSV file, as a
// preparation run (preparation/PreparationRun.h) makes it for every host;
// this file only fills a column store from a frame's columns and hands the
// run the host's callbacks. Nothing here touches an interpreter but through
// those callbacks, so a caller may run it without an interpreter's lock.
#ifndef ZELCRAFT_HOST_BUILD_H_
#define ZELCRAFT_HOST_BUILD_H_

#include <cstdint>
#include <string>
#include <vector>

#include "host/ColumnData.h"
#include "host/HostCallbacks.h"
#include "io/ColumnStore.h"
#include "preparation/PreparationRun.h"

namespace zelhost {

struct CsvRequest {
  std::vector<std::string> paths;  // several: read as one data set
  char delimiter = ',';
  bool stream = false;
};

// Fills a column store with the frame's columns (by `names`, in order);
// false when interrupted. The frame's arrays are no longer read after it.
bool FillStore(const std::vector<std::string>& names, const std::vector<ColumnData>& columns,
               HostCallbacks& host, zelio::ColumnStore* store);

zelprep::RunResult BuildFromStore(const zelprep::RunRequest& request, zelio::ColumnStore store,
                                  HostCallbacks& host);

zelprep::RunResult BuildFromCsv(const zelprep::RunRequest& request, const CsvRequest& csv,
                                HostCallbacks& host);

}  // namespace zelhost

#endif  // ZELCRAFT_HOST_BUILD_H_
