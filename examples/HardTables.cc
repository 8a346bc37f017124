#include "HardTables.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "ExampleCalendar.h"
#include "ExampleRandom.h"

namespace hardtables {

namespace {

void Number(std::string* out, double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  out->append(text);
}

void Whole(std::string* out, int64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%" PRId64, value);
  out->append(text);
}

// The choices a seed makes for the whole table.
struct Shape {
  int hugeExponent;      // the magnitude of the large column
  bool nominalTarget;
  bool boxCox;
  bool frequencyWeight;
  bool analysisWeight;
  int categoryLimit;     // 0: the default
  bool outliersToMissing;
  int64_t run;           // rows per run of one category
  int64_t emptyBlock;    // the block where one column has no value
};

Shape ShapeOf(uint64_t seed, int64_t blocks) {
  static const int kExponents[] = {0, 100, 154, 200, 300, 308};
  Shape shape;
  shape.hugeExponent = kExponents[seed % 6];
  shape.nominalTarget = seed % 3 == 1;
  shape.boxCox = seed % 3 == 2;
  shape.frequencyWeight = (seed / 3) % 4 == 1 || (seed / 3) % 4 == 3;
  shape.analysisWeight = (seed / 3) % 4 >= 2;
  shape.categoryLimit = seed % 5 == 4 ? 20 : 0;
  shape.outliersToMissing = seed % 2 == 1;
  shape.run = 1 + static_cast<int64_t>(seed % 97);
  shape.emptyBlock = static_cast<int64_t>(seed % static_cast<uint64_t>(blocks));
  return shape;
}

}  // namespace

int64_t RowsForBlocks(uint64_t seed, int blocks, int64_t blockRows) {
  // The last block is full for one seed in five, else it holds up to 4,096
  // rows, enough for every path to meet it.
  const int64_t tail = blockRows < 4096 ? blockRows : 4096;
  const int64_t last =
      seed % 5 == 3 ? blockRows
                    : 1 + static_cast<int64_t>((seed * 7919 + 1000) % static_cast<uint64_t>(tail));
  return static_cast<int64_t>(blocks - 1) * blockRows + last;
}

HardTable MakeHardTable(uint64_t seed, int64_t rows, int64_t blockRows) {
  const int64_t blocks = (rows + blockRows - 1) / blockRows;
  const Shape shape = ShapeOf(seed, blocks > 0 ? blocks : 1);
  ExampleRandom random(seed * 0x9E3779B97F4A7C15ull + 17);
  HardTable table;
  table.rows = rows;
  table.target = shape.nominalTarget ? "yc" : "y";
  if (shape.frequencyWeight) table.frequencyWeight = "fw";
  if (shape.analysisWeight) table.analysisWeight = "aw";
  table.schema =
      R"({"fields": {"x": {"storage": "real"}, "patchy": {"storage": "real"},)"
      R"( "empty": {"storage": "real"}, "constant": {"storage": "real"},)"
      R"( "lone": {"storage": "real"}, "huge": {"storage": "real"}, "tiny": {"storage": "real"},)"
      R"( "label": {"storage": "string"}, "kind": {"storage": "string"},)"
      R"( "code": {"storage": "integer", "level": "nominal"},)"
      R"( "grade": {"storage": "integer", "level": "ordinal"}, "born": {"storage": "date"},)"
      R"( "fw": {"storage": "real"}, "aw": {"storage": "real"}, "y": {"storage": "real"},)"
      R"( "yc": {"storage": "string"}}})";
  // Durations from a fixed date and time, whenever the table is prepared.
  table.settings = {"computeDateDuration=true", "referenceDateForDurations=20000",
                    "computeTimeDuration=true", "referenceTimeForDurations=43200"};
  if (shape.boxCox) {
    table.settings.push_back("rescaleScaleTargetUsingBoxCox=true");
    table.settings.push_back("targetSD=1");
  }
  if (shape.categoryLimit > 0) {
    table.settings.push_back("excludeFeatureIfHasManyUniqueCatogories=true");
    table.settings.push_back("maxNOfUniqueCategories=" + std::to_string(shape.categoryLimit));
  }
  if (shape.outliersToMissing) table.settings.push_back("outliersOperation=setToMissingVal");

  static const char* const kKinds[] = {"red", "green", "blue", "grey"};
  static const double kTiny[] = {0.0, -0.0, 4.9406564584124654e-324, -4.9406564584124654e-324,
                                 2.2250738585072014e-308, 1e-310, -3e-320, 1e-300};
  static const double kFrequencies[] = {1, 1, 2, 2.5, 3.25, 1, 0.4, 0};
  static const double kAnalysis[] = {1, 0.25, 0.5, 1.75, 3, 1, 0.125, 2};
  std::string& csv = table.csv;
  csv.reserve(static_cast<std::size_t>(rows) * 150 + 200);
  csv = "x,patchy,empty,constant,lone,huge,tiny,label,kind,code,grade,born,fw,aw,y,yc\n";
  const double scale = std::pow(10.0, shape.hugeExponent);
  for (int64_t i = 0; i < rows; ++i) {
    const int64_t block = i / blockRows;
    const double x = 10.0 + 3.0 * random.Normal() + (random.Chance(0.0005) ? 60.0 : 0.0);
    const bool xMissing = random.Chance(0.02);
    if (!xMissing) Number(&csv, x);
    csv += ',';
    if (block != shape.emptyBlock && !random.Chance(0.01)) Number(&csv, random.Uniform() * 100 - 50);
    csv += ",,7.25,";
    if (random.Chance(0.001)) csv += "3.5";
    csv += ',';
    // Mostly moderate, now and then a value of the table's magnitude, up
    // to 8.9e307: two values of either sign differ by less than the largest
    // double, which any running mean and its merges subtract.
    if (random.Chance(0.002)) {
      const double huge = (0.1 + 0.79 * random.Uniform()) * scale;
      Number(&csv, random.Chance(0.5) ? huge : -huge);
    } else if (!random.Chance(0.01)) {
      Number(&csv, random.Uniform() * 2000 - 1000);
    }
    csv += ',';
    const double tiny = kTiny[random.Next() % 8];
    Number(&csv, random.Chance(0.5) ? tiny : tiny * static_cast<double>(1 + random.Next() % 5));
    csv += ",L";
    // Runs of one label, 300 labels in an order that is neither ascending
    // nor the same from one block to the next.
    Whole(&csv, (i / shape.run * 37 + block * 101) % 300);
    csv += ',';
    if (!random.Chance(0.03)) csv += kKinds[random.Next() % 4];
    csv += ',';
    Whole(&csv, (i / (shape.run + 3) * 53 + block * 7) % 150 + 1000);
    csv += ',';
    const int64_t grade = 1 + static_cast<int64_t>(random.Next() % 7);
    Whole(&csv, grade);
    csv += ',';
    if (!random.Chance(0.01)) csv += DateText(-29220 + static_cast<int64_t>(random.Next() % 51500));
    csv += ',';
    Number(&csv, kFrequencies[random.Next() % 8]);
    csv += ',';
    Number(&csv, kAnalysis[random.Next() % 8]);
    csv += ',';
    const double noise = random.Normal();
    if (!random.Chance(0.01)) Number(&csv, 2.0 * (xMissing ? 10.0 : x) + grade + noise + 40.0);
    csv += ',';
    if (!random.Chance(0.01)) {
      csv += noise + grade * 0.3 > 1.5 ? "yes" : noise < -0.5 ? "no" : "maybe";
    }
    csv += '\n';
  }
  return table;
}

}  // namespace hardtables
