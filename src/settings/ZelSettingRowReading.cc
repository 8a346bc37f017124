// Reading one settings row by its type, check and choices.
#include <cstdio>

#include "frame/ZelStatusCodes.h"
#include "settings/ZelNaming.h"
#include "settings/ZelSettingTable.h"

using TorCommon_1_3::TorStatus;

namespace {

bool ConditionMet(const ZelSettingReading& r, const ZelSettingCondition& when) {
  if (when.key == nullptr) return true;
  if (when.text == nullptr) {
    bool on = false;
    return r.Get(when.key, on) && on;
  }
  std::string text;
  return r.Get(when.key, text) && (text == when.text) == when.equal;
}

TorStatus ReadNumber(const ZelSettingReading& r, const ZelSettingRow& row, double& member) {
  double value = 0.0;
  if (!r.Get(row.key, value)) return TorStatus();
  // Written so that NaN fails the checks too.
  switch (row.check) {
    case ZelSettingCheck::kNone: member = value; break;
    case ZelSettingCheck::kPercent: member = value / 100.0; break;
    case ZelSettingCheck::kPositive:
      if (!(value > 0.0)) return TorStatus(ZelStatusCode::kNonPositiveSD, false);
      member = value;
      break;
    case ZelSettingCheck::kPValue:
      if (!(value > 0.0 && value <= 1.0)) return TorStatus(ZelStatusCode::kBadPValue, false);
      member = value;
      break;
  }
  return TorStatus();
}

// A string key's text names a choice; a null text takes any other.
void ReadChoice(const ZelSettingReading& r, const ZelSettingRow& row, int& member) {
  std::string text;
  if (!r.Get(row.key, text)) return;
  for (const ZelSettingChoice& choice : row.choices) {
    if (choice.text == nullptr || text == choice.text) {
      member = choice.value;
      return;
    }
  }
}

}  // namespace

TorStatus ReadSettingRow(const ZelSettingReading& r, const ZelSettingRow& row) {
  if (!ConditionMet(r, row.readWhen)) return TorStatus();
  if (row.read != nullptr) return row.read(r, row);
  ZelSettings& s = r.settings;
  return std::visit(
      ZelSettingVisitor{
          [&](bool ZelSettings::*m) {
            r.Get(row.key, s.*m);
            return TorStatus();
          },
          [&](int ZelSettings::*m) {
            if (row.choices.empty()) {
              r.Get(row.key, s.*m);
            } else {
              ReadChoice(r, row, s.*m);
            }
            return TorStatus();
          },
          [&](double ZelSettings::*m) { return ReadNumber(r, row, s.*m); },
          [&](NamePart part) {
            return ZelNaming::ReadNamePart(r.host, row.key, part, &s, r.warnings);
          },
          // The reference date and time are read by their rows' functions.
          [&](ZelReferenceDate ZelSettings::*) { return TorStatus(); },
          [&](ZelReferenceTime ZelSettings::*) { return TorStatus(); },
      },
      row.member);
}

TorStatus ReadWithAnotherRow(const ZelSettingReading&, const ZelSettingRow&) { return TorStatus(); }

std::string DefaultText(const ZelSettingRow& row) {
  if (row.defaultText != nullptr) return row.defaultText;
  const ZelSettings d;
  return std::visit(
      ZelSettingVisitor{
          [&](bool ZelSettings::*m) -> std::string { return d.*m ? "true" : "false"; },
          [&](int ZelSettings::*m) -> std::string {
            for (const ZelSettingChoice& choice : row.choices) {
              if (choice.text != nullptr && choice.value == d.*m) return choice.text;
            }
            return std::to_string(d.*m);
          },
          [&](double ZelSettings::*m) -> std::string {
            // Percentages are shown in percent, as hosts send them.
            const double value = row.check == ZelSettingCheck::kPercent ? d.*m * 100.0 : d.*m;
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%g", value);
            return buffer;
          },
          [&](NamePart part) -> std::string { return ZelSettings::DefaultNamePart(part); },
          [&](ZelReferenceDate ZelSettings::*) { return std::string(); },
          [&](ZelReferenceTime ZelSettings::*) { return std::string(); },
      },
      row.member);
}
