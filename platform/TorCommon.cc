// The missing value, settings keys and the host interface destructors.
#include <limits>

#include "frame/host/HostInterfaces.h"
#include "frame/host/TorMV.h"

namespace TorCommon_1_3 {

const double TorMV::gMissingValue = -std::numeric_limits<double>::max();

std::vector<std::string> TorSettings::Keys() const {
  std::vector<std::string> keys;
  keys.reserve(values_.size());
  for (const auto& entry : values_) keys.push_back(entry.first);
  return keys;
}

ProgressReport::~ProgressReport() = default;
IRecordSource::~IRecordSource() = default;
IProgressListener::~IProgressListener() = default;
IInterruptCheck::~IInterruptCheck() = default;
ITorAlgorithm::~ITorAlgorithm() = default;
ITorFactory::~ITorFactory() = default;

}  // namespace TorCommon_1_3
