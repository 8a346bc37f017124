// The settings keys a host may send, with their value types and defaults, so
// a host can build, check and document its settings container.
#ifndef ZELCRAFT_SETTINGS_ZELSETTINGKEYS_H_
#define ZELCRAFT_SETTINGS_ZELSETTINGKEYS_H_

#include <string>
#include <vector>

enum class ZelSettingType { kBool, kInt, kDouble, kString };

struct ZelSettingKey {
  std::string name;          // exact key text
  ZelSettingType type;       // the type the component reads it with
  std::string defaultValue;  // as text, for help output
  std::string description;   // one line
};

// Every key the component reads, in reading order.
const std::vector<ZelSettingKey>& ZelSettingKeyCatalogue();

#endif  // ZELCRAFT_SETTINGS_ZELSETTINGKEYS_H_
