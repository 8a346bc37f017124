#include "preparation/TargetTyping.h"

#include "torcommon13r/TorVariable.h"

namespace zelprep {

std::string TypeTargetForBoxCox(const TorCommon_1_3::TorSettings& settings,
                                zelio::LoadedData* data) {
  bool boxCox = false;
  settings.GetSettingValByName("rescaleScaleTargetUsingBoxCox", boxCox);
  if (!boxCox) return std::string();
  for (std::size_t c = 0; c < data->plans.size(); ++c) {
    zelio::FieldPlan& plan = data->plans[c];
    if (plan.role != zelio::Role::kTarget || plan.level != zelio::Level::kContinuous ||
        plan.storage != TorCommon_1_3::kStorageInteger || !plan.codes.empty()) {
      continue;
    }
    plan.storage = TorCommon_1_3::kStorageReal;
    zelio::Column& column = data->store.columns[c];
    column.IntegersToReals();
    column.PrepareReading();
    return "the target '" + plan.name +
           "' holds whole numbers and is transformed by Box-Cox: it is handed over as real "
           "numbers, which keep the transformed values' fractions";
  }
  return std::string();
}

}  // namespace zelprep
