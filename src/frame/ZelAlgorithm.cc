#include "frame/ZelAlgorithm.h"

#include <new>

#include "frame/ZelReporter.h"
#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorDisplay.h"
#include "pmml/ZelModelPMML.h"

namespace ZelFrame {

using TorCommon_1_3::TorStatus;

namespace {

// Nothing may be thrown across the library boundary: running out of memory
// inside a build or a write is the allocation failure 3, like a failed
// creation; any other exception is the caught failure 210007.
template <typename Work>
TorStatus Guarded(Work work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return TorStatus(ZelStatusCode::kCannotCreate, false);
  } catch (...) {
    return TorStatus(ZelStatusCode::kInconsistent, false);
  }
}

}  // namespace

ZelAlgorithm::ZelAlgorithm(const ZelSettings& settings, const TorCommon_1_3::TorVarList& variables,
                           std::vector<TorStatus>* warnings)
    : settings_(settings),
      variables_(variables),
      driver_(std::make_unique<ZelPassDriver>(&settings_, &variables_, &interrupt_)),
      warnings_(warnings) {}

ZelAlgorithm::~ZelAlgorithm() = default;

TorStatus ZelAlgorithm::Execute(TorCommon_1_3::IRecordSource* source) {
  if (warnings_ != nullptr) warnings_->clear();
  if (source == nullptr) {
    status_ = TorStatus(ZelStatusCode::kNullSource, false);
    return status_;
  }
  TorStatus status = status_;
  if (status.IsOK() && !source->HasMoreRecords()) {
    status = TorStatus(ZelStatusCode::kNoRecords, false);
  }
  if (!status.IsError()) {
    // The driver rebuilds everything, so an earlier build is gone either way.
    built_ = false;
    driver_->SetWarnings(warnings_);
    status = Guarded([&] { return driver_->Run(source); });
    if (!status.IsError()) built_ = true;
  }
  status_ = status;
  return status_;
}

TorStatus ZelAlgorithm::BeginLockstep() {
  if (warnings_ != nullptr) warnings_->clear();
  built_ = false;
  if (status_.IsError()) return status_;
  driver_->SetWarnings(warnings_);
  status_ = Guarded([&] { return driver_->Begin(); });
  return status_;
}

TorStatus ZelAlgorithm::RunLockstep(const std::function<TorStatus(ZelPassDriver&)>& step) {
  if (status_.IsError()) return status_;
  status_ = Guarded([&] { return step(*driver_); });
  return status_;
}

TorStatus ZelAlgorithm::EndLockstep() {
  if (status_.IsError()) return status_;
  status_ = Guarded([&] { return driver_->End(); });
  if (!status_.IsError()) built_ = true;
  return status_;
}

TorStatus ZelAlgorithm::WritePMML(std::ostream& out, const PMMLHeaderInfo* header) {
  ZelReporter reporter;
  if (!IsBuilt()) return TorStatus(ZelStatusCode::kNotBuilt, false);
  const TorStatus result = Guarded([&] {
    TorStatus written;
    ZelPMML::ZelModelPMML model(driver_->GetFields(), driver_->GetSummary(),
                                {"parameter", "parameter2", "parameter3"});
    model.Write(written, out, header);
    return written;
  });
  if (!result.IsError() && settings_.progressListener != nullptr) {
    reporter.SetValues(ZelReporterConst::StageModelWritten);
    settings_.progressListener->Report(reporter);
  }
  return result;
}

void ZelAlgorithm::SetProgressListener(TorCommon_1_3::IProgressListener* listener) {
  if (listener != nullptr) settings_.progressListener = listener;
}

void ZelAlgorithm::SetInterruptCheck(TorCommon_1_3::IInterruptCheck* check) {
  if (check != nullptr) interrupt_.check = check;
}

void ZelAlgorithm::Stop() { interrupt_.stop.store(true); }

std::string ZelAlgorithm::GetDescription() const {
  return "Zelcraft 1.0 (2026): prepares the fields of a data set for modelling";
}

void ZelAlgorithm::Display(std::ostream& out) {
  std::ostream* saved = TorDisplay_1_3::SetOutputStream(&out);
  TorDisplay_1_3::DisplayText("ZelAlgorithm display start");
  settings_.Display();
  TorDisplay_1_3::DisplayText("ZelAlgorithm display end");
  TorDisplay_1_3::SetOutputStream(saved);
}

}  // namespace ZelFrame
