// The settings display as the algorithm prints it, and the key catalogue
// hosts build their help and parsing from.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>

#include "SettingsTestUtil.h"
#include "frame/ZelFactory.h"
#include "frame/host/TorDisplay.h"
#include "settings/ZelSettingKeys.h"
#include "support/TestHost.h"

namespace {

using TorCommon_1_3::TorSettings;

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SettingsDisplay, AlgorithmWrapsTheSettingsLines) {
  TorSettings settings;
  settings.SetString("outliersOperation", "setToMissingVal");
  settings.SetString("scaleFeatureRescalingMethod", "minMax");
  settings.SetBool("computeDateDuration", true);
  settings.SetDouble("referenceDateForDurations", 11016.0);
  TorCommon_1_3::TorVarList fields;
  fields.AddVariable(testhost::ContField("x"));
  ZelFactory factory;
  std::unique_ptr<TorCommon_1_3::ITorAlgorithm> algorithm(
      factory.CreateTorAlgorithm(settings, fields));
  ASSERT_NE(algorithm, nullptr);

  std::ostringstream elsewhere;
  std::ostream* before = TorDisplay_1_3::SetOutputStream(&elsewhere);
  std::ostringstream out;
  algorithm->Display(out);
  EXPECT_EQ(&TorDisplay_1_3::GetOutputStream(), &elsewhere);  // restored
  TorDisplay_1_3::SetOutputStream(before);
  EXPECT_TRUE(elsewhere.str().empty());

  const std::string text = out.str();
  const std::string markers[] = {"ZelAlgorithm display start\n", "ZelSettings display start\n",
                                 "End of display ZelSettings object\n",
                                 "ZelAlgorithm display end\n"};
  std::size_t last = 0;
  for (const std::string& marker : markers) {
    const std::size_t at = text.find(marker);
    ASSERT_NE(at, std::string::npos) << marker;
    EXPECT_GE(at, last) << marker;
    last = at;
  }
  // A sample across the member list, and the members without keys.
  for (const char* label :
       {"AnalysisWeightFeatureIndex", "FrequencyWeightFeatureIndex", "ForcedFeatureIndex",
        "TrimBlank", "ExtractDay", "ScreeningThresholdForNominal", "RecastCatThreshold",
        "ReplaceMissingTarget", "ReordCatsOfNominalTarget", "RescaleContTargetSD", "Rescaling",
        "RescalingMinMaxMax", "SupervisedBinningPvalue", "ReorderNominalCats",
        "UnsupervisedMerge", "UnsupervisedMergeMin", "SuffixTrimString",
        "SuffixMergeNominalNoTarget", "SuffixCreateOrdinalFeatureCont"}) {
    EXPECT_EQ(Count(text, "\n" + std::string(label) + ":"), 1u) << label;
  }
  EXPECT_NE(text.find("\nHandleOutlierMethod: kSetToMissingValues\n"), std::string::npos);
  EXPECT_NE(text.find("\nRescalingMethod: MinMax\n"), std::string::npos);
  EXPECT_NE(text.find("\nMaxPercentMissing: 0.5\n"), std::string::npos);
  EXPECT_NE(text.find("\nReferenceDateMonth: 2\n"), std::string::npos);
  EXPECT_NE(text.find("\nSuffixYear: _Year\n"), std::string::npos);

  ZelSettings off;
  off.rescaling = false;
  EXPECT_NE(settingstest::DisplayText(off).find("\nRescalingMethod: NoRescaling\n"),
            std::string::npos);
}

TEST(SettingKeys, CatalogueListsWhatIsReadInReadingOrder) {
  const auto& keys = ZelFactory::GetSettingKeys();
  auto index = [&keys](const std::string& name) {
    const auto it = std::find_if(keys.begin(), keys.end(),
                                 [&name](const ZelSettingKey& k) { return k.name == name; });
    return it == keys.end() ? -1 : static_cast<int>(it - keys.begin());
  };
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(index(keys[i].name), static_cast<int>(i)) << "duplicate " << keys[i].name;
    EXPECT_FALSE(keys[i].description.empty()) << keys[i].name;
  }
  // Group order, including the vocabulary's own spellings.
  const char* const order[] = {"excludeFeatureIfHasManyUniqueCatogories",
                               "maxNOfUniqueCategories", "referenceDateType", "todaysDate",
                               "maxPercentageOfMissingvalue", "checkTargetMeasureLevel",
                               "outlierIdentCutoff", "replaceScaleFeaturesMissingValue",
                               "targetSD", "unsupervisedMergingMinPercentageOfCases",
                               "suffixElapsedSeconds", "analysisWeight",
                               "rootNameForConsturctedFeature"};
  int previous = -1;
  for (const char* name : order) {
    ASSERT_GT(index(name), previous) << name;
    previous = index(name);
  }
  EXPECT_EQ(static_cast<int>(keys.size()), previous + 1);
  EXPECT_EQ(keys[index("todaysDate")].type, ZelSettingType::kDouble);
  EXPECT_EQ(keys[index("maxNOfUniqueCategories")].type, ZelSettingType::kInt);
  EXPECT_EQ(keys[index("maxPercentageOfMissingvalue")].defaultValue, "50");
  for (const char* unread : {"outputMode", "frequencyWeight", "forcedVariable",
                             "unsupervisedMerging", "reorderNominalCatsPriorToMerging"}) {
    EXPECT_EQ(index(unread), -1) << unread;
  }

  // Every switch in the catalogue is read under its name, as a bool, and its
  // listed default is the one in force: flipping it changes the settings.
  // Reference date and time given, so no clock reading differs between reads.
  TorSettings fixed;
  fixed.SetBool("computeDateDuration", true);
  fixed.SetBool("computeTimeDuration", true);
  fixed.SetDouble("referenceDateForDurations", 0.0);
  fixed.SetDouble("referenceTimeForDurations", 0.0);
  for (const ZelSettingKey& key : keys) {
    if (key.type != ZelSettingType::kBool) continue;
    TorSettings given = fixed;
    given.SetBool(key.name, key.defaultValue == "true");
    TorSettings flipped = fixed;
    flipped.SetBool(key.name, key.defaultValue != "true");
    EXPECT_EQ(settingstest::DisplayText(settingstest::Read(given).settings),
              settingstest::DisplayText(settingstest::Read(fixed).settings))
        << key.name;
    EXPECT_NE(settingstest::DisplayText(settingstest::Read(flipped).settings),
              settingstest::DisplayText(settingstest::Read(fixed).settings))
        << key.name;
  }
}

}  // namespace
