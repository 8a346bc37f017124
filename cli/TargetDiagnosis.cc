#include "TargetDiagnosis.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "io/WeightTally.h"
#include "frame/ZelFactory.h"
#include "torcommon13r/TorVariable.h"

namespace zelcli {

namespace {

using namespace TorCommon_1_3;

// A screening limit as the component reads it: the value key counts only
// when its switch is given and true; otherwise the default applies.
double Limit(const TorSettings& settings, const char* onKey, const char* valueKey) {
  double value = 0.0;
  for (const ZelSettingKey& key : ZelFactory::GetSettingKeys()) {
    if (key.name == valueKey) value = std::strtod(key.defaultValue.c_str(), nullptr);
  }
  bool on = false;
  if (settings.GetSettingValByName(onKey, on) && on) {
    int integer;
    if (settings.GetSettingValByName(valueKey, integer)) value = integer;
    settings.GetSettingValByName(valueKey, value);
  }
  return value;
}

bool Switch(const TorSettings& settings, const char* key, bool byDefault) {
  settings.GetSettingValByName(key, byDefault);
  return byDefault;
}

std::string Percent(double share) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g %%", 100.0 * share);
  return text;
}

// The value of a target cell as text, or empty for a missing value.
std::string ValueText(const zelio::FieldPlan& plan, const RawData& value) {
  if (value.IsMissing()) return std::string();
  char text[32];
  switch (value.GetStorage()) {
    case kStorageString:
      return plan.IsUserMissing(value.GetString()) ? std::string() : "'" + value.GetString() + "'";
    case kStorageInteger:
      if (plan.IsUserMissing(static_cast<double>(value.GetInteger()))) return std::string();
      for (const auto& code : plan.codes) {
        if (code.second == value.GetInteger()) return "'" + code.first + "'";
      }
      return std::to_string(value.GetInteger());
    default:
      if (plan.IsUserMissing(value.GetDouble())) return std::string();
      std::snprintf(text, sizeof text, "%.15g", value.GetDouble());
      return text;
  }
}

// The record's field that holds `column`, -1 when none does.
std::ptrdiff_t FieldOf(const std::vector<std::size_t>& columnOf, std::ptrdiff_t column) {
  for (std::size_t i = 0; i < columnOf.size(); ++i) {
    if (static_cast<std::ptrdiff_t>(columnOf[i]) == column) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

// A weight as a number, or null when missing; `number` holds it.
const double* WeightValue(const RawRecord& record, std::ptrdiff_t field, double* number) {
  if (field < 0 || record[static_cast<std::size_t>(field)].IsMissing()) return nullptr;
  *number = record[static_cast<std::size_t>(field)].GetReal();
  return number;
}

}  // namespace

std::string ExplainExcludedTarget(const zelio::LoadedData& data, IRecordSource& source,
                                  const std::vector<std::size_t>& columnOf,
                                  const zelio::FieldRoles& roles, const TorSettings& settings) {
  std::size_t index = 0;
  while (index < data.plans.size() && data.plans[index].name != roles.target) ++index;
  if (index == data.plans.size()) return "no target field was given";
  const zelio::FieldPlan& plan = data.plans[index];
  const std::string target = "the target '" + plan.name + "'";
  const int storage = plan.storage;
  if (storage == kStorageDate || storage == kStorageTime || storage == kStorageTimestamp) {
    return target + " holds dates or times, which are set aside once their parts and " +
           "durations are derived; a target must hold numbers or text";
  }

  // Frequencies by value text, as the screening step counts them.
  const zelio::WeightTally weights(data.plans, roles);
  const double categoryLimit =
      Limit(settings, "excludeFeatureIfHasManyUniqueCatogories", "maxNOfUniqueCategories");
  std::map<std::string, double> frequencies;
  double valid = 0.0, missing = 0.0;
  const std::ptrdiff_t targetField = FieldOf(columnOf, static_cast<std::ptrdiff_t>(index));
  const std::ptrdiff_t frequencyField = FieldOf(columnOf, weights.frequencyColumn());
  const std::ptrdiff_t analysisField = FieldOf(columnOf, weights.analysisColumn());
  if (targetField < 0) return target + " was not handed over";
  source.Rewind();
  while (source.HasMoreRecords()) {
    const RawRecord* record = source.NextRecord();
    if (record == nullptr) break;
    double frequency = 0.0, analysis = 0.0;
    const double count = weights.Records(WeightValue(*record, frequencyField, &frequency),
                                         WeightValue(*record, analysisField, &analysis));
    if (count == 0.0) continue;
    const std::string value = ValueText(plan, (*record)[static_cast<std::size_t>(targetField)]);
    if (value.empty()) {
      missing += count;
      continue;
    }
    valid += count;
    // Like the statistic's table, it stops growing one entry past the limit.
    auto it = frequencies.find(value);
    if (it != frequencies.end()) {
      it->second += count;
    } else if (frequencies.size() <= categoryLimit) {
      frequencies.emplace(value, count);
    }
  }
  const bool tooMany = frequencies.size() > categoryLimit;

  if (valid + missing == 0.0) {
    return "no record counts: every record's frequency or analysis weight is missing, zero or "
           "negative";
  }
  if (valid == 0.0) return target + " is missing in every record that counts";
  const bool categorical = plan.level != zelio::Level::kContinuous;
  if (plan.level == zelio::Level::kNominal && tooMany) {
    return target + " has more categories than maxNOfUniqueCategories (" +
           std::to_string(static_cast<long long>(categoryLimit)) + ") allows";
  }
  double mode = 0.0;
  for (const auto& entry : frequencies) mode = std::max(mode, entry.second);
  const double modeThreshold =
      Limit(settings, "excludeAlmostConstantCatFeature", "catFeatureScreenThreshold") / 100.0;
  if (categorical && Switch(settings, "excludeAlmostConstantCatFeature", false) &&
      mode / (valid + missing) > modeThreshold) {
    return "one category of " + target.substr(4) + " holds " + Percent(mode / (valid + missing)) +
           " of the records, more than catFeatureScreenThreshold (" + Percent(modeThreshold) +
           ") allows";
  }
  const double missingLimit = Limit(settings, "excludeFeatureIfHasHigherPercentageOfMissingValue",
                                    "maxPercentageOfMissingvalue") /
                              100.0;
  const double share = missing / (valid + missing);
  if (Switch(settings, "excludeFeatureIfHasHigherPercentageOfMissingValue", true) &&
      share > missingLimit) {
    return target + " is missing in " + Percent(share) + " of the records, more than " +
           "maxPercentageOfMissingvalue (" + Percent(missingLimit) + ") allows";
  }
  if (frequencies.size() == 1) {
    return target +
           " has the same value in every record that counts: " + frequencies.begin()->first;
  }
  return target + " was set aside by the preparation steps (see the warnings above)";
}

}  // namespace zelcli
