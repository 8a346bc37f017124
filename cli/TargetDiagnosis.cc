#include "TargetDiagnosis.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "WeightTally.h"
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
std::string ValueText(const FieldPlan& plan, const Column& column, std::size_t row) {
  if (column.IsMissing(row)) return std::string();
  char text[32];
  switch (column.storage()) {
    case kStorageString:
      return plan.IsUserMissing(column.Text(row)) ? std::string() : "'" + column.Text(row) + "'";
    case kStorageInteger:
      if (plan.IsUserMissing(static_cast<double>(column.Integer(row)))) return std::string();
      for (const auto& code : plan.codes) {
        if (code.second == column.Integer(row)) return "'" + code.first + "'";
      }
      return std::to_string(column.Integer(row));
    default:
      if (plan.IsUserMissing(column.Double(row))) return std::string();
      std::snprintf(text, sizeof text, "%.15g", column.Double(row));
      return text;
  }
}

}  // namespace

std::string ExplainExcludedTarget(const LoadedData& data, const FieldRoles& roles,
                                  const TorSettings& settings) {
  std::size_t index = 0;
  while (index < data.plans.size() && data.plans[index].name != roles.target) ++index;
  if (index == data.plans.size()) return "no target field was given";
  const FieldPlan& plan = data.plans[index];
  const Column& column = data.store.columns[index];
  const std::string target = "the target '" + plan.name + "'";
  const int storage = column.storage();
  if (storage == kStorageDate || storage == kStorageTime || storage == kStorageTimestamp) {
    return target + " holds dates or times, which are set aside once their parts and " +
           "durations are derived; a target must hold numbers or text";
  }

  // Frequencies by value text, as the screening step counts them.
  const WeightTally weights(data.plans, roles);
  const double categoryLimit =
      Limit(settings, "excludeFeatureIfHasManyUniqueCatogories", "maxNOfUniqueCategories");
  std::map<std::string, double> frequencies;
  double valid = 0.0, missing = 0.0;
  for (std::size_t row = 0; row < data.store.rows(); ++row) {
    const double count = weights.Records(data.store, row);
    if (count == 0.0) continue;
    const std::string value = ValueText(plan, column, row);
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
  const bool categorical = plan.level != Level::kContinuous;
  if (plan.level == Level::kNominal && tooMany) {
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
