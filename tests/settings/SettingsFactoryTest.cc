// Settings as a host sees them through the factory: errors and warnings, and
// the key catalogue hosts build their help and parsing from.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "SettingsTestUtil.h"
#include "frame/ZelFactory.h"
#include "frame/ZelStatusCodes.h"
#include "settings/ZelSettingKeys.h"
#include "support/TestHost.h"

using ZelFrame::ZelFactory;

namespace {

using settingstest::DisplayText;
using settingstest::Read;
using TorCommon_1_3::ITorAlgorithm;
using TorCommon_1_3::TorSettings;
using TorCommon_1_3::TorStatus;
using TorCommon_1_3::TorVarList;
namespace code = ZelStatusCode;
using Keys = std::vector<std::pair<const char*, TorSettings::Value>>;

void Set(TorSettings& s, const char* key, bool v) { s.SetBool(key, v); }
void Set(TorSettings& s, const char* key, int v) { s.SetInt(key, v); }
void Set(TorSettings& s, const char* key, double v) { s.SetDouble(key, v); }
void Set(TorSettings& s, const char* key, const std::string& v) { s.SetString(key, v); }

TorSettings Settings(const Keys& keys) {
  TorSettings s;
  for (const auto& key : keys) std::visit([&](const auto& v) { Set(s, key.first, v); }, key.second);
  return s;
}

// Creates an algorithm over fields x (real), w (integer), s (text).
TorStatus Create(ZelFactory& factory, const Keys& keys) {
  TorSettings settings = Settings(keys);
  TorVarList fields;
  fields.AddVariable(testhost::ContField("x"));
  fields.AddVariable(testhost::ContField("w", TorCommon_1_3::kStorageInteger));
  fields.AddVariable(testhost::NominalField("s", true));
  std::unique_ptr<ITorAlgorithm> algorithm(factory.CreateTorAlgorithm(settings, fields));
  EXPECT_EQ(algorithm == nullptr, factory.GetStatus().IsError());
  return factory.GetStatus();
}

TEST(SettingsFactory, NoKeysGiveOnlyTheNamingWarning) {
  ZelFactory factory;
  EXPECT_FALSE(Create(factory, {}).IsError());
  ASSERT_EQ(factory.GetWarnings().size(), 1u);
  EXPECT_EQ(factory.GetWarnings()[0], TorStatus(code::kNamingDefaultUsed, true));
}

TEST(SettingsFactory, EachInvalidValueRejectsTheBuild) {
  const std::pair<Keys, int> cases[] = {
      {{{"scaleToOrdinalValuesNumThreshold", 10}, {"ordinalToScaleCategoriesNumThreshold", 10}},
       code::kBadRecastThresholds},
      {{{"scaleToOrdinalValuesNumThreshold", 0}, {"ordinalToScaleCategoriesNumThreshold", 4}},
       code::kBadRecastThresholds},
      {{{"scaleToOrdinalValuesNumThreshold", 1}, {"ordinalToScaleCategoriesNumThreshold", 2}}, 0},
      {{{"scaleFeatureRescalingMethod", std::string("minMax")},
        {"minMax_max", 5.0},
        {"minMax_min", 5.0}},
       code::kBadMinMax},
      {{{"outlierIdentCutoff", 0.0}}, code::kNonPositiveSD},
      {{{"targetSD", -1.0}}, code::kNonPositiveSD},
      {{{"scaleFeatureRescalingMethod", std::string("zScore")}, {"zScore_SD", 0.0}},
       code::kNonPositiveSD},
      {{{"homogeneousSubsetsPValue", 0.0}}, code::kBadPValue},
      {{{"homogeneousSubsetsPValue", 1.0}}, 0},
      {{{"featureSelectionPValue", 1.5}}, code::kBadPValue},
      {{{"supervisedMergingPValue", -0.1}}, code::kBadPValue},
      {{{"analysisWeight", std::string("nope")}}, code::kBadAnalysisWeight},
      {{{"analysisWeight", std::string("s")}}, code::kBadAnalysisWeight},
      {{{"analysisWeight", std::string("w")}}, 0},
      {{{"suffixYear", std::string("_y r")}}, code::kBlankInName},
      {{{"nameExtForInputs", std::string(" x")}}, code::kBlankInName},
      {{{"rootNameForConsturctedFeature", std::string("f ")}}, code::kBlankInName},
      // A value of another type is an absent key, not an invalid one.
      {{{"targetSD", 0}}, 0},
  };
  for (const auto& c : cases) {
    ZelFactory factory;
    const TorStatus status = Create(factory, c.first);
    EXPECT_EQ(status.GetCode(), c.second) << c.first[0].first;
    EXPECT_EQ(status.IsError(), c.second != 0) << c.first[0].first;
  }
}

TEST(SettingsFactory, FirstErrorStopsAndWarningsStayReadable) {
  ZelFactory factory;
  EXPECT_EQ(Create(factory, {{"scaleToOrdinalValuesNumThreshold", 9},  // group 4
                             {"ordinalToScaleCategoriesNumThreshold", 3},
                             {"outlierIdentCutoff", -2.0},  // group 5
                             {"targetSD", 0.0}})            // group 7
                .GetCode(),
            code::kBadRecastThresholds);

  // The suffixes, read before the extensions, have warned by then.
  EXPECT_EQ(Create(factory, {{"nameExtForTarget", std::string("a b")}}).GetCode(),
            code::kBlankInName);
  EXPECT_TRUE(testhost::HasWarning(factory.GetWarnings(), code::kNamingDefaultUsed));

  // The next call starts from an empty list.
  const std::string n = "_n";
  Create(factory, {{"suffixElapsedYears", n},
                   {"suffixElapsedMonths", n},
                   {"suffixElapsedDays", n},
                   {"suffixElapsedHours", n},
                   {"suffixElapsedMinutes", n},
                   {"suffixElapsedSeconds", n},
                   {"nameExtForTarget", n},
                   {"nameExtForInputs", n},
                   {"rootNameForConsturctedFeature", n}});
  EXPECT_TRUE(factory.GetStatus().IsOK());
  EXPECT_TRUE(factory.GetWarnings().empty());
}

TEST(SettingKeys, CatalogueListsWhatIsReadWithItsDefaults) {
  const auto& keys = ZelFactory::GetSettingKeys();
  std::set<std::string> names;
  for (const ZelSettingKey& key : keys) {
    EXPECT_TRUE(names.insert(key.name).second) << "duplicate " << key.name;
    EXPECT_FALSE(key.description.empty()) << key.name;
  }
  // The vocabulary's own spellings; the host's field list names the weights.
  EXPECT_EQ(names.count("excludeFeatureIfHasManyUniqueCatogories"), 1u);
  EXPECT_EQ(names.count("rootNameForConsturctedFeature"), 1u);
  EXPECT_EQ(names.count("frequencyWeight"), 0u);

  // Every switch in the catalogue is read under its name, as a bool, and its
  // listed default is the one in force: flipping it changes the settings.
  // Reference date and time given, so no clock reading differs between reads.
  TorSettings fixed;
  fixed.SetBool("computeDateDuration", true);
  fixed.SetBool("computeTimeDuration", true);
  fixed.SetDouble("referenceDateForDurations", 0.0);
  fixed.SetDouble("referenceTimeForDurations", 0.0);
  const std::string standard = DisplayText(Read(fixed).settings);
  for (const ZelSettingKey& key : keys) {
    if (key.type != ZelSettingType::kBool) continue;
    TorSettings given = fixed, flipped = fixed;
    given.SetBool(key.name, key.defaultValue == "true");
    flipped.SetBool(key.name, key.defaultValue != "true");
    EXPECT_EQ(DisplayText(Read(given).settings), standard) << key.name;
    EXPECT_NE(DisplayText(Read(flipped).settings), standard) << key.name;
  }
}

}  // namespace
