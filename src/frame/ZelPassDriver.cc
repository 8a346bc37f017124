#include "frame/ZelPassDriver.h"

ZelPassDriver::ZelPassDriver(const ZelSettings* settings,
                             const TorCommon_1_3::TorVarList* variables, ZelInterrupt* interrupt)
    : settings_(settings), variables_(variables), interrupt_(interrupt) {}

ZelPassDriver::~ZelPassDriver() = default;

TorCommon_1_3::TorStatus ZelPassDriver::Run(TorCommon_1_3::IRecordSource* source) {
  (void)source;
  return status_;
}
