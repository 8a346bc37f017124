// ZelCheckPointHandler: stops the build after screening when nothing is left
// to model: every target excluded (kTargetExcluded) or no usable input
// (kNoUsableInput).
#ifndef ZELCRAFT_TRANSFORMATION_ZELCHECKPOINTHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELCHECKPOINTHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelCheckPointHandler : public ZelOperationHandler {
 public:
  using ZelOperationHandler::ZelOperationHandler;

  // A census of all fields, excluded ones included; the target test comes
  // first.
  TorCommon_1_3::TorStatus Run() override;
  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo*, int) override {
    return TorCommon_1_3::TorStatus();
  }
  bool IsEnabled(const ZelSettings*) override { return true; }
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELCHECKPOINTHANDLER_H_
