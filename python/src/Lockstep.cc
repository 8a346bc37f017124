#include "Lockstep.h"

#include <pybind11/stl.h>

#include <algorithm>

#include "frame/ZelLockstep.h"
#include "frame/ZelStatusCodes.h"
#include "io/BlockFeed.h"
#include "io/ColumnRecordSource.h"

namespace zelpy {

namespace py = pybind11;
using TorCommon_1_3::TorStatus;

namespace {

py::dict ErrorOutcome(BuildOutcome::Kind kind, int code, const std::string& message,
                      const std::string& note) {
  py::dict out;
  out["warnings"] = py::list();
  out["error"] = kind == BuildOutcome::Kind::kInputError ? "input" : "component";
  out["code"] = code;
  out["message"] = message;
  out["note"] = note;
  return out;
}

std::string Describe(const TorStatus& status) {
  const char* message = ZelFactory::DescribeStatusCode(status.GetCode());
  return message ? message : "unknown status";
}

}  // namespace

Replica::Replica(const BuildRequest& request, const std::vector<std::string>& names,
                 const std::vector<ColumnData>& columns)
    : host_(py::none()) {
  std::string error;
  int64_t dropped = 0;
  if (!FillStore(names, columns, host_, &store_) ||
      !SetUpFromStore(request, store_, &inputs_, &plans_, &dropped, &error)) {
    failed_ = true;
    failure_.kind = BuildOutcome::Kind::kInputError;
    failure_.message = error.empty() ? "interrupted" : error;
    return;
  }
  NoteDropped(&inputs_, dropped);
  zelio::BuildHostFields(plans_, store_, inputs_.roles, &fields_);
  algorithm_.reset(factory_.CreateTorAlgorithm(inputs_.settings, fields_.variables));
  if (!algorithm_) {
    failed_ = true;
    failure_ = Refused(inputs_, factory_);
    return;
  }
  source_ = std::make_unique<zelio::ColumnRecordSource>(store_, fields_.columnOf,
                                                        zelio::ReadProgress::Silent());
  const TorStatus begun = ZelLockstep::Begin(*algorithm_);
  if (begun.IsError()) {
    failed_ = true;
    failure_ = Conclude(inputs_, *algorithm_, begun, host_);
  }
}

py::object Replica::Failure() const {
  if (!failed_) return py::none();
  return ErrorOutcome(failure_.kind, failure_.code, failure_.message, failure_.note);
}

py::object Replica::Check(const TorStatus& status) {
  if (!status.IsError()) return py::none();
  std::string note = ZelLockstep::Describe(*algorithm_);
  if (status.GetCode() == ZelStatusCode::kTargetExcluded) {
    note = ZelFactory::ExplainExcludedTarget(*algorithm_);
  }
  return ErrorOutcome(BuildOutcome::Kind::kComponentError, status.GetCode(), Describe(status),
                      note);
}

py::object Replica::StartPass() {
  if (failed_) return Failure();
  bool reads = false;
  bool done = false;
  TorStatus status;
  {
    py::gil_scoped_release unlocked;
    status = ZelLockstep::StartPass(*algorithm_, &reads, &done);
  }
  if (status.IsError()) return Check(status);
  return py::make_tuple(reads, done);
}

py::object Replica::ReadRows(int64_t first, int64_t count) {
  if (failed_) return Failure();
  if (first < 0 || count <= 0 || first + count > Rows()) throw py::value_error("rows out of range");
  std::string merged;
  std::string state;
  std::string scratch;
  TorStatus status;
  std::string detail;
  {
    py::gil_scoped_release unlocked;
    zelio::RowRangeSource block(source_.get());
    for (int64_t start = 0; start < count && !status.IsError(); start += zelio::kBlockRows) {
      block.SetRange(first + start, std::min(zelio::kBlockRows, count - start));
      status = ZelLockstep::ReadRows(*algorithm_, &block, start == 0 ? &merged : &state);
      if (status.IsError() || start == 0) continue;
      status = ZelLockstep::MergeStates(merged, state, &scratch);
      if (status.IsError()) detail = ZelLockstep::DescribeMerge();
      merged.swap(scratch);
    }
  }
  if (status.IsError()) {
    py::object outcome = Check(status);
    if (!detail.empty()) outcome["note"] = detail;
    return outcome;
  }
  return py::bytes(merged);
}

py::object Replica::Install(const std::string& state) {
  if (failed_) return Failure();
  TorStatus status;
  {
    py::gil_scoped_release unlocked;
    status = ZelLockstep::InstallState(*algorithm_, state);
  }
  return Check(status);
}

py::object Replica::FinishPass() {
  if (failed_) return Failure();
  TorStatus status;
  {
    py::gil_scoped_release unlocked;
    status = ZelLockstep::FinishPass(*algorithm_);
  }
  return Check(status);
}

py::dict Replica::End() {
  if (failed_) return Failure().cast<py::dict>();
  BuildOutcome outcome;
  {
    py::gil_scoped_release unlocked;
    const TorStatus status = ZelLockstep::End(*algorithm_);
    outcome = Conclude(inputs_, *algorithm_, status, host_);
  }
  outcome.records = Rows();
  outcome.fieldsRead = store_.names.size();
  outcome.fieldsHanded = fields_.columnOf.size();
  return OutcomeDict(outcome, host_);
}

py::object MergeStates(const std::string& earlier, const std::string& later) {
  std::string merged;
  TorStatus status;
  {
    py::gil_scoped_release unlocked;
    status = ZelLockstep::MergeStates(earlier, later, &merged);
  }
  if (status.IsError()) {
    return ErrorOutcome(BuildOutcome::Kind::kComponentError, status.GetCode(), Describe(status),
                        ZelLockstep::DescribeMerge());
  }
  return py::bytes(merged);
}

}  // namespace zelpy
