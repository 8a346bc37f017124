// The schema reader takes any text; a schema it accepts is applied to a fixed
// small data set, so the field plans meet every combination of storage,
// level, role, labels, missing definitions and categories.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzHost.h"

namespace {

const char kData[] =
    "id,age,size,region,code,when,at,t\n"
    "1,34,small,N,007,2020-01-02,10:00:00,y\n"
    "2,,large,S,012,2021-03-04 05:06:07,23:59:59.5,n\n"
    "3,999,medium,N,100,1969-12-31,00:00:00,y\n"
    "4,51,small,?,101,,12:30:00,\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  zelio::Schema schema;
  if (!zelio::ParseSchema(text, "fuzz.json", &schema).ok()) return 0;
  zelio::FieldRoles roles;
  for (const auto& field : schema.fields) {
    if (field.second.role == zelio::Role::kTarget) roles.target = field.first;
  }
  zelio::LoadedData data;
  if (!zelfuzz::Load(kData, ',', schema, roles, &data)) return 0;
  TorCommon_1_3::TorSettings settings;
  zelfuzz::Build(data, roles, settings);
  return 0;
}
