// Replica: one replica of a build over a frame's columns, driven step by
// step from Python (zelcraft's partitioned and Dask builds): the component's
// lockstep calls (ZelLockstep.h) on a preparation run's replica. Its rows
// are read in blocks of zelprep::kBlockRows from the first row asked for,
// merged in block order, so that a partition read here or in a store of its
// own gives the same state. Failures come back as the outcome dicts of
// prepare; a state is bytes. Calls from several threads take turns: each
// waits for the one before it to finish, without the interpreter lock.
#ifndef ZELCRAFT_PYTHON_LOCKSTEP_H_
#define ZELCRAFT_PYTHON_LOCKSTEP_H_

#include <pybind11/pybind11.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "PythonHost.h"
#include "host/Build.h"
#include "host/ColumnData.h"
#include "io/ColumnRecordSource.h"
#include "preparation/PreparationRun.h"

namespace zelpy {

using zelhost::ColumnData;

class Replica {
 public:
  // Without the interpreter lock: the columns are copied into the store.
  Replica(const zelprep::RunRequest& request, const std::vector<std::string>& names,
          const std::vector<ColumnData>& columns);
  // Over a CSV text the loader reads (a byte range of a file, CsvRanges.h);
  // without `start`, the data is held and the replica waits for Join.
  Replica(const zelprep::RunRequest& request, const zelprep::CsvSource& csv, bool start = true);
  // Starts a replica made without `start`, as one of a build whose data
  // has the latest moments `moments` (none: its own); nothing once started.
  void Join(const std::optional<zelprep::DataMoments>& moments);
  // None when the replica was set up; else an outcome with the error.
  pybind11::object Failure();
  int64_t Rows() const { return run_.result().records; }
  // The run whose replica this is: its references of durations and the
  // latest moments of its own data, when it was given none.
  const zelprep::PreparationRun& run() const { return run_; }
  // (reads, done) or an outcome with the error.
  pybind11::object StartPass();
  // The state of rows [first, first + count), or an outcome with the error.
  pybind11::object ReadRows(int64_t first, int64_t count);
  pybind11::object Install(const std::string& state);
  pybind11::object FinishPass();
  // The outcome of prepare, with the document.
  pybind11::dict End();

 private:
  // Once the data is held: the replica of the build and its record source.
  void Start();
  pybind11::object Check(const TorCommon_1_3::TorStatus& status, const std::string& detail);
  // Runs `work` with the replica to itself and the interpreter free.
  template <typename Work>
  void Alone(const Work& work) {
    pybind11::gil_scoped_release unlocked;
    const std::lock_guard<std::mutex> turn(mutex_);
    work();
  }

  PythonHost host_;
  zelprep::PreparationRun run_;
  ZelFrame::ZelFactory factory_;
  std::unique_ptr<TorCommon_1_3::ITorAlgorithm> algorithm_;
  std::unique_ptr<zelio::ColumnRecordSource> source_;
  std::mutex mutex_;
};

// `later` merged into `earlier`, or an outcome with the error.
pybind11::object MergeStates(const std::string& earlier, const std::string& later);

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_LOCKSTEP_H_
