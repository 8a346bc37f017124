// ZelPairLanes: vector kernels for running pair moments, picked at run time
// by what the processor offers (AVX2, four doubles to a vector; AVX-512,
// eight) with the plain loops of the callers as the fallback. Every lane
// runs the steps of ZelPairMoments::Add, the same templates over a lane
// type (frame/ZelLanes.h), so a kernel's sums are bit for bit those of the
// plain loop; only the instructions differ. The level is the passes'
// (frame/ZelVectorLevel).
#ifndef ZELCRAFT_STATISTICS_ZELPAIRLANES_H_
#define ZELCRAFT_STATISTICS_ZELPAIRLANES_H_

#include <cstddef>
#include <cstdint>

#include "frame/ZelVectorLevel.h"
#include "statistics/ZelPairMoments.h"

namespace ZelStatistic {

// The sums that fields share while every field has met every row: one
// frequency and weight sum, each field's mean and the co-moment of every
// pair, lower triangle with diagonal, row by row.
struct ZelLockstepSums {
  double frequency = 0.0;
  double weight = 0.0;
  double* means = nullptr;
  double* coMoments = nullptr;
};

// Adds `rows` complete rows of `order` columns (`weights` the moment weight
// of each row, `frequencies` null for one each) to `sums` with vector lanes.
// False, with nothing done, when there is no kernel for so many fields.
bool AddLockstepRowsWide(std::size_t order, const double* const* columns, std::size_t rows,
                         const double* frequencies, const double* weights,
                         ZelLockstepSums* sums);

// The two columns of a pair and their missing flags.
struct ZelPairColumns {
  const double* x = nullptr;
  const double* y = nullptr;
  const uint8_t* xMissing = nullptr;
  const uint8_t* yMissing = nullptr;
};

// Adds `rows` rows to four pairs, one to a lane, each counting the rows where
// both its values are there. False, with nothing done, without vector lanes.
bool AddFourPairsWide(ZelPairMoments* pairs, const ZelPairColumns* columns, std::size_t rows,
                      const double* frequencies, const double* weights);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELPAIRLANES_H_
