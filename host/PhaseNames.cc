#include "host/PhaseNames.h"

#include "frame/ZelReporter.h"

namespace zelhost {

namespace {

constexpr int kPasses = 7;

}  // namespace

std::string PhaseNames::ForStage(TorCommon_1_3::ProgressReport& report) {
  const int stage = report.DiscreteMeasure("BuildStage");
  if (stage == ZelReporterConst::StagePrepared) {
    passesEnded_ = 0;
    return PassName();
  }
  if (stage == ZelReporterConst::StagePassesDone) return "writing";
  return std::string();
}

std::string PhaseNames::AfterPass() {
  ++passesEnded_;
  return PassName();
}

std::string PhaseNames::PassName() const {
  if (passesEnded_ >= kPasses) return "finishing";
  return "pass " + std::to_string(passesEnded_ + 1) + "/" + std::to_string(kPasses);
}

}  // namespace zelhost
