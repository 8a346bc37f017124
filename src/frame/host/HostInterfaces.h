// The interfaces between a host application and an algorithm component:
// ITorFactory and ITorAlgorithm (implemented by the component), and
// IRecordSource, IColumnBatchSource, IProgressListener and IInterruptCheck
// (implemented by the host, never owned by the component). Header-only: both
// sides of the boundary compile it, and the framework library below stays
// free of it.
#ifndef ZELCRAFT_FRAME_HOST_HOSTINTERFACES_H_
#define ZELCRAFT_FRAME_HOST_HOSTINTERFACES_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "torcommon13r/ProgressReport.h"
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorVarList.h"

struct PMMLHeaderInfo;

namespace TorCommon_1_3 {

// One host field's values over a run of rows, as spans of the host's own
// memory. Every value of the run has `storage`; `missing` marks the rows
// without a value (null when the run has none), whose entries in the value
// span may hold anything (a text pointer there is never followed). Integer
// values are in `integers`, real, date, time and timestamp values in
// `reals`, texts in `texts`, which point at texts that outlive the run (a
// host's dictionary, say). The span of the storage is the one read.
struct HostColumn {
  int storage = kStorageUndefined;
  const uint8_t* missing = nullptr;
  const int64_t* integers = nullptr;
  const double* reals = nullptr;
  const std::string* const* texts = nullptr;
};

// Rows read a run at a time, field by field: the faster way into a data
// pass for a host that keeps its data in columns. Rows are numbered from 0
// and can be read in any order, so a pass may cover any range of them.
class IColumnBatchSource {
 public:
  virtual ~IColumnBatchSource() = default;
  virtual int64_t GetRowCount() const = 0;
  // Fills columns[i] with host field fields[i] over rows [first, first +
  // count); the spans stay valid until the next call. False when the rows
  // lie outside the source or a field index is unknown.
  virtual bool ReadColumns(int64_t first, int64_t count, const int* fields, std::size_t fieldCount,
                           HostColumn* columns) = 0;
  // The component read the rows up to `end` in the current pass: for a
  // progress display; called after every run of rows.
  virtual void RowsRead(int64_t end) { (void)end; }
};

class IRecordSource {
 public:
  virtual ~IRecordSource() = default;
  // True while another record can be fetched; does not consume it.
  virtual bool HasMoreRecords() = 0;
  // Informational; the component does not call these two.
  virtual int64_t GetRecordCount() const { return -1; }
  virtual TorStatus Close() { return TorStatus(); }
  // Back to the first record.
  virtual void Rewind() = 0;
  // The next record, or null. The pointer stays valid until the next call.
  virtual const RawRecord* NextRecord() = 0;
  // The same rows as columns, when the host can hand them out that way
  // (null: record by record only). A pass that reads them leaves the
  // record position alone, and Rewind still ends the pass.
  virtual IColumnBatchSource* GetColumnBatchSource() { return nullptr; }
};

class IProgressListener {
 public:
  virtual ~IProgressListener() = default;
  virtual void Report(ProgressReport& report) = 0;
};

class IInterruptCheck {
 public:
  virtual ~IInterruptCheck() = default;
  virtual bool IsInterrupted() = 0;
};

class ITorAlgorithm {
 public:
  virtual ~ITorAlgorithm() = default;
  virtual TorStatus Execute(IRecordSource* source) = 0;
  virtual bool IsBuilt() const = 0;
  virtual TorStatus Finish() = 0;
  virtual TorStatus WritePMML(std::ostream& out, const PMMLHeaderInfo* header) = 0;
  virtual TorStatus GetStatus() const = 0;
  virtual void SetProgressListener(IProgressListener* listener) = 0;
  virtual void SetInterruptCheck(IInterruptCheck* check) = 0;
  // May be called from another thread while Execute runs.
  virtual void Stop() = 0;
  virtual std::string GetDescription() const = 0;
  virtual std::vector<TorStatus>* GetWarnings() = 0;
  virtual void Display(std::ostream& out) = 0;
};

class ITorFactory {
 public:
  virtual ~ITorFactory() = default;
  virtual ITorAlgorithm* CreateTorAlgorithm(TorSettings& settings, TorVarList& variables) = 0;
  virtual TorStatus GetStatus() const = 0;
};

}  // namespace TorCommon_1_3

#endif  // ZELCRAFT_FRAME_HOST_HOSTINTERFACES_H_
