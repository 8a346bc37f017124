// SettingsFile: fills the host settings container from a JSON object of
// settings keys and from KEY=VALUE assignments, typing every value by the
// component's key catalogue. Unknown keys are refused with the closest known
// key as a hint, since a misspelt key would otherwise be silently ignored.
// The keys a host may send that have no effect are accepted with a warning.
// Both lists come from the component (ZelFactory::GetSettingKeys and
// GetKeysWithoutEffect).
#ifndef ZELCRAFT_IO_SETTINGSFILE_H_
#define ZELCRAFT_IO_SETTINGSFILE_H_

#include <string>
#include <string_view>
#include <vector>

#include "settings/ZelSettingKeys.h"
#include "status/Status.h"
#include "torcommon13r/TorSettings.h"

namespace zelio {

class SettingsFile {
 public:
  // Both lists must outlive the reader.
  SettingsFile(const std::vector<ZelSettingKey>& keys, const std::vector<std::string>& withoutEffect)
      : keys_(keys), withoutEffect_(withoutEffect) {}

  // Every key of the file's top-level object. A key without effect adds a
  // line to `warnings`.
  zelstatus::Status LoadFile(const std::string& path, TorCommon_1_3::TorSettings* settings,
                             std::vector<std::string>* warnings) const;
  // The same for the file's text; `name` prefixes the messages.
  zelstatus::Status LoadText(std::string_view text, const std::string& name,
                             TorCommon_1_3::TorSettings* settings,
                             std::vector<std::string>* warnings) const;
  // "KEY=VALUE", the value text read as the key's type.
  zelstatus::Status Assign(const std::string& assignment, TorCommon_1_3::TorSettings* settings,
                           std::vector<std::string>* warnings) const;

  // The known key nearest to `name` by edit distance, ignoring case.
  std::string ClosestKey(const std::string& name) const;

 private:
  const ZelSettingKey* Find(const std::string& name) const;  // null: unknown
  std::string UnknownKey(const std::string& name) const;     // the message, with a hint
  bool WithoutEffect(const std::string& name) const;

  const std::vector<ZelSettingKey>& keys_;
  const std::vector<std::string>& withoutEffect_;
};

// The type's name as help texts and messages show it.
const char* SettingTypeName(ZelSettingType type);

}  // namespace zelio

#endif  // ZELCRAFT_IO_SETTINGSFILE_H_
