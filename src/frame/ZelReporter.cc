#include "frame/ZelReporter.h"

#include <ctime>

#include "torcommon13r/TorMV.h"

double ZelClockMilliseconds() {
  return static_cast<double>(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

ZelReporter::ZelReporter()
    : stage_(ZelReporterConst::StageNotStarted),
      dataPassNumber_(0),
      spendTime_(0.0),
      clockMark_(ZelClockMilliseconds()) {}

ZelReporter::~ZelReporter() = default;

int ZelReporter::DiscreteMeasure(const std::string& name) const {
  if (name == "BuildStage") return stage_;
  if (name == "DataPassNumber" && stage_ == ZelReporterConst::StageDataPass) {
    return dataPassNumber_;
  }
  return -1;
}

double ZelReporter::ScaleMeasure(const std::string& name) const {
  if (name == "SpendTime") return spendTime_;
  return TorCommon_1_3::TorMV::gMissingValue;
}

void ZelReporter::SetValues(ZelReporterConst::BuildStage stage) {
  stage_ = stage;
  if (stage == ZelReporterConst::StageDataPass) ++dataPassNumber_;
  const double now = ZelClockMilliseconds();
  spendTime_ = (now - clockMark_) / 1000.0;
  clockMark_ = now;
}
