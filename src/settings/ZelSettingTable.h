// ZelSettingTable: every settings key the component reads, one row each: its
// name, the type a host sends it with, the ZelSettings member it sets, how a
// value is checked, the key whose value it is read under, the default and
// help line of the key catalogue, and its display label. The reader, the
// catalogue (help texts and docs), ZelSettings::Display and the build
// identity all walk these rows, so a new key is one row plus its member.
//
// Rows are in reading order, which is also the catalogue's order; the first
// invalid value stops the reading, so the order decides which of two bad
// values is reported. The display shows members in their declaration order
// in ZelSettings, whatever the rows' order.
#ifndef ZELCRAFT_SETTINGS_ZELSETTINGTABLE_H_
#define ZELCRAFT_SETTINGS_ZELSETTINGTABLE_H_

#include <string>
#include <variant>
#include <vector>

#include "settings/ZelSettingKeys.h"
#include "settings/ZelSettings.h"
#include "torcommon13r/TorSettings.h"
#include "torcommon13r/TorStatus.h"
#include "torcommon13r/TorVarList.h"

// The member a key sets: a plain member, a reference date or time, or one of
// the user-visible name parts.
using ZelSettingMember =
    std::variant<bool ZelSettings::*, int ZelSettings::*, double ZelSettings::*,
                 ZelReferenceDate ZelSettings::*, ZelReferenceTime ZelSettings::*, NamePart>;

// How a present number is checked before it is stored; a failed check is
// the row's error and stops the reading.
enum class ZelSettingCheck {
  kNone,
  kPositive,  // > 0, else kNonPositiveSD
  kPValue,    // in (0, 1], else kBadPValue
  kPercent,   // given in percent, stored as a fraction, not checked
};

// A text a string key accepts, the member value it stands for and the word
// the display shows for that value. A choice with a null text takes any
// other text; without one, another text keeps the member.
struct ZelSettingChoice {
  const char* text;
  int value;
  const char* label;
};

// The key whose given value decides whether a row is read: a bool key given
// true (`text` null), or a string key given as `text` (`equal`) or given as
// anything else.
struct ZelSettingCondition {
  const char* key = nullptr;
  const char* text = nullptr;
  bool equal = true;
};

struct ZelSettingRow;

// What a row's reading sees: the host's keys and fields (fields may be
// null), the settings being filled and the warning list (may be null).
struct ZelSettingReading {
  const TorCommon_1_3::TorSettings& host;
  const TorCommon_1_3::TorVarList* fields;
  ZelSettings& settings;
  std::vector<TorCommon_1_3::TorStatus>* warnings;

  template <typename T>
  bool Get(const char* key, T& out) const {
    return host.GetSettingValByName(key, out);
  }
};

// Reads a row whose key needs more than its type and check: an error status
// stops the reading.
using ZelSettingRead = TorCommon_1_3::TorStatus (*)(const ZelSettingReading&,
                                                    const ZelSettingRow&);

struct ZelSettingRow {
  const char* key = nullptr;
  ZelSettingType type = ZelSettingType::kBool;
  ZelSettingMember member;
  const char* help = nullptr;  // the catalogue's one line
  const char* label = nullptr;  // display label; null: shown under another row's, or not at all
  ZelSettingCheck check = ZelSettingCheck::kNone;
  std::vector<ZelSettingChoice> choices;  // a string key's texts, for an int member
  ZelSettingCondition readWhen;           // none: always read
  const char* defaultText = nullptr;      // the catalogue's default; null: the member's
  ZelSettingRead read = nullptr;          // null: by type, check and choices
  // The display's text for the member, where neither the value nor a
  // choice's label tells it.
  const char* (*shownAs)(const ZelSettings&) = nullptr;

  // Row modifiers, for the table's readability.
  ZelSettingRow& Shown(const char* displayLabel) {
    label = displayLabel;
    return *this;
  }
  ZelSettingRow& When(const char* boolKey) {
    readWhen = {boolKey, nullptr, true};
    return *this;
  }
  ZelSettingRow& WhenGivenAs(const char* stringKey, const char* value) {
    readWhen = {stringKey, value, true};
    return *this;
  }
  ZelSettingRow& WhenGivenOtherThan(const char* stringKey, const char* value) {
    readWhen = {stringKey, value, false};
    return *this;
  }
  ZelSettingRow& ReadBy(ZelSettingRead function) {
    read = function;
    return *this;
  }
  ZelSettingRow& Default(const char* text) {
    defaultText = text;
    return *this;
  }
  ZelSettingRow& ShownAs(const char* (*text)(const ZelSettings&)) {
    shownAs = text;
    return *this;
  }
};

// Overloaded callables for std::visit on a ZelSettingMember, one per kind.
template <typename... F>
struct ZelSettingVisitor : F... {
  using F::operator()...;
};
template <typename... F>
ZelSettingVisitor(F...) -> ZelSettingVisitor<F...>;

// Every key, in reading order.
const std::vector<ZelSettingRow>& ZelSettingRows();

// The row of `key`; null for a key the component does not read.
const ZelSettingRow* FindSettingRow(const std::string& key);

// The catalogue's default of a row, as text: the member's value in a fresh
// ZelSettings (percentages in percent, a choice by its text) unless the row
// names one.
std::string DefaultText(const ZelSettingRow& row);

// Reads one row: nothing when its condition is not met, else by its read
// function or by its type, check and choices.
TorCommon_1_3::TorStatus ReadSettingRow(const ZelSettingReading& reading,
                                        const ZelSettingRow& row);

// For rows whose key another row's read function reads with its own.
TorCommon_1_3::TorStatus ReadWithAnotherRow(const ZelSettingReading& reading,
                                            const ZelSettingRow& row);

#endif  // ZELCRAFT_SETTINGS_ZELSETTINGTABLE_H_
