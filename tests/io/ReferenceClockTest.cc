// The reference date and time of durations, pinned once for the replicas
// of a build, are the day and the time of day the host's clock falls on,
// in the key the settings read; references given and durations turned off
// stay as the settings have them.
#include <gtest/gtest.h>

#include "io/ReferenceClock.h"

namespace zelio {
namespace {

using TorCommon_1_3::TorSettings;

double Number(const TorSettings& settings, const char* key) {
  double value = -1e9;
  EXPECT_TRUE(settings.GetSettingValByName(key, value)) << key;
  return value;
}

TEST(ReferenceClock, PinsTheDayAndTheTimeOfDayTheClockFallsOn) {
  // 1,700,000,000 s is 2023-11-14 22:13:20 UTC: day 19,675, second 80,000.
  TorSettings plain;
  PinReferenceClock(1700000000, &plain);
  EXPECT_EQ(Number(plain, "referenceDateForDurations"), 19675.0);
  EXPECT_EQ(Number(plain, "referenceTimeForDurations"), 80000.0);
  bool on = false;
  EXPECT_TRUE(plain.GetSettingValByName("computeDateDuration", on) && on);
  EXPECT_TRUE(plain.GetSettingValByName("computeTimeDuration", on) && on);
  EXPECT_FALSE(plain.Contains("todaysDate"));
  EXPECT_FALSE(plain.Contains("currentTime"));

  // A second before 1970 is the last second of day -1.
  TorSettings early;
  PinReferenceClock(-1, &early);
  EXPECT_EQ(Number(early, "referenceDateForDurations"), -1.0);
  EXPECT_EQ(Number(early, "referenceTimeForDurations"), 86399.0);
}

TEST(ReferenceClock, KeepsWhatTheSettingsSay) {
  TorSettings today;
  today.SetString("referenceDateType", "todaysDate");
  today.SetString("referenceTimeType", "currentTime");
  PinReferenceClock(86400 * 3 + 60, &today);
  EXPECT_EQ(Number(today, "todaysDate"), 3.0);
  EXPECT_EQ(Number(today, "currentTime"), 60.0);
  EXPECT_FALSE(today.Contains("referenceDateForDurations"));

  TorSettings given;
  given.SetDouble("referenceDateForDurations", 100.0);
  given.SetBool("computeTimeDuration", false);
  PinReferenceClock(86400 * 3 + 60, &given);
  EXPECT_EQ(Number(given, "referenceDateForDurations"), 100.0);
  EXPECT_FALSE(given.Contains("referenceTimeForDurations"));
  EXPECT_FALSE(given.Contains("currentTime"));
}

}  // namespace
}  // namespace zelio
