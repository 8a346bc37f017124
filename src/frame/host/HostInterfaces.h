// The interfaces between a host application and an algorithm component:
// ITorFactory and ITorAlgorithm (implemented by the component), and
// IRecordSource, IProgressListener and IInterruptCheck (implemented by the
// host, never owned by the component). Header-only: both sides of the
// boundary compile it, and the framework library below stays free of it.
#ifndef ZELCRAFT_FRAME_HOST_HOSTINTERFACES_H_
#define ZELCRAFT_FRAME_HOST_HOSTINTERFACES_H_

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
