// Writes one hard table (HardTables.h) over BLOCKS blocks of 65,536 rows for
// the tests that prepare it on several paths: DIR/data.csv, DIR/schema.json
// and DIR/prepare.json (the target, the weights and the settings as
// KEY=VALUE texts).
//   zelcraft-hard-tables SEED BLOCKS DIR
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "HardTables.h"

namespace {

bool Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: zelcraft-hard-tables SEED BLOCKS DIR\n");
    return 2;
  }
  const uint64_t seed = std::strtoull(argv[1], nullptr, 10);
  const hardtables::HardTable table =
      hardtables::MakeHardTable(seed, hardtables::RowsForBlocks(seed, std::atoi(argv[2])));
  const std::string dir = argv[3];
  std::string prepare = "{\"target\": \"" + table.target + "\", \"frequency_weight\": \"" +
                        table.frequencyWeight + "\", \"analysis_weight\": \"" +
                        table.analysisWeight + "\", \"settings\": [";
  for (std::size_t i = 0; i < table.settings.size(); ++i) {
    prepare += (i > 0 ? ", \"" : "\"") + table.settings[i] + "\"";
  }
  prepare += "]}\n";
  const bool written = Write(dir + "/data.csv", table.csv) &&
                       Write(dir + "/schema.json", table.schema) &&
                       Write(dir + "/prepare.json", prepare);
  return written ? 0 : 1;
}
