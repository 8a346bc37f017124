// ApplyCommand: `zelcraft apply`, which replays a preparation document on a
// CSV file (or several read as one, as `prepare` reads them) row by row and
// writes the prepared data set: one file, or one per input file
// (DataOutputs). Memory does not grow with the number of rows.
#ifndef ZELCRAFT_CLI_APPLYCOMMAND_H_
#define ZELCRAFT_CLI_APPLYCOMMAND_H_

#include <string>
#include <vector>

#include "ExitStatus.h"

namespace zelcli {

struct ApplyOptions {
  std::string documentPath;
  std::vector<std::string> dataPaths;  // paths or glob patterns (InputPaths)
  std::string outputPath = "-";  // "-": standard output; with "{name}": one file per input
  std::string schemaOutPath;  // the written columns' storage and level; empty: not written
  bool allFields = false;  // every derived field, not only the enabled ones
  char delimiter = ',';
  bool progress = false;
  bool quiet = false;
};

int RunApply(const ApplyOptions& options);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_APPLYCOMMAND_H_
