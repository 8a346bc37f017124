// ZelLanes: the lane types the vector kernels of the data passes are
// written over, so that each statistic's update is written once, as a
// template over a lane type L, and the record-at-a-time path and the vector
// loops run the same function. `double` is the one-lane case (here);
// ZelLanes4 (ZelLanesAvx2.h, four doubles) and ZelLanes8 (ZelLanesAvx512.h,
// eight) are the vector cases. Every lane type offers, lane by lane:
//   + - * /                  each rounded apart, never a multiplication
//                            fused into an addition, so every lane gives
//                            bit for bit what the one-lane case gives;
//   L(x)                     x in every lane;
//   Min(x, m), Max(x, m)     x < m ? x : m and x > m ? x : m;
//   Greater, Less, NotEqual, NotLessEqual
//                            the C++ comparisons (!= and !(<=) true for NaN),
//                            as a mask (ZelLaneOf<L>::Mask, & and | combine);
//   Select(mask, yes, no)    yes where the mask is set, else no;
//   ZelLaneOf<L>::Skip(mask) whether an update may stop here: on one lane
//                            when its mask is clear, so that what follows
//                            runs as plain code (a select after the test
//                            folds away, where a blend would lengthen the
//                            chain from one record to the next); never on
//                            vector lanes, whose selects keep each lane;
// and ZelLaneOf<L> the width, loads and stores, a row of `kWidth` columns
// (lane j from column j), lane j stored to *to[j] (Scatter) and the mask
// of the lanes whose value is there;
// double and ZelLanes4 also the per-lane count of bounds below a value and
// the transposes between kWidth records of four doubles (lane j from
// record j) and four lane vectors (vector i from field i).
//
// Templates over L take lanes by const reference and are ZEL_LANE_INLINE.
// A vector kernel is a function with the target of its lane type and
// `flatten`, so that the template and the lane operations inline into it;
// nothing else may call the vector lane types. `flatten` does nothing in an
// unoptimised build, where a template left out of line would pass vector
// lanes between code with and without their target, which do not agree on
// where such values go: ZEL_LANE_INLINE inlines it there too.
//
// A one-lane kernel (a loop that runs a template on double, its sums held
// in registers over the rows) is marked ZEL_ONE_LANE_KERNEL: GCC would
// otherwise pack two of its sums into one vector register, as they sit
// side by side in the lane-sum struct, and take them apart and put them
// back together on every record, which costs more than the update.
#ifndef ZELCRAFT_FRAME_ZELLANES_H_
#define ZELCRAFT_FRAME_ZELLANES_H_

#include <cstddef>
#include <cstdint>

#define ZEL_LANE_INLINE __attribute__((always_inline)) inline

#if defined(__GNUC__) && !defined(__clang__)
#define ZEL_ONE_LANE_KERNEL __attribute__((optimize("no-tree-slp-vectorize")))
#else
#define ZEL_ONE_LANE_KERNEL
#endif

namespace ZelFrame {

template <class L>
struct ZelLaneOf;

inline double Min(double x, double m) { return x < m ? x : m; }
inline double Max(double x, double m) { return x > m ? x : m; }
inline bool Greater(double a, double b) { return a > b; }
inline bool Less(double a, double b) { return a < b; }
inline bool NotEqual(double a, double b) { return a != b; }
inline bool NotLessEqual(double a, double b) { return !(a <= b); }
inline double Select(bool mask, double yes, double no) { return mask ? yes : no; }

template <>
struct ZelLaneOf<double> {
  using Mask = bool;
  static constexpr std::size_t kWidth = 1;
  static double Load(const double* p) { return *p; }
  static void Store(double* p, double v) { *p = v; }
  static double Row(const double* const* columns, std::size_t k) { return columns[0][k]; }
  static bool Present(const uint8_t* const* missing, std::size_t k) { return missing[0][k] == 0; }
  static bool Any(bool mask) { return mask; }
  static bool Skip(bool mask) { return !mask; }
  static void Scatter(double* const* to, double a) { *to[0] = a; }
  static void CountBelow(const double* bounds, std::size_t n, double x, int64_t* below) {
    int64_t k = 0;
    for (std::size_t b = 0; b < n; ++b) k += bounds[b] < x ? 1 : 0;
    *below = k;
  }
  static void LoadFours(double* const* records, double* fields) {
    for (std::size_t i = 0; i < 4; ++i) fields[i] = records[0][i];
  }
  static void StoreFours(double* const* records, const double* fields) {
    for (std::size_t i = 0; i < 4; ++i) records[0][i] = fields[i];
  }
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELLANES_H_
