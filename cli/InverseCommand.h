// InverseCommand: `zelcraft inverse`, which maps predictions made on the
// scale of a transformed target back to the original target through the
// document's target inverse, appending the result as a new column. It reads
// one CSV file or several as one, and writes one file or one per input, as
// `apply` does.
#ifndef ZELCRAFT_CLI_INVERSECOMMAND_H_
#define ZELCRAFT_CLI_INVERSECOMMAND_H_

#include <string>
#include <vector>

#include "ExitStatus.h"

namespace zelcli {

struct InverseOptions {
  std::string documentPath;
  std::vector<std::string> predictionsPaths;  // paths or glob patterns (InputPaths)
  std::string column;      // the predictions; the result is column + "_inverse"
  std::string outputPath = "-";  // "-": standard output; with "{name}": one file per input
  char delimiter = ',';
  bool progress = false;
  bool quiet = false;
};

int RunInverse(const InverseOptions& options);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_INVERSECOMMAND_H_
