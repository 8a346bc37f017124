// GemsData: a synthetic table of cut gemstones for speed and memory
// measurements: ten fields (carat, cut, color, clarity, depth, table, price
// and the three dimensions x, y, z), three of them quoted texts, the price a
// whole number that grows with the weight and the quality, and the weight
// and dimensions strongly correlated. About 51 bytes a row. The same row
// count always gives the same file.
#ifndef ZELCRAFT_EXAMPLES_GEMSDATA_H_
#define ZELCRAFT_EXAMPLES_GEMSDATA_H_

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>

#include "ExampleRandom.h"

namespace gems {

constexpr uint64_t kSeed = 20260105;
// The row count of the reference measurement: 53,940 rows twenty times over.
constexpr int64_t kReferenceRows = 1078800;

// Index into a table of cumulative probabilities.
inline int Pick(ExampleRandom& random, const double* cumulative, int n) {
  const double u = random.Uniform();
  int i = 0;
  while (i < n - 1 && u >= cumulative[i]) ++i;
  return i;
}

// Writes the header and `rows` rows.
inline void WriteGemsCsv(std::ostream& out, int64_t rows) {
  static const char* const kCuts[] = {"Fair", "Good", "Very Good", "Premium", "Ideal"};
  static const double kCutShare[] = {0.03, 0.12, 0.34, 0.60, 1.0};
  static const char* const kColors[] = {"D", "E", "F", "G", "H", "I", "J"};
  static const double kColorShare[] = {0.13, 0.31, 0.49, 0.70, 0.85, 0.95, 1.0};
  static const char* const kClarities[] = {"I1", "SI2", "SI1", "VS2", "VS1", "VVS2", "VVS1", "IF"};
  static const double kClarityShare[] = {0.014, 0.184, 0.426, 0.653, 0.805, 0.899, 0.967, 1.0};
  ExampleRandom random(kSeed);
  out << "\"carat\",\"cut\",\"color\",\"clarity\",\"depth\",\"table\",\"price\",\"x\",\"y\",\"z\"\n";
  char line[256];
  for (int64_t r = 0; r < rows; ++r) {
    const double carat =
        std::round(std::clamp(std::exp(-0.45 + 0.58 * random.Normal()), 0.2, 5.01) * 100) / 100;
    const int cut = Pick(random, kCutShare, 5);
    const int color = Pick(random, kColorShare, 7);
    const int clarity = Pick(random, kClarityShare, 8);
    const double depth = std::round((61.7 + 1.4 * random.Normal()) * 10) / 10;
    double table = 57.5 + 2.2 * random.Normal();
    table = random.Chance(0.8) ? std::round(table) : std::round(table * 10) / 10;
    const double quality = 1.0 + 0.06 * cut - 0.05 * color + 0.07 * clarity;
    const double price = std::clamp(
        std::round(3900 * std::pow(carat, 1.7) * quality * std::exp(0.18 * random.Normal())), 326.0,
        18823.0);
    double x = std::round((6.45 * std::cbrt(carat) + 0.05 * random.Normal()) * 100) / 100;
    double y = std::round((x + 0.04 * random.Normal()) * 100) / 100;
    double z = std::round((0.618 * (x + y) / 2 + 0.03 * random.Normal()) * 100) / 100;
    // A few rows carry unmeasured dimensions, as in real catalogues.
    if (random.Chance(0.0003)) x = y = z = 0.0;
    std::snprintf(line, sizeof line, "%.2f,\"%s\",\"%s\",\"%s\",%.1f,%g,%.0f,%.2f,%.2f,%.2f\n",
                  carat, kCuts[cut], kColors[color], kClarities[clarity], depth, table, price, x,
                  y, z);
    out << line;
  }
}

}  // namespace gems

#endif  // ZELCRAFT_EXAMPLES_GEMSDATA_H_
