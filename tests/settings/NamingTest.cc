// Name parts of derived fields: when an absent one warns, and how step
// suffixes are kept apart from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "SettingsTestUtil.h"
#include "frame/ZelStatusCodes.h"

namespace {

using settingstest::Read;
using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorStatus;

const char* const kNameKeys[] = {
    "suffixYear",         "suffixMonth",         "suffixDay",         "suffixHour",
    "suffixMinute",       "suffixSecond",        "suffixElapsedYears", "suffixElapsedMonths",
    "suffixElapsedDays",  "suffixElapsedHours",  "suffixElapsedMinutes",
    "suffixElapsedSeconds", "nameExtForTarget",  "nameExtForInputs",
    "rootNameForConsturctedFeature"};

// Every step that needs a name part switched off.
TorSettings Quiet() {
  TorSettings s;
  for (const char* key : {"trimBlanks", "computeDateDuration", "computeTimeDuration",
                          "checkTargetMeasureLevel", "checkFeatureMeasureLevel",
                          "detectFeatureOutliers", "replaceNominalFeaturesMissingValue",
                          "replaceOrdinalFeaturesMissingValue", "replaceScaleFeaturesMissingValue",
                          "supervisedBinning", "featureSelection", "featureConstruction",
                          "supervisedMerging", "unsupervisedMergeOrdinal",
                          "unsupervisedMergeNominal"}) {
    s.SetBool(key, false);
  }
  s.SetString("scaleFeatureRescalingMethod", "noRescaling");
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
  const Need needs[] = {
      {"extractYearFromDate", "suffixYear", "_year"},
      {"extractSecondFromTime", "suffixSecond", "_second"},
      {"computeDateDuration", "suffixElapsedMonths", "_months"},
      {"computeTimeDuration", "suffixElapsedSeconds", "_seconds"},
      {"checkTargetMeasureLevel", "nameExtForTarget", "_transformed"},
      {"detectTargetOutliers", "nameExtForTarget", "_transformed"},
      {"reorderNominalTargetCategories", "nameExtForTarget", "_transformed"},
      {"replaceOrdinalTargetMissingValue", "nameExtForTarget", "_transformed"},
      {"rescaleScaleTargetUsingBoxCox", "nameExtForTarget", "_transformed"},
      {"trimBlanks", "nameExtForInputs", "_transformed"},
      {"featureSelection", "nameExtForInputs", "_transformed"},
      {"supervisedMerging", "nameExtForInputs", "_transformed"},
      {"unsupervisedMergeNominal", "nameExtForInputs", "_transformed"},
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
  EXPECT_NE(m.settings.GetStepSuffix(StepSuffix::kMergeNominalHasTarget),
            "_MergeNominalHasTarget");

  // A build rejected after the name parts were read is not checked.
  s.SetString("rootNameForConsturctedFeature", "a b");
  EXPECT_EQ(Read(s).settings.GetStepSuffix(StepSuffix::kYear), "_Year");
}

}  // namespace
