// Key groups read straight into a ZelSettings: members, unit conversions,
// the conditions under which a key is taken at all, and the name parts of
// derived fields (when an absent one warns, how step suffixes are kept apart).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "SettingsTestUtil.h"
#include "frame/ZelStatusCodes.h"
#include "torcommon13r/TorMV.h"
#include "support/TestHost.h"

namespace {

using settingstest::Read;
using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorStatus;

int Ymd(const ZelReferenceDate& d) { return d.year * 10000 + d.month * 100 + d.day; }
int Hms(const ZelReferenceTime& t) { return t.hour * 10000 + t.minute * 100 + t.second; }

TEST(SettingsReader, SwitchedValuesAndPercentages) {
  TorSettings s;
  s.SetBool("trimBlanks", false);
  s.SetInt("maxNOfUniqueCategories", 7);
  s.SetDouble("maxPercentageOfMissingvalue", 30.0);
  s.SetDouble("catFeatureScreenThreshold", 80.0);
  s.SetDouble("unsupervisedMergingMinPercentageOfCases", 5.0);
  Read unswitched(s);
  EXPECT_FALSE(unswitched.settings.trimBlank);
  EXPECT_EQ(unswitched.settings.screeningThresholdForNominal, 100);
  EXPECT_EQ(unswitched.settings.maxPercentMissing, 0.5);
  EXPECT_EQ(unswitched.settings.screeningThreshold, 0.95);
  EXPECT_DOUBLE_EQ(unswitched.settings.unsupervisedMergeMin, 0.05);

  s.SetBool("excludeFeatureIfHasManyUniqueCatogories", true);
  s.SetBool("excludeFeatureIfHasHigherPercentageOfMissingValue", true);
  s.SetBool("excludeAlmostConstantCatFeature", true);
  Read on(s);
  EXPECT_EQ(on.settings.screeningThresholdForNominal, 7);
  EXPECT_DOUBLE_EQ(on.settings.maxPercentMissing, 0.3);
  EXPECT_TRUE(on.settings.screeningCatFeature);
  EXPECT_DOUBLE_EQ(on.settings.screeningThreshold, 0.8);

  s.SetBool("excludeFeatureIfHasManyUniqueCatogories", false);
  Read off(s);
  EXPECT_FALSE(off.settings.screeningNominalFeature);
  EXPECT_EQ(off.settings.screeningThresholdForNominal, 100);
}

TEST(SettingsReader, ReferenceDateAndTime) {
  TorSettings s;
  s.SetDouble("referenceDateForDurations", -672.0);
  s.SetDouble("referenceTimeForDurations", -1.0);
  // Not taken unless durations are switched on explicitly.
  EXPECT_EQ(Read(s).settings.referenceDate.year, 0);

  s.SetBool("computeDateDuration", true);
  s.SetBool("computeTimeDuration", true);
  Read r(s);
  EXPECT_EQ(Ymd(r.settings.referenceDate), 19680229);
  EXPECT_EQ(r.settings.referenceDate.seconds, -672.0 * 86400.0);
  EXPECT_EQ(Hms(r.settings.referenceTime), 235959);
  EXPECT_EQ(r.settings.referenceTime.seconds, -1.0);

  // The type keys switch to the other value keys; absent, the clock stays.
  s.SetString("referenceDateType", "todaysDate");
  s.SetString("referenceTimeType", "currentTime");
  s.SetDouble("currentTime", 90061.7);
  Read today(s);
  EXPECT_EQ(today.settings.referenceDate.year, 0);
  EXPECT_EQ(std::fmod(today.settings.referenceDate.seconds, 86400.0), 0.0);
  EXPECT_GT(today.settings.referenceDate.seconds, 19000.0 * 86400.0);
  EXPECT_EQ(Hms(today.settings.referenceTime), 10101);
  EXPECT_EQ(today.settings.referenceTime.seconds, 90061.7);
  s.SetDouble("todaysDate", 157113.0);
  EXPECT_EQ(Ymd(Read(s).settings.referenceDate), 24000229);
  s.SetDouble("todaysDate", TorCommon_1_3::TorMV::gMissingValue);
  EXPECT_EQ(Read(s).settings.referenceDate.year, 0);
}

TEST(SettingsReader, DurationUnits) {
  struct Case {
    const char* mode;
    const char* unit;  // null: key absent
    int date, time;
  } cases[] = {{"automatic", "day", 0, 0}, {"fixed", nullptr, 0, 0}, {"fixed", "year", 1, 1},
               {"fixed", "month", 2, 1},   {"fixed", "day", 3, 1},   {"fixed", "minute", 1, 2},
               {"fixed", "second", 1, 3},  {"fixed", "Day", 1, 1}};
  for (const auto& c : cases) {
    TorSettings s;
    s.SetString("autoChooseDateFieldUnit", c.mode);
    s.SetString("autoChooseTimeFieldUnit", c.mode);
    if (c.unit != nullptr) {
      s.SetString("dateUnit", c.unit);
      s.SetString("timeUnit", c.unit);
    }
    Read r(s);
    EXPECT_EQ(r.settings.dateDurationUnit, c.date) << c.mode << " " << (c.unit ? c.unit : "-");
    EXPECT_EQ(r.settings.timeDurationUnit, c.time) << c.mode << " " << (c.unit ? c.unit : "-");
  }
}

TEST(SettingsReader, ThresholdsOutliersTargetRescaling) {
  TorSettings s;
  s.SetInt("ordinalToScaleCategoriesNumThreshold", 20);
  s.SetString("outliersOperation", "setToMissingVal");
  s.SetDouble("outlierIdentCutoff", 2.5);
  s.SetDouble("targetSD", 0.5);
  s.SetString("scaleFeatureRescalingMethod", "minMax");
  s.SetDouble("minMax_max", 1.0);
  Read r(s);
  EXPECT_EQ(r.settings.recastCatThreshold, 10);  // a pair or nothing
  EXPECT_EQ(r.settings.handleOutlierMethod, 1);
  EXPECT_EQ(r.settings.outlierSDCutoff, 2.5);
  EXPECT_EQ(r.settings.rescaleContTargetSD, 0.5);
  EXPECT_EQ(r.settings.rescalingMethod, 1);
  EXPECT_EQ(r.settings.rescalingMinMaxMax, 100.0);  // a range or nothing

  s.SetInt("scaleToOrdinalValuesNumThreshold", 3);
  s.SetString("outliersOperation", "clip");
  s.SetDouble("minMax_min", -1.0);
  Read pair(s);
  EXPECT_EQ(pair.settings.recastContThreshold, 3);
  EXPECT_EQ(pair.settings.recastCatThreshold, 20);
  EXPECT_EQ(pair.settings.handleOutlierMethod, 0);
  EXPECT_EQ(pair.settings.rescalingMinMaxMin, -1.0);

  s.SetString("scaleFeatureRescalingMethod", "noRescaling");
  EXPECT_FALSE(Read(s).settings.rescaling);
}

const char* const kNameKeys[] = {
    "suffixYear",         "suffixMonth",          "suffixDay",
    "suffixHour",         "suffixMinute",         "suffixSecond",
    "suffixElapsedYears", "suffixElapsedMonths",  "suffixElapsedDays",
    "suffixElapsedHours", "suffixElapsedMinutes", "suffixElapsedSeconds",
    "nameExtForTarget",   "nameExtForInputs",     "rootNameForConsturctedFeature"};

// Every step that needs a name part switched off.
TorSettings Quiet() {
  TorSettings s = testhost::EarlyStepsOnly();
  for (const char* key : {"trimBlanks", "computeDateDuration", "computeTimeDuration",
                          "checkTargetMeasureLevel", "checkFeatureMeasureLevel"}) {
    s.SetBool(key, false);
  }
  return s;
}

TEST(Naming, AbsentPartWarnsOnlyWhenAStepNeedsIt) {
  EXPECT_TRUE(Read(Quiet()).warnings.empty());
  // Each switch alone makes the listed part needed; it takes its default.
  struct Need {
    const char* on;
    const char* key;
    const char* fallback;
  };
  const Need needs[] = {{"extractYearFromDate", "suffixYear", "_year"},
                        {"extractSecondFromTime", "suffixSecond", "_second"},
                        {"computeDateDuration", "suffixElapsedMonths", "_months"},
                        {"computeTimeDuration", "suffixElapsedSeconds", "_seconds"},
                        {"checkTargetMeasureLevel", "nameExtForTarget", "_transformed"},
                        {"rescaleScaleTargetUsingBoxCox", "nameExtForTarget", "_transformed"},
                        {"trimBlanks", "nameExtForInputs", "_transformed"},
                        {"replaceScaleFeaturesMissingValue", "nameExtForInputs", "_transformed"},
                        {"featureConstruction", "rootNameForConsturctedFeature", "feature"}};
  for (const Need& need : needs) {
    TorSettings s = Quiet();
    for (const char* key : kNameKeys) s.SetString(key, "_given");
    s.SetBool(need.on, true);
    s.SetString(need.key, "");  // empty counts as absent
    Read r(s);
    ASSERT_EQ(r.warnings.size(), 1u) << need.on;
    EXPECT_EQ(r.warnings[0], TorStatus(ZelStatusCode::kNamingDefaultUsed, true));
    const auto& parts = r.settings.nameParts;
    EXPECT_EQ(std::count(parts.begin(), parts.end(), "_given"), 14) << need.on;
    EXPECT_EQ(std::count(parts.begin(), parts.end(), need.fallback), 1) << need.on;
  }
}

TEST(Naming, StepSuffixEqualToANamePartGetsRandomDigits) {
  std::srand(7);
  const std::string r1 = std::to_string(std::rand());
  const std::string r2 = std::to_string(std::rand());
  const std::string r3 = std::to_string(std::rand());

  TorSettings s;
  s.SetString("suffixYear", "_Year");
  std::srand(7);
  Read once(s);
  EXPECT_EQ(once.settings.GetStepSuffix(StepSuffix::kYear), "_Year" + r1);
  EXPECT_EQ(once.settings.GetNamePart(NamePart::kYear), "_Year");

  // Digits that recreate another name part: keep drawing until none does.
  TorSettings again;
  again.SetString("nameExtForTarget", "_Year");
  again.SetString("suffixYear", "_Year" + r1);
  again.SetString("suffixMonth", "_Year" + r1 + r2);
  std::srand(7);
  EXPECT_EQ(Read(again).settings.GetStepSuffix(StepSuffix::kYear), "_Year" + r1 + r2 + r3);

  // The nominal merge suffix is exempt; its neighbour is not.
  TorSettings merge;
  merge.SetString("nameExtForInputs", "_MergeNominalNoTarget");
  merge.SetString("nameExtForTarget", "_MergeNominalHasTarget");
  Read m(merge);
  EXPECT_EQ(m.settings.GetStepSuffix(StepSuffix::kMergeNominalNoTarget), "_MergeNominalNoTarget");
  EXPECT_NE(m.settings.GetStepSuffix(StepSuffix::kMergeNominalHasTarget), "_MergeNominalHasTarget");

  // A build rejected after the name parts were read is not checked.
  s.SetString("rootNameForConsturctedFeature", "a b");
  EXPECT_EQ(Read(s).settings.GetStepSuffix(StepSuffix::kYear), "_Year");
}

}  // namespace
