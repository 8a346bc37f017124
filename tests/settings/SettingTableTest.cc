// The table of settings keys against what the hosts see: every row is owned
// by its key, read (its member changes the display), displayed under a
// label of its own, checked as its row says (a value out of range is the
// row's error, a value of another type is ignored) and told by its choices.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <sstream>
#include <string>

#include "frame/ZelStatusCodes.h"
#include "settings/SettingRowValues.h"
#include "settings/SettingsTestUtil.h"
#include "settings/ZelSettingKeys.h"

namespace {

using namespace TorCommon_1_3;

double Number(const ZelSettings& settings, const ZelSettingRow& row) {
  return settings.*std::get<double ZelSettings::*>(row.member);
}

TEST(SettingTable, KeysAndLabelsAreOwnedByOneRowAndConditionsNameRows) {
  std::set<std::string> keys;
  std::set<std::string> labels;
  for (const ZelSettingRow& row : ZelSettingRows()) {
    SCOPED_TRACE(row.key);
    EXPECT_FALSE(std::string(row.help).empty());
    EXPECT_TRUE(keys.insert(row.key).second) << "a key of two rows";
    if (row.label != nullptr) {
      EXPECT_TRUE(labels.insert(row.label).second) << "a label of two rows";
    }
    EXPECT_EQ(FindSettingRow(row.key), &row);
    // A condition names a switch or a text key of the table.
    const ZelSettingCondition& when = row.readWhen;
    if (when.key != nullptr) {
      const ZelSettingRow* condition = FindSettingRow(when.key);
      ASSERT_NE(condition, nullptr) << when.key;
      EXPECT_EQ(condition->type,
                when.text == nullptr ? ZelSettingType::kBool : ZelSettingType::kString);
    }
  }
  // Keys match whole and by case; the field list, not a key, names the
  // frequency weight.
  EXPECT_EQ(FindSettingRow("trimblanks"), nullptr);
  EXPECT_EQ(FindSettingRow("frequencyWeight"), nullptr);
}

TEST(SettingTable, EveryRowIsReadAndShownInTheDisplay) {
  const TorVarList fields = settingstest::FieldsWithWeightDateAndTime();
  const std::string base =
      settingstest::DisplayText(settingstest::Read(settingstest::EverySwitchGiven(), fields).settings);
  std::set<std::string> seen = {base};
  for (const ZelSettingRow& row : ZelSettingRows()) {
    SCOPED_TRACE(row.key);
    TorSettings settings = settingstest::EverySwitchGiven();
    settingstest::GiveAnotherValue(row, &settings);
    const settingstest::Read read(settings, fields);
    ASSERT_FALSE(read.status.IsError()) << read.status.GetCode();
    EXPECT_TRUE(seen.insert(settingstest::DisplayText(read.settings)).second);
  }
  // Labels in the members' order, the rows' among the members no key sets.
  const std::string text = settingstest::DisplayText(ZelSettings());
  const char* order[] = {"AnalysisWeightFeatureIndex", "FrequencyWeightFeatureIndex",
                         "TrimBlank", "ReferenceDateYear", "ReferenceDateSeconds",
                         "DateDurationUnit", "ExtractYear", "ReplaceMissingTarget",
                         "BoxCoxExponentStep", "Rescaling", "RescalingMethod",
                         "UnsupervisedMergeMin", "SuffixTrimString", "SuffixMissing",
                         "NameSuffixYear", "NameSuffixElapsedYears", "NameSuffixHour",
                         "RootNameForConstructedFeature", "ProgressListenerSet"};
  std::size_t at = 0;
  for (const char* label : order) {
    const std::size_t found = text.find(label, at);
    ASSERT_NE(found, std::string::npos) << label << " missing or out of order";
    at = found;
  }
}

// The display without the two lines the clock sets under the defaults (today
// and the time of day), which two reads a second apart may differ in.
std::string WithoutClock(const std::string& text) {
  std::istringstream lines(text);
  std::string kept;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("ReferenceDateSeconds:", 0) == 0) continue;
    if (line.rfind("ReferenceTimeSeconds:", 0) == 0) continue;
    kept += line + '\n';
  }
  return kept;
}

