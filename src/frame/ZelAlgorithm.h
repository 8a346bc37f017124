// ZelAlgorithm: one preparation build. It owns copies of the settings and the
// field list and the pass driver that runs the build; the warning list
// belongs to the factory that created it.
#ifndef ZELCRAFT_FRAME_ZELALGORITHM_H_
#define ZELCRAFT_FRAME_ZELALGORITHM_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/ZelInterrupt.h"
#include "frame/ZelPassDriver.h"
#include "frame/host/HostInterfaces.h"
#include "settings/ZelSettings.h"

namespace ZelFrame {

class ZelAlgorithm : public TorCommon_1_3::ITorAlgorithm {
 public:
  ZelAlgorithm(const ZelSettings& settings, const TorCommon_1_3::TorVarList& variables,
               std::vector<TorCommon_1_3::TorStatus>* warnings);
  ~ZelAlgorithm() override;

  TorCommon_1_3::TorStatus Execute(TorCommon_1_3::IRecordSource* source) override;
  bool IsBuilt() const override { return built_; }
  TorCommon_1_3::TorStatus Finish() override { return TorCommon_1_3::TorStatus(); }
  TorCommon_1_3::TorStatus WritePMML(std::ostream& out, const PMMLHeaderInfo* header) override;
  TorCommon_1_3::TorStatus GetStatus() const override { return status_; }
  void SetProgressListener(TorCommon_1_3::IProgressListener* listener) override;
  void SetInterruptCheck(TorCommon_1_3::IInterruptCheck* check) override;
  void Stop() override;
  std::string GetDescription() const override;
  std::vector<TorCommon_1_3::TorStatus>* GetWarnings() override { return warnings_; }
  void Display(std::ostream& out) override;

  // The build in lockstep (ZelLockstep.h): Begin, steps on the driver, End.
  // Each keeps the status and never lets an exception out.
  TorCommon_1_3::TorStatus BeginLockstep();
  TorCommon_1_3::TorStatus RunLockstep(const std::function<TorCommon_1_3::TorStatus(ZelPassDriver&)>& step);
  TorCommon_1_3::TorStatus EndLockstep();

  // The build's field list and summary, for the document writer and tests.
  const ZelPassDriver& GetDriver() const { return *driver_; }

 private:
  ZelSettings settings_;
  TorCommon_1_3::TorVarList variables_;
  bool built_ = false;
  ZelInterrupt interrupt_;
  TorCommon_1_3::TorStatus status_;
  std::unique_ptr<ZelPassDriver> driver_;
  std::vector<TorCommon_1_3::TorStatus>* warnings_;  // the factory's; not owned
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELALGORITHM_H_
