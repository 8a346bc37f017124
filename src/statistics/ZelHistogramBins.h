// The two loops of a histogram's batch: placing values in bins of equal
// width, and folding rows without weights into their bins.
//
// GuessBins places a value where the equal widths put it and keeps that bin
// only when the bounds confirm it; every bin it keeps is the one the search
// of ZelUnivarContHistogram gives. AddUnweightedToBins adds 1 to a row's bin
// weight and count and moves the bin's mean toward the value by
// (x - mean) / weight, every bin meeting its rows in order, for several
// histograms side by side. Where the processor has AVX2 both take four rows
// at a time (GuessBins eight with AVX-512), each lane doing the scalar
// operations, so sums are bit for bit the plain loop's. The level is the
// passes' (frame/ZelVectorLevel).
#ifndef ZELCRAFT_STATISTICS_ZELHISTOGRAMBINS_H_
#define ZELCRAFT_STATISTICS_ZELHISTOGRAMBINS_H_

#include <cstddef>
#include <cstdint>

namespace ZelStatistic {

// A row in no bin: a missing value, or one GuessBins leaves to the search.
constexpr uint32_t kNoBin = 0xffffffffu;

// A value lies beyond a bin's upper bound when it exceeds it by this much.
constexpr double kHistogramBoundTolerance = 1e-14;

// Bins of the values x[0, n) among last + 1 bins of ascending upper bounds
// (`padded` holds -inf, then the bounds): the bin (x - minimum) * inverseWidth
// guesses when x lies beyond the bound below it and short of its own, else
// kNoBin. The number of kNoBin rows.
std::size_t GuessBins(const double* x, std::size_t n, double minimum, double inverseWidth,
                      const double* padded, uint32_t last, uint32_t* bins);

// One histogram's rows [0, rows): value x[k] into bin bins[k], or none for
// kNoBin, and its bins' sums.
struct ZelBinSums {
  const double* x;
  const uint32_t* bins;
  std::size_t rows;
  std::size_t binCount;
  double* weights;
  double* means;
  int64_t* counts;
  // Set by AddUnweightedToBins: the counts were taken from the weights.
  bool countsFollow;
};

// The rows of `count` histograms, each histogram's rows in order, four rows
// of each in turn so that the chains of divisions of rows sharing a bin
// overlap with the other histograms' work.
void AddUnweightedToBins(ZelBinSums* sums, std::size_t count);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELHISTOGRAMBINS_H_
