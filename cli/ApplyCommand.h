// ApplyCommand: `zelcraft apply`, which replays a preparation document on a
// CSV file row by row and writes the prepared data set. Memory does not
// grow with the number of rows.
#ifndef ZELCRAFT_CLI_APPLYCOMMAND_H_
#define ZELCRAFT_CLI_APPLYCOMMAND_H_

#include <string>

#include "ExitStatus.h"

namespace zelcli {

struct ApplyOptions {
  std::string documentPath;
  std::string dataPath;
  std::string outputPath = "-";  // "-": standard output
  std::string schemaOutPath;  // the written columns' storage and level; empty: not written
  bool allFields = false;  // every derived field, not only the enabled ones
  char delimiter = ',';
  bool progress = false;
  bool quiet = false;
};

int RunApply(const ApplyOptions& options);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_APPLYCOMMAND_H_
