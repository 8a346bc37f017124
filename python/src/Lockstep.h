// Replica: one replica of a build over a frame's columns, driven step by
// step from Python (zelcraft's partitioned and Dask builds): the component's
// lockstep calls (ZelLockstep.h) with the command's settings, schema and
// roles. Its rows are read in blocks of zelio::kBlockRows from the first row
// asked for, merged in block order, so that a partition read here or in a
// store of its own gives the same state. Failures come back as the outcome
// dicts of prepare; a state is bytes.
#ifndef ZELCRAFT_PYTHON_LOCKSTEP_H_
#define ZELCRAFT_PYTHON_LOCKSTEP_H_

#include <pybind11/pybind11.h>

#include <memory>
#include <string>
#include <vector>

#include "Build.h"
#include "ColumnData.h"
#include "PythonHost.h"
#include "io/ColumnRecordSource.h"
#include "io/ColumnStore.h"
#include "io/HostFields.h"

namespace zelpy {

class Replica {
 public:
  Replica(const BuildRequest& request, const std::vector<std::string>& names,
          const std::vector<ColumnData>& columns);
  // None when the replica was set up; else an outcome with the error.
  pybind11::object Failure() const;
  int64_t Rows() const { return static_cast<int64_t>(store_.rows()); }
  // (reads, done) or an outcome with the error.
  pybind11::object StartPass();
  // The state of rows [first, first + count), or an outcome with the error.
  pybind11::object ReadRows(int64_t first, int64_t count);
  pybind11::object Install(const std::string& state);
  pybind11::object FinishPass();
  // The outcome of prepare, with the document.
  pybind11::dict End();

 private:
  pybind11::object Check(const TorCommon_1_3::TorStatus& status);

  PythonHost host_;
  zelio::ColumnStore store_;
  Inputs inputs_;
  std::vector<zelio::FieldPlan> plans_;
  zelio::HostFields fields_;
  ZelFactory factory_;
  std::unique_ptr<TorCommon_1_3::ITorAlgorithm> algorithm_;
  std::unique_ptr<zelio::ColumnRecordSource> source_;
  BuildOutcome failure_;
  bool failed_ = false;
};

// `later` merged into `earlier`, or an outcome with the error.
pybind11::object MergeStates(const std::string& earlier, const std::string& later);

// The outcome dict of prepare for a build's outcome (Module.cc).
pybind11::dict OutcomeDict(const BuildOutcome& outcome, PythonHost& host);

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_LOCKSTEP_H_
