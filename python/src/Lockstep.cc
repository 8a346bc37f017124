#include "Lockstep.h"

#include <pybind11/stl.h>

#include <algorithm>

#include "Outcome.h"
#include "frame/ZelLockstep.h"
#include "frame/ZelStatusCodes.h"
#include "preparation/BlockFeed.h"
#include "preparation/RunMessages.h"

using ZelFrame::ZelFactory;
using ZelFrame::ZelLockstep;

namespace zelpy {

namespace py = pybind11;
using TorCommon_1_3::TorStatus;

Replica::Replica(const zelprep::RunRequest& request, const std::vector<std::string>& names,
                 const std::vector<ColumnData>& columns)
    : host_(py::none()), run_(request) {
  zelio::ColumnStore store;
  if (!zelhost::FillStore(names, columns, host_, &store)) return;
  if (!run_.ReadInputs() || !run_.TakeColumns(std::move(store))) return;
  Start();
}

Replica::Replica(const zelprep::RunRequest& request, const zelprep::CsvSource& csv, bool start)
    : host_(py::none()), run_(request) {
  if (!run_.ReadInputs() || !run_.LoadCsv(csv, host_, zelio::ReadProgress::Silent())) return;
  if (start) Start();
}

void Replica::Join(const std::optional<zelprep::DataMoments>& moments) {
  Alone([&] {
    if (source_ != nullptr || !run_.result().ok()) return;
    if (moments) run_.RepinReferences(*moments);
    Start();
  });
}

void Replica::Start() {
  if (!run_.CheckMemory(1)) return;
  algorithm_.reset(run_.MakeReplica(factory_));
  if (!algorithm_) return;
  source_ = std::make_unique<zelio::ColumnRecordSource>(run_.data().store, run_.fields().columnOf,
                                                        zelio::ReadProgress::Silent());
  const TorStatus begun = ZelLockstep::Begin(*algorithm_);
  if (begun.IsError()) run_.Conclude(*algorithm_, begun, host_.stopped());
}

py::object Replica::Failure() {
  bool usable = false;
  zelprep::RunResult result;
  Alone([&] {
    usable = source_ != nullptr && run_.result().ok();
    if (!usable) result = run_.result();
  });
  if (usable) return py::none();
  if (result.status.kind() == zelstatus::Kind::kComponent) {
    return ErrorOutcome(false, result.component.GetCode(),
                        zelprep::StatusMessage(result.component.GetCode()),
                        result.targetNote.empty() ? result.refusedDetail : result.targetNote);
  }
  if (result.status.inputError()) return ErrorOutcome(true, 0, result.status.message(), "");
  // Stopped while the frame's columns were copied.
  return ErrorOutcome(true, 0, "interrupted", std::string());
}

py::object Replica::Check(const TorStatus& status, const std::string& detail) {
  if (!status.IsError()) return py::none();
  std::string note = detail;
  if (status.GetCode() == ZelStatusCode::kTargetExcluded) {
    note = ZelFactory::ExplainExcludedTarget(*algorithm_);
  }
  return ErrorOutcome(false, status.GetCode(), zelprep::StatusMessage(status.GetCode()), note);
}

py::object Replica::StartPass() {
  py::object failed = Failure();
  if (!failed.is_none()) return failed;
  bool reads = false;
  bool done = false;
  TorStatus status;
  std::string detail;
  Alone([&] {
    status = ZelLockstep::StartPass(*algorithm_, &reads, &done);
    if (status.IsError()) detail = ZelLockstep::Describe(*algorithm_);
  });
  if (status.IsError()) return Check(status, detail);
  return py::make_tuple(reads, done);
}

py::object Replica::ReadRows(int64_t first, int64_t count) {
  py::object failed = Failure();
  if (!failed.is_none()) return failed;
  if (first < 0 || count <= 0 || first > Rows() - count) throw py::value_error("rows out of range");
  std::string merged;
  TorStatus status;
  std::string detail;
  Alone([&] {
    std::string state;
    std::string scratch;
    zelprep::RowRangeSource block(source_.get());
    for (int64_t start = 0; start < count && !status.IsError(); start += zelprep::kBlockRows) {
      block.SetRange(first + start, std::min(zelprep::kBlockRows, count - start));
      status = ZelLockstep::ReadRows(*algorithm_, &block, start == 0 ? &merged : &state);
      if (status.IsError()) {
        detail = ZelLockstep::Describe(*algorithm_);
        break;
      }
      if (start == 0) continue;
      status = ZelLockstep::MergeStates(merged, state, &scratch);
      if (status.IsError()) detail = ZelLockstep::DescribeMerge();
      merged.swap(scratch);
    }
  });
  if (status.IsError()) return Check(status, detail);
  return py::bytes(merged);
}

py::object Replica::Install(const std::string& state) {
  py::object failed = Failure();
  if (!failed.is_none()) return failed;
  TorStatus status;
  std::string detail;
  Alone([&] {
    status = ZelLockstep::InstallState(*algorithm_, state);
    if (status.IsError()) detail = ZelLockstep::Describe(*algorithm_);
  });
  return Check(status, detail);
}

py::object Replica::FinishPass() {
  py::object failed = Failure();
  if (!failed.is_none()) return failed;
  TorStatus status;
  std::string detail;
  Alone([&] {
    status = ZelLockstep::FinishPass(*algorithm_);
    if (status.IsError()) detail = ZelLockstep::Describe(*algorithm_);
  });
  return Check(status, detail);
}

py::dict Replica::End() {
  py::object failed = Failure();
  if (!failed.is_none()) return failed.cast<py::dict>();
  zelprep::RunResult result;
  Alone([&] {
    const TorStatus status = ZelLockstep::End(*algorithm_);
    run_.Conclude(*algorithm_, status, host_.stopped());
    result = run_.result();
  });
  return OutcomeDict(result, host_);
}

py::object MergeStates(const std::string& earlier, const std::string& later) {
  std::string merged;
  TorStatus status;
  {
    py::gil_scoped_release unlocked;
    status = ZelLockstep::MergeStates(earlier, later, &merged);
  }
  if (status.IsError()) {
    return ErrorOutcome(false, status.GetCode(), zelprep::StatusMessage(status.GetCode()),
                        ZelLockstep::DescribeMerge());
  }
  return py::bytes(merged);
}

}  // namespace zelpy
