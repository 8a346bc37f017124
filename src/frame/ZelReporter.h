// ZelReporter: the progress milestone handed to the host's progress listener.
// It answers "BuildStage", "DataPassNumber" and "SpendTime".
#ifndef ZELCRAFT_FRAME_ZELREPORTER_H_
#define ZELCRAFT_FRAME_ZELREPORTER_H_

#include <cstdint>
#include <string>

#include "frame/ZelExport.h"
#include "torcommon13r/ProgressReport.h"

namespace ZelReporterConst {
enum BuildStage : int32_t {
  StageNotStarted = -1,
  StagePrepared = 0,
  StageDataPass = 1,
  StagePassesDone = 2,
  StageModelWritten = 3
};
}  // namespace ZelReporterConst

class ZEL_EXPORT ZelReporter : public TorCommon_1_3::ProgressReport {
 public:
  ZelReporter();
  ~ZelReporter() override;

  // "BuildStage"; "DataPassNumber" while the stage is 1; -1 otherwise.
  int DiscreteMeasure(const std::string& name) const override;
  // "SpendTime" in seconds; the missing value for other names.
  double ScaleMeasure(const std::string& name) const override;

  // Enters `stage`: a data pass stage counts one more pass; the spend time
  // becomes the time since the previous stage change.
  void SetValues(ZelReporterConst::BuildStage stage);

 private:
  ZelReporterConst::BuildStage stage_;
  int32_t dataPassNumber_;
  double spendTime_;
  double clockMark_;  // milliseconds
};

// Processor time in milliseconds, the clock every spend time is read from.
double ZelClockMilliseconds();

#endif  // ZELCRAFT_FRAME_ZELREPORTER_H_
