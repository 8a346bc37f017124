#include "settings/ZelSettingReview.h"

#include <limits>

namespace {

using TorCommon_1_3::TorSettings;

// Keys of the hosts' vocabulary that the component never reads.
const char* const kWithoutEffect[] = {"outputMode",
                                      "outputName",
                                      "autoOutputName",
                                      "outputPmmlFile",
                                      "outputFilePath",
                                      "filterOut",
                                      "forcedVariable",
                                      "frequencyWeight",
                                      "excludeNoUsedField",
                                      "excludeConstantScaleFeature",
                                      "setDirectionNone",
                                      "unsupervisedMerging",
                                      "reorderNominalCatsPriorToMerging"};

struct Range {
  const char* key;
  double low;
  bool lowIncluded;
  double high;  // included
  const char* meaning;
};

constexpr double kNoLimit = std::numeric_limits<double>::max();

// Ints and doubles alike; the component reads each with its own type.
const Range kRanges[] = {
    {"maxNOfUniqueCategories", 0, true, kNoLimit, "must not be negative"},
    {"maxPercentageOfMissingvalue", 0, true, 100, "is a percentage from 0 to 100"},
    {"catFeatureScreenThreshold", 0, true, 100, "is a percentage from 0 to 100"},
    {"flagMissingPercentage", 0, true, 100, "is a percentage from 0 to 100"},
    {"unsupervisedMergingMinPercentageOfCases", 0, true, 100, "is a percentage from 0 to 100"},
    {"scaleToOrdinalValuesNumThreshold", 0, false, kNoLimit, "must be above 0"},
    {"ordinalToScaleCategoriesNumThreshold", 1, false, kNoLimit,
     "must be above 1 (and above scaleToOrdinalValuesNumThreshold)"},
    // Read (and refused) by the component only when rescaling is "zScore".
    {"zScore_SD", 0, false, kNoLimit, "must be above 0"},
};

// A key read only when another key has a given value (empty: is given).
struct Dependency {
  const char* key;
  const char* needs;
  const char* value;
};

const Dependency kDependencies[] = {
    {"maxNOfUniqueCategories", "excludeFeatureIfHasManyUniqueCatogories", "true"},
    {"maxPercentageOfMissingvalue", "excludeFeatureIfHasHigherPercentageOfMissingValue", "true"},
    {"catFeatureScreenThreshold", "excludeAlmostConstantCatFeature", "true"},
    // Read alone, but without indicators they change nothing.
    {"flagMissingPercentage", "flagMissingValues", "true"},
    {"keepMostlyMissingWithFlag", "flagMissingValues", "true"},
    {"targetEncodingMinCategories", "targetEncodeCategories", "true"},
    {"targetEncodingSmoothing", "targetEncodeCategories", "true"},
    {"scaleToOrdinalValuesNumThreshold", "ordinalToScaleCategoriesNumThreshold", ""},
    {"ordinalToScaleCategoriesNumThreshold", "scaleToOrdinalValuesNumThreshold", ""},
    {"zScore_SD", "scaleFeatureRescalingMethod", "zScore"},
    {"zScore_mean", "scaleFeatureRescalingMethod", "zScore"},
    {"minMax_min", "scaleFeatureRescalingMethod", "minMax"},
    {"minMax_max", "scaleFeatureRescalingMethod", "minMax"},
    {"minMax_min", "minMax_max", ""},
    {"minMax_max", "minMax_min", ""},
    // Durations are on by default, but a reference is read only with the switch given.
    {"referenceDateType", "computeDateDuration", "true"},
    {"referenceDateForDurations", "computeDateDuration", "true"},
    {"todaysDate", "computeDateDuration", "true"},
    {"todaysDate", "referenceDateType", "todaysDate"},
    {"referenceTimeType", "computeTimeDuration", "true"},
    {"referenceTimeForDurations", "computeTimeDuration", "true"},
    {"currentTime", "computeTimeDuration", "true"},
    {"currentTime", "referenceTimeType", "currentTime"},
};

bool Number(const TorSettings& settings, const char* key, double* value) {
  int integer;
  if (settings.GetSettingValByName(key, integer)) {
    *value = integer;
    return true;
  }
  return settings.GetSettingValByName(key, *value);
}

// The value of a bool or string key as text; empty when absent.
std::string Text(const TorSettings& settings, const char* key) {
  bool flag;
  if (settings.GetSettingValByName(key, flag)) return flag ? "true" : "false";
  std::string text;
  settings.GetSettingValByName(key, text);
  return text;
}

}  // namespace

const std::vector<std::string>& KeysWithoutEffect() {
  static const std::vector<std::string> keys(std::begin(kWithoutEffect), std::end(kWithoutEffect));
  return keys;
}

bool ReviewSettings(const TorSettings& settings, std::vector<std::string>* warnings,
                    std::string* error) {
  for (const Range& range : kRanges) {
    double value;
    if (!Number(settings, range.key, &value)) continue;
    const bool aboveLow = range.lowIncluded ? value >= range.low : value > range.low;
    if (!aboveLow || value > range.high) {
      *error = std::string("settings key \"") + range.key + "\" " + range.meaning;
      return false;
    }
  }
  const char* warned = "";  // one warning per key, for the first dependency it lacks
  for (const Dependency& dependency : kDependencies) {
    if (!settings.Contains(dependency.key) || std::string(warned) == dependency.key) continue;
    const bool given = settings.Contains(dependency.needs);
    if (*dependency.value == '\0' ? given : Text(settings, dependency.needs) == dependency.value) {
      continue;
    }
    std::string what = std::string("settings key \"") + dependency.key +
                       "\" has no effect without \"" + dependency.needs + "\"";
    if (*dependency.value != '\0') what += std::string(" set to ") + dependency.value;
    warnings->push_back(what);
    warned = dependency.key;
  }
  return true;
}

