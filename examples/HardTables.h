// HardTables: seeded tables of the data shapes that bite where rows are cut
// into blocks, threads, partitions and streams: a column without a value,
// one missing only in some blocks, a constant one, one with a single value
// among missing ones, magnitudes up to 1e308 (below half the largest
// double, so that no two values differ by more than it), subnormals and
// signed zeros, texts and whole numbers with more categories than the
// limit met in an order that changes along the rows, dates before 1970,
// frequency weights of 0 and fractions, analysis weights, and a continuous
// or a categorical target. Each table comes as CSV text with the schema,
// roles and settings to prepare it with; the same seed and row count give
// the same table everywhere (no <random> distributions, no clock).
#ifndef ZELCRAFT_EXAMPLES_HARDTABLES_H_
#define ZELCRAFT_EXAMPLES_HARDTABLES_H_

#include <cstdint>
#include <string>
#include <vector>

namespace hardtables {

struct HardTable {
  std::string csv;       // a header row of field names, then the rows
  std::string schema;    // the fields' storage and levels, as --schema reads it
  std::string target;
  std::string frequencyWeight;  // empty: none
  std::string analysisWeight;   // empty: none
  std::vector<std::string> settings;  // KEY=VALUE, as --set takes them
  int64_t rows = 0;
};

// `blockRows` says where the blocks fall, so that a column can be missing in
// a whole block; tables of the passes' blocks take 65,536.
HardTable MakeHardTable(uint64_t seed, int64_t rows, int64_t blockRows = 65536);

// The rows of a table that spans `blocks` blocks of `blockRows`: the last
// block full (one seed in five) or short, by seed.
int64_t RowsForBlocks(uint64_t seed, int blocks, int64_t blockRows = 65536);

}  // namespace hardtables

#endif  // ZELCRAFT_EXAMPLES_HARDTABLES_H_
