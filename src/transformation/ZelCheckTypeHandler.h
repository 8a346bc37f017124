// ZelCheckTypeHandler: recasts numeric fields whose measurement level does
// not fit their values. A continuous field with very few distinct values
// becomes ordinal (TpyeScaleToOrdinal), an ordinal field with many
// categories continuous (TpyeOrdinalToScale). The recast field takes over
// the source's statistics, so it needs no pass of its own.
#ifndef ZELCRAFT_TRANSFORMATION_ZELCHECKTYPEHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELCHECKTYPEHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelCheckTypeHandler : public ZelOperationHandler {
 public:
  using ZelOperationHandler::ZelOperationHandler;

  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // On when either the target or the input check is.
  bool IsEnabled(const ZelSettings* settings) override;

 private:
  // Takes `action` as the handler's own, so the new field's rule and the
  // source's exclusion reason both name the recast.
  TorCommon_1_3::TorStatus Recast(ZelVariableHandleInfo* field, int index, uint32_t action);
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELCHECKTYPEHANDLER_H_
