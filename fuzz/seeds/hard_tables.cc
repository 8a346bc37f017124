// Seeds of fuzz_hard_tables: tables of every shape the first seeds make (each
// magnitude of the large column, both kinds of target, with and without
// weights), in blocks of 8 to 263 rows, cut into runs of one row and of 13,
// 53, 7 and 97 rows in turn or of 64 rows, merged in order and along a
// tree.
#include <cstdint>
#include <string>

#include "../SeedWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const char* dir = argv[1];
  for (uint64_t seed = 0; seed < 12; ++seed) {
    std::string input;
    for (int i = 0; i < 8; ++i) input.push_back(static_cast<char>(seed >> (8 * i)));
    // 20 + rows % 600 rows: 40 for the first table, which runs of one row cut.
    const int rows = seed == 0 ? 20 : 40 + static_cast<int>(seed) * 47;
    input.push_back(static_cast<char>(rows & 0xff));
    input.push_back(static_cast<char>(rows >> 8));
    input.push_back(static_cast<char>(seed * 37));  // blocks of 8 + this % 256 rows
    input.push_back(static_cast<char>(seed % 2));   // a tree for odd seeds
    const char cuts[3][4] = {{0, 0, 0, 0}, {12, 52, 6, 96}, {63, 63, 63, 63}};
    input.append(cuts[seed == 0 ? 0 : 1 + seed % 2], 4);
    if (!zelfuzz::Seed(dir, "seed" + std::to_string(seed), input)) return 1;
  }
  return 0;
}
