#include "io/ReferenceClock.h"

#include <string>

namespace zelio {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Durations of one kind: the switch, the key that names the reference
// type, the type that picks `nowKey`, and the key read otherwise.
void Pin(TorCommon_1_3::TorSettings* settings, const char* onKey, const char* typeKey,
         const char* nowType, const char* nowKey, const char* referenceKey, double value) {
  bool on = true;
  settings->GetSettingValByName(onKey, on);
  if (!on) return;
  // The component reads a reference only with the switch given.
  settings->SetBool(onKey, true);
  std::string type;
  settings->GetSettingValByName(typeKey, type);
  const char* key = type == nowType ? nowKey : referenceKey;
  if (!settings->Contains(key)) settings->SetDouble(key, value);
}

}  // namespace

void PinReferenceClock(int64_t now, TorCommon_1_3::TorSettings* settings) {
  // Floor division: a clock before 1970 still falls on its own day.
  int64_t day = now / kSecondsPerDay;
  if (now % kSecondsPerDay < 0) --day;
  const int64_t second = now - day * kSecondsPerDay;
  Pin(settings, "computeDateDuration", "referenceDateType", "todaysDate", "todaysDate",
      "referenceDateForDurations", static_cast<double>(day));
  Pin(settings, "computeTimeDuration", "referenceTimeType", "currentTime", "currentTime",
      "referenceTimeForDurations", static_cast<double>(second));
}

}  // namespace zelio
