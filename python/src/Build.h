// Build: one preparation from Python, from a frame's columns or from a CSV
// file, as a preparation run (preparation/PreparationRun.h) makes it for
// every host; this file only turns the package's arguments into the run's
// request and fills a column store from a frame. Nothing here touches the
// interpreter but through the host's callbacks; the caller releases the
// lock around it.
#ifndef ZELCRAFT_PYTHON_BUILD_H_
#define ZELCRAFT_PYTHON_BUILD_H_

#include <cstdint>
#include <string>
#include <vector>

#include "ColumnData.h"
#include "PythonHost.h"
#include "io/ColumnStore.h"
#include "preparation/PreparationRun.h"

namespace zelpy {

struct BuildRequest {
  std::string settingsText;              // a JSON object of settings keys; empty for none
  std::string settingsName;              // names it in messages
  std::vector<std::string> assignments;  // "KEY=VALUE", as --set: they win over the text
  std::string schemaText;                // a JSON schema as --schema takes it; empty for none
  std::string target;
  std::string frequencyWeight;
  int threads = 0;           // the passes' threads; 0: one per core
  uint64_t memoryLimit = 0;  // 0: half the physical memory
};

struct CsvRequest {
  std::string path;
  char delimiter = ',';
  bool stream = false;
};

// The run's request for the package's arguments.
zelprep::RunRequest RunRequestOf(const BuildRequest& request);

// Fills a column store with the frame's columns (by `names`, in order);
// false when interrupted. The frame's arrays are no longer read after it.
bool FillStore(const std::vector<std::string>& names, const std::vector<ColumnData>& columns,
               PythonHost& host, zelio::ColumnStore* store);

zelprep::RunResult BuildFromStore(const BuildRequest& request, zelio::ColumnStore store,
                                  PythonHost& host);

zelprep::RunResult BuildFromCsv(const BuildRequest& request, const CsvRequest& csv,
                                PythonHost& host);

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_BUILD_H_
