// The defaults in force when a host sends no keys, and the defaults and help
// lines the key catalogue shows hosts, checked against the documented values,
// written out here rather than taken from the code.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "SettingsTestUtil.h"
#include "frame/ZelFactory.h"

using ZelFrame::ZelFactory;

namespace {

TEST(SettingsDefaults, NoKeysGiveTheDocumentedValues) {
  const settingstest::Read read{TorCommon_1_3::TorSettings()};
  ASSERT_FALSE(read.status.IsError());
  const ZelSettings& s = read.settings;
  EXPECT_EQ(s.analysisWeightIndex, -1);
  EXPECT_EQ(s.frequencyWeightIndex, -1);
  EXPECT_TRUE(s.forcedFeatureIndices.empty());
  EXPECT_TRUE(s.trimBlank);
  EXPECT_TRUE(s.computeDateDuration);
  EXPECT_EQ(s.dateDurationUnit, 0);
  EXPECT_FALSE(s.extractYear || s.extractMonth || s.extractDay);
  EXPECT_TRUE(s.computeTimeDuration);
  EXPECT_EQ(s.timeDurationUnit, 0);
  EXPECT_FALSE(s.extractHour || s.extractMinute || s.extractSecond);
  EXPECT_TRUE(s.excludeTooManyMissing);
  EXPECT_EQ(s.maxPercentMissing, 0.5);
  EXPECT_FALSE(s.screeningCatFeature);
  EXPECT_EQ(s.screeningThreshold, 0.95);
  EXPECT_TRUE(s.screeningNominalFeature);
  EXPECT_EQ(s.screeningThresholdForNominal, 100);
  EXPECT_TRUE(s.checkMeasureLevelForFeature);
  EXPECT_TRUE(s.checkMeasureLevelForTarget);
  EXPECT_EQ(s.recastContThreshold, 5);
  EXPECT_EQ(s.recastCatThreshold, 10);
  EXPECT_TRUE(s.detectOutlierForFeature);
  EXPECT_FALSE(s.detectOutlierForTarget);
  EXPECT_EQ(s.handleOutlierMethod, 0);
  EXPECT_EQ(s.outlierSDCutoff, 3.0);
  EXPECT_FALSE(s.replaceMissingTarget || s.replaceMissingNominalTarget ||
               s.replaceMissingOrdinalTarget || s.replaceMissingContinuousTarget);
  EXPECT_TRUE(s.replaceMissingNominalFeature && s.replaceMissingOrdinalFeature &&
              s.replaceMissingScaleFeature);
  EXPECT_FALSE(s.reorderCatsOfNominalTarget);
  EXPECT_FALSE(s.rescaleContTarget);
  EXPECT_EQ(s.rescaleContTargetMean, 0.0);
  EXPECT_EQ(s.rescaleContTargetSD, -1.0);
  EXPECT_EQ(s.boxCoxExponentStart, -3.0);
  EXPECT_EQ(s.boxCoxExponentEnd, 3.0);
  EXPECT_EQ(s.boxCoxExponentStep, 0.5);
  EXPECT_TRUE(s.rescaling);
  EXPECT_EQ(s.rescalingMethod, 0);
  EXPECT_EQ(s.rescalingZscoreMean, 0.0);
  EXPECT_EQ(s.rescalingZscoreSD, 1.0);
  EXPECT_EQ(s.rescalingMinMaxMin, 0.0);
  EXPECT_EQ(s.rescalingMinMaxMax, 100.0);
  EXPECT_TRUE(s.supervisedBinning);
  EXPECT_EQ(s.supervisedBinningPvalue, 0.05);
  EXPECT_TRUE(s.featureSelection);
  EXPECT_EQ(s.featureSelectionPvalue, 0.05);
  EXPECT_TRUE(s.featureConstruction);
  EXPECT_TRUE(s.reorderNominalCats);
  EXPECT_TRUE(s.supervisedMerge);
  EXPECT_EQ(s.supervisedMergePvalue, 0.05);
  EXPECT_TRUE(s.unsupervisedMerge && s.unsupervisedMergeOrdinal && s.unsupervisedMergeNominal);
  EXPECT_EQ(s.unsupervisedMergeMin, 0.1);
  EXPECT_FALSE(s.skewTransform);
  EXPECT_EQ(s.skewThreshold, 1.0);
  EXPECT_EQ(s.skewTransformMethod, 0);
  EXPECT_FALSE(s.targetEncode);
  EXPECT_EQ(s.targetEncodingMinCategories, 20);
  EXPECT_EQ(s.targetEncodingSmoothing, 10.0);
  EXPECT_EQ(s.progressListener, nullptr);

  std::string suffixes;
  for (const std::string& suffix : s.stepSuffixes) suffixes += suffix + " ";
  EXPECT_EQ(suffixes,
            "_TrimString _Year _Month _Day _DurationYears _DurationMonths _DurationDays _Hour "
            "_Minute _Second _DurationHours _DurationMinutes _DurationSeconds _RecastCont "
            "_RecastOrdinal _Outlier _ReplaceMissingCont _ReplaceMissingNominal "
            "_ReplaceMissingOrdinal _RescaleScaleFeature _AdjustScaleCont _RearrangeNominal "
            "_MergeNoTarget _MergeOrdinalHasTarget _MergeNominalNoTarget _MergeNominalHasTarget "
            "_DeriveNewFeatureCont _CreateOrdinalFeatureCont _SkewTransform _Weekday "
            "_MonthCategory "
            "_HourCategory _Missing _TargetEncoded ");
  std::string parts;
  for (int i = 0; i < ZelSettings::kNamePartCount; ++i) {
    parts += std::string(ZelSettings::DefaultNamePart(static_cast<NamePart>(i))) + " ";
  }
  EXPECT_EQ(parts,
            "_year _month _day _years _months _days _hour _minute _second _hours _minutes "
            "_seconds _transformed _transformed feature ");
}

TEST(SettingsDefaults, TheCatalogueShowsTheDocumentedDefaults) {
  // Percentages as hosts send them.
  const std::map<std::string, std::string> documented = {
      {"trimBlanks", "true"},
      {"excludeFeatureIfHasManyUniqueCatogories", "true"},
      {"maxNOfUniqueCategories", "100"},
      {"extractYearFromDate", "false"},
      {"computeDateDuration", "true"},
      {"computeTimeDuration", "true"},
      {"excludeFeatureIfHasHigherPercentageOfMissingValue", "true"},
      {"maxPercentageOfMissingvalue", "50"},
      {"excludeAlmostConstantCatFeature", "false"},
      {"catFeatureScreenThreshold", "95"},
      {"checkFeatureMeasureLevel", "true"},
      {"checkTargetMeasureLevel", "true"},
      {"scaleToOrdinalValuesNumThreshold", "5"},
      {"ordinalToScaleCategoriesNumThreshold", "10"},
      {"detectFeatureOutliers", "true"},
      {"detectTargetOutliers", "false"},
      {"outliersOperation", "coerceToCutoffVal"},
      {"outlierIdentCutoff", "3"},
      {"replaceScaleFeaturesMissingValue", "true"},
      {"replaceNominalTargetMissingValue", "false"},
      {"targetMean", "0"},
      {"targetSD", "-1"},
      {"zScore_mean", "0"},
      {"zScore_SD", "1"},
      {"minMax_min", "0"},
      {"minMax_max", "100"},
      {"homogeneousSubsetsPValue", "0.05"},
      {"featureSelectionPValue", "0.05"},
      {"supervisedMergingPValue", "0.05"},
      {"unsupervisedMergingMinPercentageOfCases", "10"},
      {"suffixMinute", "_minute"},
      {"suffixElapsedDays", "_days"},
      {"nameExtForInputs", "_transformed"},
      {"rootNameForConsturctedFeature", "feature"},
      {"targetEncodeCategories", "false"},
      {"targetEncodingMinCategories", "20"},
      {"targetEncodingSmoothing", "10"},
  };
  std::size_t found = 0;
  for (const ZelSettingKey& key : ZelFactory::GetSettingKeys()) {
    EXPECT_FALSE(key.description.empty()) << key.name;  // the help line hosts show
    const auto it = documented.find(key.name);
    if (it == documented.end()) continue;
    ++found;
    EXPECT_EQ(key.defaultValue, it->second) << key.name;
  }
  EXPECT_EQ(found, documented.size());
}

}  // namespace
