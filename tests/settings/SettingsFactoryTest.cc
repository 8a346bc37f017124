// Settings as a host sees them through the factory: the error that rejects a
// build, one per kind of check, and the warnings that stay readable after it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "frame/ZelFactory.h"
#include "frame/ZelStatusCodes.h"
#include "support/TestHost.h"

using ZelFrame::ZelFactory;

namespace {

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
      {{{"homogeneousSubsetsPValue", 0.0}}, code::kBadPValue},
      {{{"analysisWeight", std::string("nope")}}, code::kBadAnalysisWeight},
      {{{"analysisWeight", std::string("s")}}, code::kBadAnalysisWeight},
      {{{"analysisWeight", std::string("w")}}, 0},
      {{{"suffixYear", std::string("_y r")}}, code::kBlankInName},
      {{{"nameExtForInputs", std::string(" x")}}, code::kBlankInName},
      {{{"rootNameForConsturctedFeature", std::string("f ")}}, code::kBlankInName},
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

}  // namespace
