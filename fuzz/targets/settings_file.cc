// The settings readers take any text, as a JSON file and as one KEY=VALUE
// assignment; settings they accept drive a build of a fixed small data set,
// so the component's own settings reader and every step see them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzHost.h"
#include "io/SettingsFile.h"

using ZelFrame::ZelFactory;

namespace {

const char kData[] =
    "x,y,n,s,d,t,w\n"
    "1,5.5,3,a,2020-01-02,10:00:00,1\n"
    "2,3.25,1,b,2021-03-04,23:59:59,2\n"
    "3,,2,a,1969-12-31,00:00:00,1\n"
    "4,1,3,c,,12:30:00,3\n"
    "5,8,1,b,2000-02-29,06:15:00,1\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string text(reinterpret_cast<const char*>(bytes), size);
  const zelio::SettingsFile keys(ZelFactory::GetSettingKeys(), ZelFactory::GetKeysWithoutEffect());
  TorCommon_1_3::TorSettings settings;
  std::vector<std::string> warnings;
  keys.Assign(text, &settings, &warnings);
  settings.Clear();
  std::string error;
  if (!keys.LoadText(text, "fuzz.json", &settings, &warnings).ok() ||
      !ZelFactory::ReviewSettings(settings, &warnings, &error)) {
    return 0;
  }
  zelio::FieldRoles roles;
  roles.target = "s";
  roles.frequencyWeight = "w";
  settings.GetSettingValByName("analysisWeight", roles.analysisWeight);
  const zelio::Schema schema;
  zelio::LoadedData data;
  if (!zelfuzz::Load(kData, ',', schema, roles, &data)) return 0;
  zelfuzz::Build(data, roles, settings);
  return 0;
}