TEST(SettingTable, AValueOfAnotherTypeIsIgnored) {
  const std::string defaults =
      WithoutClock(settingstest::DisplayText(settingstest::Read(TorSettings()).settings));
  for (const ZelSettingRow& row : ZelSettingRows()) {
    SCOPED_TRACE(row.key);
    TorSettings settings;
    if (row.type == ZelSettingType::kString) {
      settings.SetDouble(row.key, 2.0);
    } else {
      settings.SetString(row.key, "2");
    }
    const settingstest::Read read(settings);
    EXPECT_FALSE(read.status.IsError());
    EXPECT_EQ(WithoutClock(settingstest::DisplayText(read.settings)), defaults);
  }
}

TEST(SettingTable, ChecksRejectValuesOutOfRangeAndTakeTheRest) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  int positive = 0;
  int pValues = 0;
  int percentages = 0;
  for (const ZelSettingRow& row : ZelSettingRows()) {
    SCOPED_TRACE(row.key);
    auto read = [&row](double value) {
      TorSettings settings = settingstest::EverySwitchGiven();
      settingstest::GiveAnotherValue(row, &settings);  // its condition met
      settings.SetDouble(row.key, value);
      return settingstest::Read(settings);
    };
    switch (row.check) {
      case ZelSettingCheck::kNone: break;
      case ZelSettingCheck::kPositive:
        ++positive;
        for (double bad : {0.0, -1.0, nan}) {
          EXPECT_EQ(read(bad).status.GetCode(), ZelStatusCode::kNonPositiveSD) << bad;
        }
        EXPECT_EQ(Number(read(1e-9).settings, row), 1e-9);
        break;
      case ZelSettingCheck::kPValue:
        ++pValues;
        for (double bad : {0.0, 1.5, -0.1, nan}) {
          EXPECT_EQ(read(bad).status.GetCode(), ZelStatusCode::kBadPValue) << bad;
        }
        EXPECT_EQ(Number(read(1.0).settings, row), 1.0);
        break;
      case ZelSettingCheck::kPercent:
        ++percentages;
        EXPECT_FALSE(read(12.5).status.IsError());
        EXPECT_DOUBLE_EQ(Number(read(12.5).settings, row), 0.125);
        break;
    }
  }
  // outlierIdentCutoff, targetSD, zScore_SD, skewnessThreshold; three
  // p-values; four percentages.
  EXPECT_EQ(positive, 4);
  EXPECT_EQ(pValues, 3);
  EXPECT_EQ(percentages, 4);
}

TEST(SettingTable, ChoicesTellTheirValuesAndOtherTextsKeepOrFallBack) {
  for (const ZelSettingRow& row : ZelSettingRows()) {
    if (row.choices.empty()) continue;
    SCOPED_TRACE(row.key);
    int ZelSettings::*member = std::get<int ZelSettings::*>(row.member);
    const ZelSettingChoice* fallback = nullptr;
    for (const ZelSettingChoice& choice : row.choices) {
      if (choice.text == nullptr) {
        fallback = &choice;
        continue;
      }
      TorSettings settings = settingstest::EverySwitchGiven();
      settingstest::GiveAnotherValue(row, &settings);
      settings.SetString(row.key, choice.text);
      EXPECT_EQ(settingstest::Read(settings).settings.*member, choice.value) << choice.text;
    }
    TorSettings settings = settingstest::EverySwitchGiven();
    settingstest::GiveAnotherValue(row, &settings);
    settings.SetString(row.key, "none of them");
    const ZelSettings read = settingstest::Read(settings).settings;
    EXPECT_EQ(read.*member, fallback != nullptr ? fallback->value : ZelSettings().*member);
  }
  // The rescaling method's other texts switch rescaling off.
  TorSettings off;
  off.SetString("scaleFeatureRescalingMethod", "noRescaling");
  EXPECT_FALSE(settingstest::Read(off).settings.rescaling);
}

}  // namespace
