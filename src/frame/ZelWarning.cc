#include "frame/ZelWarning.h"

#include <algorithm>

namespace ZelFrame {

ZelWarning::~ZelWarning() = default;

void AddWarning(std::vector<TorCommon_1_3::TorStatus>* warnings, int code) {
  if (warnings == nullptr) return;
  const TorCommon_1_3::TorStatus warning(code, true);
  if (std::find(warnings->begin(), warnings->end(), warning) == warnings->end()) {
    warnings->push_back(warning);
  }
}

}  // namespace ZelFrame
