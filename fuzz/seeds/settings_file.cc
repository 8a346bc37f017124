// Seeds of fuzz_settings_file: settings objects (and one assignment) that
// switch the steps on and off and move their limits.
#include <string>

#include "../SeedWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const char* dir = argv[1];
  const std::pair<const char*, std::string> seeds[] = {
      {"steps", R"({"trimBlanks": false, "outlierIdentCutoff": 2.5,
                  "scaleFeatureRescalingMethod": "minMax", "minMax_min": -1, "minMax_max": 1,
                  "supervisedBinning": true, "featureSelection": true})"},
      {"dates", R"({"computeDateDuration": true, "referenceDateForDurations": 18000,
                  "extractYearFromDate": true, "extractMinuteFromTime": true,
                  "autoChooseTimeFieldUnit": "no", "timeUnit": "minute"})"},
      {"screening", R"({"excludeFeatureIfHasHigherPercentageOfMissingValue": true,
                  "maxPercentageOfMissingvalue": 10, "excludeAlmostConstantCatFeature": true,
                  "catFeatureScreenThreshold": 50, "analysisWeight": "y"})"},
      {"host", R"({"outputMode": "file", "suffixYear": "_Year", "nameExtForInputs": "_t"})"},
      {"assignment", "homogeneousSubsetsPValue=0.5"},
  };
  for (const auto& seed : seeds) {
    if (!zelfuzz::Seed(dir, seed.first, seed.second)) return 1;
  }
  return 0;
}
