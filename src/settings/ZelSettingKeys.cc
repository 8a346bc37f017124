#include "settings/ZelSettingKeys.h"

#include "settings/ZelSettingTable.h"

// The defaults are taken from a fresh ZelSettings so help text and behaviour
// cannot disagree.
const std::vector<ZelSettingKey>& ZelSettingKeyCatalogue() {
  static const std::vector<ZelSettingKey> keys = [] {
    std::vector<ZelSettingKey> catalogue;
    for (const ZelSettingRow& row : ZelSettingRows()) {
      catalogue.push_back({row.key, row.type, DefaultText(row), row.help});
    }
    return catalogue;
  }();
  return keys;
}
