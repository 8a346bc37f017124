#include "io/ReferenceClock.h"

#include <string>

namespace zelio {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Durations of one kind: the switch, the key that names the reference
// type, the type that asks for the clock, and the key it is read from.
void Pin(TorCommon_1_3::TorSettings* settings, const char* onKey, const char* typeKey,
         const char* nowType, const char* nowKey, double value) {
  bool on = true;
  settings->GetSettingValByName(onKey, on);
  std::string type;
  settings->GetSettingValByName(typeKey, type);
  if (!on || type != nowType) return;
  // The component reads a reference only with the switch given.
  settings->SetBool(onKey, true);
  if (!settings->Contains(nowKey)) settings->SetDouble(nowKey, value);
}

}  // namespace

void PinReferenceClock(int64_t now, TorCommon_1_3::TorSettings* settings) {
  // Floor division: a clock before 1970 still falls on its own day.
  int64_t day = now / kSecondsPerDay;
  if (now % kSecondsPerDay < 0) --day;
  const int64_t second = now - day * kSecondsPerDay;
  Pin(settings, "computeDateDuration", "referenceDateType", "todaysDate", "todaysDate",
      static_cast<double>(day));
  Pin(settings, "computeTimeDuration", "referenceTimeType", "currentTime", "currentTime",
      static_cast<double>(second));
}

}  // namespace zelio
