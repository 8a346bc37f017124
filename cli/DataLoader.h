// DataLoader: reads a CSV file into typed columns. The text is read twice:
// the first pass checks the rows and infers each column's storage, the
// second stores every cell as the storage the field plan decided and checks
// the weights. The file's text is released when loading ends, so only the
// columns stay in memory. A file without records is an input error.
#ifndef ZELCRAFT_CLI_DATALOADER_H_
#define ZELCRAFT_CLI_DATALOADER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ColumnStore.h"
#include "FieldPlan.h"
#include "ProgressLine.h"
#include "SchemaFile.h"
#include "frame/host/HostInterfaces.h"

namespace zelcli {

enum class LoadResult { kLoaded, kInputError, kInterrupted };

struct LoadedData {
  ColumnStore store;
  std::vector<FieldPlan> plans;
  int64_t droppedRecords = 0;  // records a missing, zero or negative weight leaves out
};

struct LoadRequest {
  std::string path;
  char delimiter = ',';
  const Schema* schema = nullptr;
  FieldRoles roles;
};

LoadResult LoadCsv(const LoadRequest& request, TorCommon_1_3::IInterruptCheck& interrupts,
                   ProgressLine& progress, LoadedData* data, std::string* error);
// The same for the file's text, which must outlive the call.
LoadResult LoadCsvText(const LoadRequest& request, std::string_view text,
                       TorCommon_1_3::IInterruptCheck& interrupts, ProgressLine& progress,
                       LoadedData* data, std::string* error);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_DATALOADER_H_
