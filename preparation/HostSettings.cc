#include "preparation/HostSettings.h"

namespace zelprep {

void ApplyHostDefaults(TorCommon_1_3::TorSettings* settings) {
  if (!settings->Contains("targetSD")) settings->SetDouble("targetSD", 1.0);
}

std::string HostDefault(const ZelSettingKey& key) {
  if (key.name == "targetSD") return "1";
  if (key.name == "referenceDateForDurations") return "the latest date in the data";
  if (key.name == "referenceTimeForDurations") return "the latest time of day in the data";
  return key.defaultValue;
}

}  // namespace zelprep
