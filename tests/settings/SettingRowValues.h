// For the tests that walk the settings table: a host container with every
// switch given (so that keys read only under a switch are read) and the
// durations' references given, and for each row the keys that give its
// member another value than that container's.
#ifndef ZELCRAFT_TESTS_SETTINGS_SETTINGROWVALUES_H_
#define ZELCRAFT_TESTS_SETTINGS_SETTINGROWVALUES_H_

#include <map>
#include <string>

#include "settings/ZelSettingTable.h"
#include "support/TestHost.h"
#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorVarList.h"

namespace settingstest {

inline TorCommon_1_3::TorSettings EverySwitchGiven() {
  TorCommon_1_3::TorSettings settings;
  for (const ZelSettingRow& row : ZelSettingRows()) {
    if (row.type == ZelSettingType::kBool) settings.SetBool(row.key, DefaultText(row) == "true");
  }
  settings.SetInt("scaleToOrdinalValuesNumThreshold", 5);
  settings.SetInt("ordinalToScaleCategoriesNumThreshold", 10);
  settings.SetString("scaleFeatureRescalingMethod", "zScore");
  settings.SetDouble("referenceDateForDurations", 18000);
  settings.SetDouble("todaysDate", 18100);
  settings.SetDouble("referenceTimeForDurations", 3600);
  settings.SetDouble("currentTime", 7200);
  settings.SetString("dateUnit", "day");
  settings.SetString("timeUnit", "second");
  return settings;
}

// Fields the rows need: a numeric one to weigh by ("w"), a date and a time
// of day whose durations read the references.
inline TorCommon_1_3::TorVarList FieldsWithWeightDateAndTime() {
  TorCommon_1_3::TorVarList variables;
  variables.AddVariable(testhost::ContField("x"));
  variables.AddVariable(testhost::ContField("w"));
  variables.AddVariable(testhost::ContField("day", TorCommon_1_3::kStorageDate));
  variables.AddVariable(testhost::ContField("hour", TorCommon_1_3::kStorageTime));
  return variables;
}

// Gives `name` the value `text` reads as, by its row's type.
inline void Assign(TorCommon_1_3::TorSettings* settings, const std::string& name,
                   const std::string& text) {
  switch (FindSettingRow(name)->type) {
    case ZelSettingType::kBool: settings->SetBool(name, text == "true"); return;
    case ZelSettingType::kInt: settings->SetInt(name, std::stoi(text)); return;
    case ZelSettingType::kDouble: settings->SetDouble(name, std::stod(text)); return;
    case ZelSettingType::kString: settings->SetString(name, text); return;
  }
}

// The rows read by functions of their own, with the keys that change them
// (these take a given text, or need other keys to be read); the other rows'
// values follow from their shape.
inline const std::map<std::string, std::map<std::string, std::string>>& SpecialValues() {
  static const std::map<std::string, std::map<std::string, std::string>> values = {
      {"referenceDateType", {{"referenceDateType", "todaysDate"}}},
      {"referenceDateForDurations", {{"referenceDateForDurations", "18300"}}},
      {"todaysDate", {{"referenceDateType", "todaysDate"}, {"todaysDate", "18200"}}},
      {"referenceTimeType", {{"referenceTimeType", "currentTime"}}},
      {"referenceTimeForDurations", {{"referenceTimeForDurations", "900"}}},
      {"currentTime", {{"referenceTimeType", "currentTime"}, {"currentTime", "100"}}},
      {"autoChooseDateFieldUnit", {{"autoChooseDateFieldUnit", "fixed"}}},
      {"autoChooseTimeFieldUnit", {{"autoChooseTimeFieldUnit", "fixed"}}},
      {"minMax_min",
       {{"scaleFeatureRescalingMethod", "minMax"}, {"minMax_min", "-5"}, {"minMax_max", "100"}}},
      {"minMax_max",
       {{"scaleFeatureRescalingMethod", "minMax"}, {"minMax_min", "0"}, {"minMax_max", "5"}}},
      {"analysisWeight", {{"analysisWeight", "w"}}},
  };
  return values;
}

// Gives `row`'s member another value than EverySwitchGiven() gives it, with
// the key its reading depends on.
inline void GiveAnotherValue(const ZelSettingRow& row, TorCommon_1_3::TorSettings* settings) {
  const auto special = SpecialValues().find(row.key);
  if (special != SpecialValues().end()) {
    for (const auto& [name, value] : special->second) Assign(settings, name, value);
    return;
  }
  const ZelSettingCondition& when = row.readWhen;
  if (when.key != nullptr && when.text == nullptr) settings->SetBool(when.key, true);
  if (when.key != nullptr && when.text != nullptr) {
    settings->SetString(when.key, when.equal ? std::string(when.text) : "fixed");
  }
  const std::string fallback = DefaultText(row);
  switch (row.type) {
    case ZelSettingType::kBool: settings->SetBool(row.key, fallback != "true"); return;
    case ZelSettingType::kInt: settings->SetInt(row.key, std::stoi(fallback) + 1); return;
    case ZelSettingType::kDouble: {
      const double value = std::stod(fallback);
      settings->SetDouble(row.key, value > 0.0 ? value / 2.0 : 1.0);
      return;
    }
    case ZelSettingType::kString: break;
  }
  // A text that another value stands for, or a name part's other text.
  std::string given;
  settings->GetSettingValByName(row.key, given);
  for (const ZelSettingChoice& choice : row.choices) {
    if (choice.text != nullptr && choice.text != fallback && choice.text != given) {
      settings->SetString(row.key, choice.text);
      return;
    }
  }
  settings->SetString(row.key, "_other");
}

}  // namespace settingstest

#endif  // ZELCRAFT_TESTS_SETTINGS_SETTINGROWVALUES_H_
