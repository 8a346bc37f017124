// PrepareCommand: `zelcraft prepare`, from a CSV file (or several read as
// one data set, InputPaths) to the preparation document. The preparation run (preparation/PreparationRun.h) reads the
// settings, loads the data and builds; the command gives it the options, a
// progress line and signal handling, and presents its result: the
// messages, the document, and on request the statistics table, the
// prepared data set (replaying the document on the columns in memory or the
// file again), its schema and the report. Every input problem it can see
// is refused before the long work starts.
#ifndef ZELCRAFT_CLI_PREPARECOMMAND_H_
#define ZELCRAFT_CLI_PREPARECOMMAND_H_

#include <cstdint>
#include <string>
#include <vector>

#include "ExitStatus.h"

namespace zelcli {

struct PrepareOptions {
  std::vector<std::string> dataPaths;  // paths or glob patterns, read as one data set
  std::string outputPath;   // empty: <first data file's stem>.pmml here; "-": standard output
  // The prepared data set; empty: not written; "-": standard output; with
  // "{name}": one file per input (DataOutputs).
  std::string dataOutPath;
  std::string target;
  std::string targetLevel;  // nominal, ordinal or continuous; empty: the schema's or inferred
  std::string frequencyWeight;
  std::string analysisWeight;
  std::string schemaPath;
  std::string settingsPath;
  std::string statsPath;  // empty: no statistics file
  std::string schemaOutPath;  // the prepared data's storage and levels; needs dataOutPath
  std::string reportPath;  // the report page; empty: not written
  std::vector<std::string> assignments;  // KEY=VALUE, applied after the settings file
  char delimiter = ',';
  bool stream = false;       // read the file again for every pass instead of holding it
  // The columns and the statistics together; 0: half the memory.
  uint64_t memoryLimit = 0;
  int threads = 0;           // the passes' threads; 1: everything on one thread; 0: one per core
  bool progress = false;  // draw the progress line even when not on a terminal
  bool quiet = false;
};

int RunPrepare(const PrepareOptions& options);

}  // namespace zelcli

#endif  // ZELCRAFT_CLI_PREPARECOMMAND_H_
