// ZelMissingValueHandler: replaces every field that has missing values by a
// copy in which a missing value becomes the field's mean (continuous), mode
// (nominal) or median (ordinal), each kind of target and input switched on
// by its own setting. The copy takes over the source's univariate statistic,
// adjusted as if the data had had no missing values, so later steps see it
// without another pass.
#ifndef ZELCRAFT_TRANSFORMATION_ZELMISSINGVALUEHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELMISSINGVALUEHANDLER_H_

#include <string>

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelMissingValueHandler : public ZelOperationHandler {
 public:
  // Runs as (HandleMissingvalue, ReplaceMissing) whatever action it is
  // created with; each field it derives names the action for its kind.
  ZelMissingValueHandler(const ZelOperationPair& pair, ZelVariableHandleList* fields,
                         std::vector<TorCommon_1_3::TorStatus>* warnings);

  TorCommon_1_3::TorStatus Check() override;
  // kMissingObject for a univariate statistic of the wrong class, or none.
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // On when any of the six replacement settings is.
  bool IsEnabled(const ZelSettings* settings) override;

 private:
  // The replacement action for the field's role and kind; 0 when its
  // setting is off or the field has no kind the step handles.
  uint32_t ChooseAction(const ZelVariableHandleInfo& field) const;
  // Adds the copy with the handler's current action; null with `status` set
  // when the field list refuses it or the copy cannot take over the source's
  // statistic.
  ZelVariableHandleInfo* Derive(ZelVariableHandleInfo* field, int index, StepSuffix suffix,
                                TorCommon_1_3::TorStatus* status);

  ZelVariableHandleInfo* derived_ = nullptr;  // the copy of the field at hand
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELMISSINGVALUEHANDLER_H_
