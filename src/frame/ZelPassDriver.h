// ZelPassDriver: runs a build: builds the field list, runs the steps that
// need no data, then the seven data passes, and finally names the derived
// fields and gathers the processing summary.
#ifndef ZELCRAFT_FRAME_ZELPASSDRIVER_H_
#define ZELCRAFT_FRAME_ZELPASSDRIVER_H_

#include <memory>
#include <string>
#include <vector>

#include "frame/ZelDataPass.h"
#include "frame/ZelInterrupt.h"
#include "frame/ZelIsHandle.h"
#include "frame/ZelOperationPreparation.h"
#include "frame/ZelPassState.h"
#include "frame/host/HostInterfaces.h"
#include "pmml/ZelSummaryTable.h"
#include "settings/ZelSettings.h"
#include "settings/ZelVariableHandleList.h"

namespace ZelFrame {

class ZelPassDriver {
 public:
  ZelPassDriver(const ZelSettings* settings, const TorCommon_1_3::TorVarList* variables,
                ZelInterrupt* interrupt);
  ~ZelPassDriver();
  ZelPassDriver(const ZelPassDriver&) = delete;
  ZelPassDriver& operator=(const ZelPassDriver&) = delete;

  void SetWarnings(std::vector<TorCommon_1_3::TorStatus>* warnings) { warnings_ = warnings; }
  // Success, the last warning raised, or the first error.
  TorCommon_1_3::TorStatus Run(TorCommon_1_3::IRecordSource* source);

  // The build in lockstep (ZelLockstep.h has the call order): Begin;
  // then per pass StartPass, which moves to the next pass that runs and
  // says whether it reads data; when it does, ReadRows once per run of rows
  // (each from empty sums) and InstallState with the merged states; then
  // FinishPass; once StartPass finds no pass left, End.
  TorCommon_1_3::TorStatus Begin();
  TorCommon_1_3::TorStatus StartPass(bool* reads, bool* done);
  TorCommon_1_3::TorStatus ReadRows(TorCommon_1_3::IRecordSource* source, std::string* state);
  TorCommon_1_3::TorStatus InstallState(const std::string& state);
  TorCommon_1_3::TorStatus FinishPass();
  TorCommon_1_3::TorStatus End();
  int GetCurrentPass() const { return static_cast<int>(pass_); }
  // Why the last state was refused.
  const std::string& GetStateDetail() const { return stateDetail_; }

  const ZelVariableHandleList& GetFields() const { return *fields_; }
  const ZelSummary::SummaryTable& GetSummary() const { return *summary_; }
  // Seconds between the start of the run and the end of the passes.
  double GetProcessingSeconds() const { return (latestClock_ - previousClock_) / 1000.0; }

 private:
  void Reset();
  TorCommon_1_3::TorStatus Prepare();
  void DefinePasses();
  void Report(ZelReporter& reporter, ZelReporterConst::BuildStage stage);
  void UpdateClock();
  TorCommon_1_3::TorStatus Conclude();
  // The statistics the current pass fills, in the order of their states.
  std::vector<ZelPassStatistic> PassStatistics() const;
  // The pass, the settings and the field list, as states carry them.
  ZelPassIdentity Identity() const;
  TorCommon_1_3::TorStatus OutOfOrder();

  const ZelSettings* settings_;
  const TorCommon_1_3::TorVarList* variables_;
  ZelInterrupt* interrupt_;
  TorCommon_1_3::TorStatus status_;
  // Rebuilt by every run, so a second run starts from the host fields again.
  std::unique_ptr<ZelVariableHandleList> fields_;
  std::vector<std::unique_ptr<ZelDataPass>> passes_;
  std::vector<std::unique_ptr<ZelOperation::IZelOperationPreparation>> preparations_;
  std::vector<std::unique_ptr<ZelOperation::IZelIsHandle>> gates_;
  std::unique_ptr<ZelSummary::SummaryTable> summary_;
  double previousClock_;
  double latestClock_;
  std::vector<TorCommon_1_3::TorStatus>* warnings_ = nullptr;

  // Lockstep: where the build stands.
  enum class Phase { kIdle, kBetween, kReading, kRead, kEnded };
  Phase phase_ = Phase::kIdle;
  std::size_t pass_ = 0;
  std::string emptyState_;   // of the current pass, to start each run of rows from
  bool fed_ = false;         // rows went into the statistics since they were empty
  std::string stateDetail_;
  ZelReporter reporter_;
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELPASSDRIVER_H_
