// The missing value, settings keys and the progress report destructor.
#include <limits>

#include "torcommon13r/ProgressReport.h"
#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorMV.h"

namespace TorCommon_1_3 {

const double TorMV::gMissingValue = -std::numeric_limits<double>::max();

std::vector<std::string> TorSettings::Keys() const {
  std::vector<std::string> keys;
  keys.reserve(values_.size());
  for (const auto& entry : values_) keys.push_back(entry.first);
  return keys;
}

ProgressReport::~ProgressReport() = default;

}  // namespace TorCommon_1_3
