// Today's date and the current time, when the settings ask for them as the
// reference of durations, are pinned once for the replicas of a build: the
// day and the time of day the host's clock falls on. A reference left to
// the host (the data's latest moments), values given and durations turned
// off stay as the settings have them.
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

TorSettings AskingForTheClock() {
  TorSettings settings;
  settings.SetString("referenceDateType", "todaysDate");
  settings.SetString("referenceTimeType", "currentTime");
  return settings;
}

TEST(ReferenceClock, PinsTheDayAndTheTimeOfDayTheClockFallsOn) {
  // 1,700,000,000 s is 2023-11-14 22:13:20 UTC: day 19,675, second 80,000.
  TorSettings today = AskingForTheClock();
  PinReferenceClock(1700000000, &today);
  EXPECT_EQ(Number(today, "todaysDate"), 19675.0);
  EXPECT_EQ(Number(today, "currentTime"), 80000.0);
  bool on = false;
  EXPECT_TRUE(today.GetSettingValByName("computeDateDuration", on) && on);
  EXPECT_TRUE(today.GetSettingValByName("computeTimeDuration", on) && on);
  EXPECT_FALSE(today.Contains("referenceDateForDurations"));
  EXPECT_FALSE(today.Contains("referenceTimeForDurations"));

  // A second before 1970 is the last second of day -1.
  TorSettings early = AskingForTheClock();
  PinReferenceClock(-1, &early);
  EXPECT_EQ(Number(early, "todaysDate"), -1.0);
  EXPECT_EQ(Number(early, "currentTime"), 86399.0);
}

TEST(ReferenceClock, KeepsWhatTheSettingsSay) {
  // A reference left to the host is the data's, not the clock's.
  TorSettings plain;
  PinReferenceClock(86400 * 3 + 60, &plain);
  EXPECT_FALSE(plain.Contains("referenceDateForDurations"));
  EXPECT_FALSE(plain.Contains("todaysDate"));
  EXPECT_FALSE(plain.Contains("currentTime"));

  TorSettings given = AskingForTheClock();
  given.SetDouble("todaysDate", 100.0);
  given.SetBool("computeTimeDuration", false);
  PinReferenceClock(86400 * 3 + 60, &given);
  EXPECT_EQ(Number(given, "todaysDate"), 100.0);
  EXPECT_FALSE(given.Contains("currentTime"));
}

}  // namespace
}  // namespace zelio
