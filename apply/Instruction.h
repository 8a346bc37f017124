// Instruction and the tables instructions consult: the flat form of the
// expressions of a preparation document. An instruction reads slots of a
// Frame and writes one slot; lookups (linear norms, value maps, bins) keep
// their compiled tables in the Program.
#ifndef ZELCRAFT_APPLY_INSTRUCTION_H_
#define ZELCRAFT_APPLY_INSTRUCTION_H_

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "Value.h"

namespace zelapply {

constexpr uint32_t kNoSlot = std::numeric_limits<uint32_t>::max();

enum class Op : uint8_t {
  kStore,  // a derived field takes its expression's value
  kAdd,
  kSubtract,
  kMultiply,
  kDivide,
  kLn,
  kExp,
  kPow,
  kAbs,
  kMax,
  kThreshold,  // 1 when the first argument exceeds the second, else 0
  kFloor,
  kTrimEnd,
  kDateDifference,
  kDatePart,
  kTimeDifference,
  kTimePart,
  kCopy,  // recasts and reordering keep the value as it is
  kOutlier,
  kNormContinuous,
  kMapValues,
  kDiscretize,
};

struct Instruction {
  Op op = Op::kStore;
  // Date and time parts: 0 year or hour, 1 month or minute, 2 day or second.
  // Outliers: 0 pull back to the band, 1 set to missing. Store: the
  // field's ValueType, which texts are converted to.
  uint8_t selector = 0;
  uint32_t dst = 0;
  uint32_t a = 0;
  // The second argument. Store: the source field whose whole numbers keep
  // the result whole, or kNoSlot.
  uint32_t b = kNoSlot;
  uint32_t extra = 0;      // table index, or offset into the argument list
  double parameter = 1.0;  // the divisor of a date or time difference
};

// A field's user-missing values, as the document's data dictionary
// describes them.
struct MissingDefinition {
  uint32_t slot = 0;
  bool hasRange = false;
  double low = 0.0;
  double high = 0.0;
  std::vector<double> numbers;
  std::vector<std::string> strings;
};

enum class OutlierTreatment : uint8_t { kAsIs, kAsMissing, kAsExtreme };

// NormContinuous: piecewise linear through the (orig, norm) points.
struct NormTable {
  std::vector<double> orig;  // strictly ascending
  std::vector<double> norm;
  OutlierTreatment outliers = OutlierTreatment::kAsIs;
  bool identity = false;  // every point maps to itself: values pass unchanged
  bool hasMissing = false;
  double mapMissingTo = 0.0;

  void Apply(const Value& in, Value* out) const;
};

// What a MapValues or a Discretize gives besides its rows: its
// "mapMissingTo" for a missing input and its "defaultValue" for an input no
// row holds; either absent, a missing value of the output type.
struct TableOutputs {
  ValueType outputType = ValueType::kString;
  bool hasMissing = false;
  Value missingOutput;
  bool hasDefault = false;
  Value defaultOutput;

  void ForMissing(Value* out) const;
  void ForUnmatched(Value* out) const;
};

// What the "crossFitting" extension of a MapValues says: the table maps a
// category to the smoothed mean of the target (or of the indicator of one
// of its categories) over the whole training data, and a host preparing that
// data gives each row the mean over the other folds instead (CrossFit.h).
struct CrossFitSpec {
  int folds = 0;
  double smoothing = 0.0;
  std::string target;
  bool hasCategory = false;
  std::string category;
  std::string frequencyWeight;  // empty: none
  std::string analysisWeight;
  uint32_t input = 0;  // the slot of the mapped field
};

// MapValues over one column: texts match exactly, numbers by value.
struct MapTable : TableOutputs {
  std::vector<std::pair<std::string, uint32_t>> texts;  // sorted; index into outputs
  std::vector<std::pair<double, uint32_t>> numbers;     // sorted
  std::vector<Value> outputs;
  bool copyOthers = false;  // the "recodeElseCopy" extension
  // Its index among the program's cross-fitted tables, or -1. Such a table
  // keeps one output per row, so that an output's index names the row.
  int crossFit = -1;

  void Apply(const Value& in, Value* out) const;
  // The output a present input matches; null for none.
  const Value* Find(const Value& in) const;
};

// Discretize: the first bin whose interval holds the value.
struct BinTable : TableOutputs {
  struct Bin {
    double left;  // -infinity without a left margin
    double right;
    bool leftClosed;
    bool rightClosed;
    Value output;
  };
  std::vector<Bin> bins;

  void Apply(const Value& in, Value* out) const;
};

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_INSTRUCTION_H_
