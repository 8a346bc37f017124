// ZelStringFeatureHandler: trailing blanks of text fields. Before the data
// passes (TrimTrailing) every host text field gets a trimmed copy; after the
// first pass (ExcludeTrimTrailFeature) whichever of the two is redundant is
// excluded: the copy when no value lost anything, otherwise the source.
#ifndef ZELCRAFT_TRANSFORMATION_ZELSTRINGFEATUREHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELSTRINGFEATUREHANDLER_H_

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelStringFeatureHandler : public ZelOperationHandler {
 public:
  using ZelOperationHandler::ZelOperationHandler;

  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  // The "trimBlanks" setting.
  bool IsEnabled(const ZelSettings* settings) override;

 private:
  TorCommon_1_3::TorStatus AddTrimmedCopy(const ZelVariableHandleInfo& field, int index);
  TorCommon_1_3::TorStatus KeepSourceOrCopy(ZelVariableHandleInfo* copy);
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELSTRINGFEATUREHANDLER_H_
