#include "settings/ZelSettingKeys.h"

const std::vector<ZelSettingKey>& ZelSettingKeyCatalogue() {
  static const std::vector<ZelSettingKey> keys;
  return keys;
}
