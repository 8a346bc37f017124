// ZelPassDriver: runs a build: builds the field list, runs the steps that
// need no data, then the seven data passes, and finally names the derived
// fields and gathers the processing summary.
#ifndef ZELCRAFT_FRAME_ZELPASSDRIVER_H_
#define ZELCRAFT_FRAME_ZELPASSDRIVER_H_

#include <vector>

#include "frame/ZelInterrupt.h"
#include "frame/host/HostInterfaces.h"
#include "settings/ZelSettings.h"

class ZelPassDriver {
 public:
  ZelPassDriver(const ZelSettings* settings, const TorCommon_1_3::TorVarList* variables,
                ZelInterrupt* interrupt);
  ~ZelPassDriver();

  void SetWarnings(std::vector<TorCommon_1_3::TorStatus>* warnings) { warnings_ = warnings; }
  TorCommon_1_3::TorStatus Run(TorCommon_1_3::IRecordSource* source);

 private:
  const ZelSettings* settings_;
  const TorCommon_1_3::TorVarList* variables_;
  ZelInterrupt* interrupt_;
  TorCommon_1_3::TorStatus status_;
  std::vector<TorCommon_1_3::TorStatus>* warnings_ = nullptr;
};

#endif  // ZELCRAFT_FRAME_ZELPASSDRIVER_H_
