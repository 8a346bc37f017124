// The CSV reader and loader take any bytes: the first byte chooses the cell
// delimiter and the roles, the rest is the file. Whatever loads is built
// through the component when it is small, so odd data reaches every step.
// The row reader of apply and inverse must read the same rows, cells and
// errors as the whole-text reader, whatever its chunk size and with or
// without its helper thread.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzHost.h"
#include "io/CsvRows.h"
#include "support/CsvReader.h"

namespace {

// Each row as its line and cells (quoted ones marked), then the error.
template <typename Reader>
std::string ReadAll(Reader& reader) {
  std::string rows;
  std::vector<zelio::CsvCell> cells;
  while (reader.NextRow(&cells)) {
    rows += std::to_string(reader.rowLine()) + ":";
    for (const zelio::CsvCell& cell : cells) {
      rows += std::to_string(cell.text.size()) + (cell.quoted ? "q" : "u");
      rows.append(cell.text);
    }
    rows += "\n";
  }
  return rows + "end: " + reader.error();
}

bool StreamedDiffers(std::string_view csv, char delimiter, std::size_t chunk, bool threaded) {
  testhost::CsvReader whole(csv, delimiter);
  std::istringstream in{std::string(csv)};
  zelio::CsvRows streamed(in, delimiter, threaded, chunk);
  return ReadAll(whole) != ReadAll(streamed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  const unsigned choice = bytes[0];
  static const char kDelimiters[] = {',', ';', '\t', '|'};
  const char delimiter = kDelimiters[choice & 3];
  const std::string_view csv(reinterpret_cast<const char*>(bytes) + 1, size - 1);

  // Roles name header fields: the first as target, the last as weight.
  zelio::FieldRoles roles;
  testhost::CsvReader header(csv, delimiter);
  std::vector<zelio::CsvCell> cells;
  if (header.NextRow(&cells) && !cells.empty()) {
    if (choice & 4) roles.target = std::string(cells.front().text);
    if ((choice & 8) && cells.size() > 1) roles.frequencyWeight = std::string(cells.back().text);
    if ((choice & 16) && cells.size() > 2) roles.analysisWeight = std::string(cells[1].text);
  }
  const std::size_t chunk = 4 + (choice >> 5);
  if (StreamedDiffers(csv, delimiter, chunk, false) || StreamedDiffers(csv, delimiter, chunk, true)) {
    __builtin_trap();
  }

  const zelio::Schema schema;
  zelio::LoadedData data;
  if (!zelfuzz::Load(csv, delimiter, schema, roles, &data)) return 0;
  if (data.store.rows() <= 64 && data.store.names.size() <= 16) {
    TorCommon_1_3::TorSettings settings;
    if (!roles.analysisWeight.empty()) settings.SetString("analysisWeight", roles.analysisWeight);
    zelfuzz::Build(data, roles, settings);
  }
  return 0;
}
