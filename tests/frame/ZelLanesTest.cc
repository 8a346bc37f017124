// The lane types against the one-lane case: every operation of ZelLanes4
// and ZelLanes8, and the updates written over them, must give in each lane
// bit for bit what `double` gives, on values where rounding, ties, signed
// zeros, NaN, infinities and subnormals tell implementations apart. A
// fused multiply-add, or a compare that treats NaN otherwise, fails here.
// Lanes the processor lacks are skipped, loudly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <array>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "frame/ZelLanesAvx2.h"
#include "frame/ZelLanesAvx512.h"
#include "frame/ZelVectorLevel.h"
#include "statistics/ZelCategoryMoments.h"
#include "statistics/ZelMomentSums.h"
#include "statistics/ZelPairMoments.h"

#ifdef ZEL_WIDE_VECTORS

namespace {

using ZelFrame::BestVectorLevel;
using ZelFrame::ZelLaneOf;
using ZelFrame::ZelLanes4;
using ZelFrame::ZelLanes8;
using ZelFrame::ZelVectorLevel;
using ZelStatistic::ZelCategorySums;
using ZelStatistic::ZelMomentSums;
using ZelStatistic::ZelPairSums;

constexpr int kOperations = 14;
constexpr double kInf = std::numeric_limits<double>::infinity();

// The bits of x; every NaN alike, since which of two NaN operands comes
// through depends on the operand order the compiler picks.
uint64_t Bits(double x) {
  if (std::isnan(x)) return 0x7ff8000000000000u;
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

// Operation `op` on a, b and c (a mask as 0 or 1), written once for any
// lane type; products and sums follow each other so that a fused form
// would round once where the one-lane case rounds twice.
template <class L>
ZEL_LANE_INLINE L Operation(int op, const L& a, const L& b, const L& c) {
  using ZelFrame::Greater;
  using ZelFrame::Less;
  using ZelFrame::Max;
  using ZelFrame::Min;
  using ZelFrame::NotEqual;
  using ZelFrame::NotLessEqual;
  using ZelFrame::Select;
  const L one(1.0);
  const L zero(0.0);
  switch (op) {
    case 0: return a * b + c;
    case 1: return a * b - c;
    case 2: return c - a * b;
    case 3: return a / b;
    case 4: return Min(a, b);
    case 5: return Max(a, b);
    case 6: return Select(Greater(a, b), one, zero);
    case 7: return Select(Less(a, b), one, zero);
    case 8: return Select(NotEqual(a, b), one, zero);
    case 9: return Select(NotLessEqual(a, b), one, zero);
    // Masks combined from a named one: two calls joined by & or | read as a
    // mistaken && to clang when the masks are single bools.
    case 10: {
      const auto greater = Greater(a, b);
      return Select(greater & Less(b, c), a, c);
    }
    case 11: {
      const auto greater = Greater(a, b);
      return Select(greater | Less(b, c), a, c);
    }
    case 12: return a + b * c;
    default: return (a - b) * (a + b);
  }
}

template <class L>
ZEL_LANE_INLINE void Operations(const double* a, const double* b, const double* c, double* out) {
  using Of = ZelLaneOf<L>;
  for (int op = 0; op < kOperations; ++op) {
    Of::Store(out + op * Of::kWidth,
              Operation(op, Of::Load(a), Of::Load(b), Of::Load(c)));
  }
}

__attribute__((target("avx2"), flatten)) void Operations4(const double* a, const double* b,
                                                          const double* c, double* out) {
  Operations<ZelLanes4>(a, b, c, out);
}

__attribute__((target("avx512f"), flatten)) void Operations8(const double* a, const double* b,
                                                             const double* c, double* out) {
  Operations<ZelLanes8>(a, b, c, out);
}

// Values where implementations part: ties, signed zeros, NaN, infinities,
// subnormals, and products whose rounding a fused form would skip.
std::vector<double> HardValues() {
  std::vector<double> v = {0.0,     -0.0,     1.0,     -1.0,   kInf,    -kInf,
                           std::nan(""), 4.9e-324, -4.9e-324, 2.2e-308, 1.7976931348623157e308,
                           1.0 + 0x1p-52, 1.0 - 0x1p-53, 3.0,     0.1,     1e16,
                           -1e-300};
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> any(-1e3, 1e3);
  for (int i = 0; i < 40; ++i) v.push_back(any(random));
  return v;
}

bool HasLevel(ZelVectorLevel level) {
  if (static_cast<int>(BestVectorLevel()) >= static_cast<int>(level)) return true;
  std::fprintf(stderr, "NOTE: this processor lacks %s; those lanes go unchecked here\n",
               level == ZelVectorLevel::kAvx2 ? "AVX2" : "AVX-512");
  return false;
}

// Every operation on every triple of hard values, lanes filled with
// different triples, against the one-lane result.
template <std::size_t W>
void CheckOperations(void (*lanes)(const double*, const double*, const double*, double*)) {
  const std::vector<double> v = HardValues();
  const std::size_t n = v.size();
  std::mt19937 random(5);
  for (int round = 0; round < 4000; ++round) {
    double a[W], b[W], c[W], out[kOperations * W];
    for (std::size_t j = 0; j < W; ++j) {
      a[j] = v[random() % n];
      b[j] = v[random() % n];
      c[j] = v[random() % n];
    }
    lanes(a, b, c, out);
    for (int op = 0; op < kOperations; ++op) {
      for (std::size_t j = 0; j < W; ++j) {
        const double expected = Operation(op, a[j], b[j], c[j]);
        ASSERT_EQ(Bits(out[op * W + j]), Bits(expected))
            << "operation " << op << " lane " << j << " on " << a[j] << ", " << b[j] << ", "
            << c[j];
      }
    }
  }
}

TEST(ZelLanes, EveryOperationOfFourAndEightLanesIsTheOneLaneOperation) {
  if (HasLevel(ZelVectorLevel::kAvx2)) CheckOperations<4>(Operations4);
  if (HasLevel(ZelVectorLevel::kAvx512)) CheckOperations<8>(Operations8);
}

// The three updates written over lane types, each lane a separate running
// sum fed its own values, weights and missing flags, against the same
// update on one lane.
struct Record {
  double x, y, f, w;
  bool present;
};

template <class L, std::size_t W>
ZEL_LANE_INLINE void RunUpdates(const std::array<Record, W>* records, std::size_t rows,
                                double* out) {
  using Of = ZelLaneOf<L>;
  const L zero(0.0);
  ZelPairSums<L> pair{zero, zero, zero, zero, zero};
  ZelMomentSums<L> moments{L(kInf), L(-kInf), L(0.5), zero, zero, zero, zero};
  ZelCategorySums<L> category{zero, zero, zero, zero};
  for (std::size_t k = 0; k < rows; ++k) {
    double x[W], y[W], f[W], w[W], positive[W];
    uint8_t missing[W];
    const uint8_t* flags[W];
    for (std::size_t j = 0; j < W; ++j) {
      x[j] = records[k][j].x;
      y[j] = records[k][j].y;
      f[j] = records[k][j].f;
      w[j] = records[k][j].w;
      // A summary's moments never meet a weight of 0 (it only counts).
      positive[j] = w[j] + 0.5;
      missing[j] = records[k][j].present ? 0 : 1;
      flags[j] = &missing[j];
    }
    const auto counts = Of::Present(flags, 0);
    AddPairRecord(&pair, Of::Load(x), Of::Load(y), Of::Load(f), Of::Load(w), counts);
    ZelStatistic::AddMomentRecord<false>(&moments, Of::Load(x), Of::Load(positive), counts);
    ZelStatistic::AddCategoryRecord<false>(&category, Of::Load(x), Of::Load(f), Of::Load(w),
                                           counts);
  }
  const L results[] = {pair.frequency, pair.weight,       pair.meanX,      pair.meanY,
                       pair.coMoment,  moments.minimum,   moments.maximum, moments.weightSum,
                       moments.mean,   moments.m2,        moments.m3,      category.mean,
                       category.m2,    category.frequency, category.weight};
  for (std::size_t i = 0; i < sizeof results / sizeof results[0]; ++i) {
    Of::Store(out + i * W, results[i]);
  }
}

constexpr std::size_t kSums = 15;
constexpr std::size_t kRows = 300;

__attribute__((target("avx2"), flatten)) void Updates4(const std::array<Record, 4>* records,
                                                       double* out) {
  RunUpdates<ZelLanes4, 4>(records, kRows, out);
}

__attribute__((target("avx512f"), flatten)) void Updates8(const std::array<Record, 8>* records,
                                                          double* out) {
  RunUpdates<ZelLanes8, 8>(records, kRows, out);
}

template <std::size_t W>
void CheckUpdates(void (*lanes)(const std::array<Record, W>*, double*)) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> value(-1e6, 1e6);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::array<Record, W>> records(kRows);
    for (std::size_t k = 0; k < kRows; ++k) {
      for (std::size_t j = 0; j < W; ++j) {
        Record& r = records[k][j];
        // Lane j: a far offset (1e9 give or take), whole or fractional
        // weights, weights of 0 first, missing values.
        r.x = value(random) + (j % 2 == 0 ? 1e9 : 0.0);
        r.y = value(random) * (j + 1);
        r.f = static_cast<double>(random() % 3);
        r.w = j % 3 == 0 ? 1.0 : (k < 5 && j % 3 == 1 ? 0.0 : r.f * (random() % 1000) / 250.0);
        r.present = random() % 5 != 0;
      }
    }
    double out[kSums * W];
    lanes(records.data(), out);
    for (std::size_t j = 0; j < W; ++j) {
      std::vector<std::array<Record, 1>> one(kRows);
      for (std::size_t k = 0; k < kRows; ++k) one[k][0] = records[k][j];
      double expected[kSums];
      RunUpdates<double, 1>(one.data(), kRows, expected);
      for (std::size_t i = 0; i < kSums; ++i) {
        ASSERT_EQ(Bits(out[i * W + j]), Bits(expected[i])) << "sum " << i << " lane " << j;
      }
    }
  }
}

