// DataLoader: reads a CSV file (or several read as one data set,
// CsvFileSequence) into typed columns in one read. The file is
// read in chunks of whole rows (split on a helper thread while the previous
// chunk is converted), never held whole. Each column is stored as the
// storage its cells so far allow, and the inference of its final storage
// runs alongside: whole numbers that meet a decimal become reals in place,
// and the rare column that turns out to be text after holding other values
// is read again from the file on its own. Columns are sized from an
// estimate of the row count taken from the first chunk.
//
// When the columns would take more memory than the limit allows (or when
// streaming is asked for), the values are not kept: the first read then
// only infers the storages and counts the categories of text columns, and
// the data passes read the file again (CsvRecordSource). The weights are
// checked row by row as the component will read them, and a file without
// records is an input error. A pipe, FIFO or device is read once: it is
// refused for streaming and for a column that would have to be read again.
// Every read after the first must find the same file with the same bytes
// (InputFile), or the load fails naming the file. A message about the data
// names the file it is in and that file's own line.
#ifndef ZELCRAFT_IO_DATALOADER_H_
#define ZELCRAFT_IO_DATALOADER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/ColumnStore.h"
#include "io/CsvChunk.h"
#include "io/FieldPlan.h"
#include "io/InputFile.h"
#include "io/ReadProgress.h"
#include "io/Schema.h"
#include "io/TypeInference.h"
#include "frame/host/HostInterfaces.h"
#include "status/Status.h"

namespace zelio {

struct LoadedData {
  // The names and columns; streamed columns hold only the dictionaries.
  ColumnStore store;
  std::vector<FieldPlan> plans;
  std::size_t fileColumns = 0;  // the file's, which a split timestamp column outnumbers
  int64_t rows = 0;
  bool streamed = false;
  int64_t droppedRecords = 0;  // records a missing, zero or negative weight leaves out
  // What the read saw of each file, which every later read must see again
  // (empty for a text).
  std::vector<InputFingerprint> fingerprints;
  std::vector<int64_t> fileRows;  // the records of each file, in order
  // What each column's cells allow (a column the schema types is not inferred).
  std::vector<TypeInference> inference;
};

struct LoadRequest {
  // The files, read as one data set (CsvFileSequence); for a text, its name.
  std::vector<std::string> paths;
  char delimiter = ',';
  const Schema* schema = nullptr;
  FieldRoles roles;
  bool stream = false;         // never keep the values
  uint64_t memoryLimit = 0;    // stream when the columns would exceed it; 0: no limit
  bool threaded = true;        // split chunks on a helper thread
  std::size_t chunkBytes = CsvChunkReader::kDefaultChunk;
  // The storage of each column the schema does not type, decided before the
  // read (a byte range of a file read as every other range is): every cell
  // must then fit it, as a storage the schema gives.
  const std::vector<int>* storages = nullptr;
  // Stop after the chunk that brings the records to this many (0: read
  // all): a reader that needs only the first rows of a text.
  int64_t maxRows = 0;
};

// The memory the columns may take before a load streams: half of the
// physical memory, so they stay well inside what the machine holds next to
// everything else a build needs; 0 when it cannot be told.
uint64_t DefaultMemoryLimit();

// A failure is the file's (its message starts with the path), or a stop
// the interrupt check asked for (kInterrupted).
zelstatus::Status LoadCsv(const LoadRequest& request, TorCommon_1_3::IInterruptCheck& interrupts,
                          ReadProgress& progress, LoadedData* data);
// The same for the file's text, which must outlive the call.
zelstatus::Status LoadCsvText(const LoadRequest& request, std::string_view text,
                              TorCommon_1_3::IInterruptCheck& interrupts, ReadProgress& progress,
                              LoadedData* data);

}  // namespace zelio

#endif  // ZELCRAFT_IO_DATALOADER_H_
