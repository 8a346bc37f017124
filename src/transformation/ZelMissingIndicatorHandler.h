// ZelMissingIndicatorHandler: after the first pass, before screening, gives
// every input whose weighted share of missing values reaches the setting a
// nominal indicator NAME_missing (1 missing, 0 present). It reads the input
// as it came, so the indicator tells what was missing before any step
// replaced it. With keepMostlyMissing, screening keeps an input past its
// missing-value limit because the indicator carries what the input lacks.
#ifndef ZELCRAFT_TRANSFORMATION_ZELMISSINGINDICATORHANDLER_H_
#define ZELCRAFT_TRANSFORMATION_ZELMISSINGINDICATORHANDLER_H_

#include <cstdint>

#include "transformation/ZelOperationHandler.h"

namespace ZelTransformation {

class ZelMissingIndicatorHandler : public ZelOperationHandler {
 public:
  using ZelOperationHandler::ZelOperationHandler;

  TorCommon_1_3::TorStatus Check() override;
  TorCommon_1_3::TorStatus ProcessField(ZelVariableHandleInfo* field, int index) override;
  bool IsEnabled(const ZelSettings* settings) override;

  // Whether an input with these frequency-weighted counts earns an
  // indicator: some values missing and some present, and the missing share
  // at least the setting, or past the screen's limit when such inputs are
  // kept. Targets and derived fields never do. Screening asks the same.
  static bool EarnsIndicator(const ZelSettings& settings, const ZelVariableHandleInfo& field,
                             int64_t missing, int64_t valid);
  // The missing and valid counts of the field's univariate statistic; false
  // when it has none of the three kinds or has not been filled yet.
  static bool Counts(const ZelVariableHandleInfo& field, int64_t* missing, int64_t* valid);
};

}  // namespace ZelTransformation

#endif  // ZELCRAFT_TRANSFORMATION_ZELMISSINGINDICATORHANDLER_H_
