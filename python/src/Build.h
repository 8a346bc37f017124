// Build: one preparation from Python, from a frame's columns or from a CSV
// file, as a preparation run (preparation/PreparationRun.h) makes it for
// every host; this file only fills a column store from a frame and hands
// the run the package's host. Nothing here touches the
// interpreter but through the host's callbacks; the caller releases the
// lock around it.
#ifndef ZELCRAFT_PYTHON_BUILD_H_
#define ZELCRAFT_PYTHON_BUILD_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ColumnData.h"
#include "PythonHost.h"
#include "io/ColumnStore.h"
#include "preparation/PreparationRun.h"

namespace zelpy {

struct CsvRequest {
  std::string path;
  char delimiter = ',';
  bool stream = false;
};

// Fills a column store with the frame's columns (by `names`, in order);
// false when interrupted. The frame's arrays are no longer read after it.
bool FillStore(const std::vector<std::string>& names, const std::vector<ColumnData>& columns,
               PythonHost& host, zelio::ColumnStore* store);

zelprep::RunResult BuildFromStore(const zelprep::RunRequest& request, zelio::ColumnStore store,
                                  PythonHost& host);

zelprep::RunResult BuildFromCsv(const zelprep::RunRequest& request, const CsvRequest& csv,
                                PythonHost& host);

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_BUILD_H_
