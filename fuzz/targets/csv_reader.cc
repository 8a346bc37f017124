// The CSV reader and loader take any bytes: the first byte chooses the cell
// delimiter and the roles, the rest is the file. Whatever loads is built
// through the component when it is small, so odd data reaches every step.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CsvReader.h"
#include "FuzzHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  const unsigned choice = bytes[0];
  static const char kDelimiters[] = {',', ';', '\t', '|'};
  const char delimiter = kDelimiters[choice & 3];
  const std::string_view csv(reinterpret_cast<const char*>(bytes) + 1, size - 1);

  // Roles name header fields: the first as target, the last as weight.
  zelcli::FieldRoles roles;
  zelcli::CsvReader header(csv, delimiter);
  std::vector<zelcli::CsvCell> cells;
  if (header.NextRow(&cells) && !cells.empty()) {
    if (choice & 4) roles.target = std::string(cells.front().text);
    if ((choice & 8) && cells.size() > 1) roles.frequencyWeight = std::string(cells.back().text);
    if ((choice & 16) && cells.size() > 2) roles.analysisWeight = std::string(cells[1].text);
  }
  const zelcli::Schema schema;
  zelcli::LoadedData data;
  if (!zelfuzz::Load(csv, delimiter, schema, roles, &data)) return 0;
  if (data.store.rows() <= 64 && data.store.names.size() <= 16) {
    TorCommon_1_3::TorSettings settings;
    if (!roles.analysisWeight.empty()) settings.SetString("analysisWeight", roles.analysisWeight);
    zelfuzz::Build(data, roles, settings);
  }
  return 0;
}