TEST(ZelLanes, TheUpdatesOnFourAndEightLanesAreTheOneLaneUpdates) {
  if (HasLevel(ZelVectorLevel::kAvx2)) CheckUpdates<4>(Updates4);
  if (HasLevel(ZelVectorLevel::kAvx512)) CheckUpdates<8>(Updates8);
}

// The four-field transposes and the count of bounds below a value, against
// their one-lane cases.
__attribute__((target("avx2"), flatten)) void Transpose4(double* const* records,
                                                         const double* bounds, int64_t* below) {
  using Of = ZelLaneOf<ZelLanes4>;
  ZelLanes4 fields[4];
  Of::LoadFours(records, fields);
  for (ZelLanes4& f : fields) f = f + ZelLanes4(1.0);
  Of::StoreFours(records, fields);
  ZelLanes4 lanes[3];
  for (int b = 0; b < 3; ++b) lanes[b] = ZelLanes4(bounds[b]);
  Of::CountBelow(lanes, 3, Of::Load(records[0]), below);
}

TEST(ZelLanes, FourRecordsOfFourFieldsTurnIntoFourFieldsAndBack) {
  if (!HasLevel(ZelVectorLevel::kAvx2)) return;
  double store[4][4];
  double* records[4];
  for (int j = 0; j < 4; ++j) {
    records[j] = store[j];
    for (int i = 0; i < 4; ++i) store[j][i] = 10.0 * j + i;
  }
  const double bounds[3] = {1.5, 11.5, 21.5};
  int64_t below[4];
  Transpose4(records, bounds, below);
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 4; ++i) EXPECT_EQ(store[j][i], 10.0 * j + i + 1.0) << j << ", " << i;
  }
  // Record 0 after the transposes is (1, 2, 3, 4): bounds below 1, 2, 3, 4.
  const int64_t expected[4] = {0, 1, 1, 1};
  for (int j = 0; j < 4; ++j) {
    int64_t one;
    ZelLaneOf<double>::CountBelow(bounds, 3, store[0][j], &one);
    EXPECT_EQ(one, expected[j]);
    EXPECT_EQ(below[j], expected[j]) << j;
  }
}

}  // namespace

#endif  // ZEL_WIDE_VECTORS
