// ZelCategoryMoments: the summary of a continuous value within one group of
// records (a category of another field, an interval of its own values): its
// weighted mean, its second moment about that mean, the record count (sum of
// frequency weights) and the weight (sum of frequency times analysis
// weight). The analysis of variance, supervised binning and the robust
// outlier statistic work on lists of these. The update is written once,
// over a lane type (frame/ZelLanes.h): Add is its one-lane case, and the
// outlier statistic's vector loop runs it with one statistic to a lane.
#ifndef ZELCRAFT_STATISTICS_ZELCATEGORYMOMENTS_H_
#define ZELCRAFT_STATISTICS_ZELCATEGORYMOMENTS_H_

#include "frame/ZelLanes.h"

namespace ZelStatistic {

// The four sums of ZelCategoryMoments, in its order, one group to a lane.
template <class L>
struct ZelCategorySums {
  L mean{};
  L m2{};
  L frequency{};
  L weight{};
};

// Adds value x of frequency f and moment weight w to the lanes `counts`
// marks; a record of weight 0 only counts. With kUnit w is 1 and the
// product and quotient by it are left out: they would not change a bit,
// only cost a division. The first record adds no spread: its 0 times a
// square past the largest double would be not a number, where the same
// record later in a pass makes the spread infinite.
template <bool kUnit, class L>
ZEL_LANE_INLINE void AddCategoryRecord(ZelCategorySums<L>* s, const L& x, const L& f, const L& w,
                                       const typename ZelFrame::ZelLaneOf<L>::Mask& counts) {
  using ZelFrame::Greater;
  using ZelFrame::Select;
  const L zero(0.0);
  const L previous = s->weight;
  const L sum = previous + w;
  s->weight = Select(counts, sum, previous);
  s->frequency = Select(counts, s->frequency + f, s->frequency);
  const auto weighed = kUnit ? counts : counts & Greater(w, zero);
  const auto moves = weighed & Greater(sum, zero);
  if (ZelFrame::ZelLaneOf<L>::Skip(moves)) return;
  const L deviation = x - s->mean;
  const L d = kUnit ? deviation / sum : deviation * w / sum;
  s->mean = Select(moves, s->mean + d, s->mean);
  const L t = d * d * sum * previous;
  const auto spreads = moves & Greater(previous, zero);
  s->m2 = Select(spreads, s->m2 + (kUnit ? t : t / w), s->m2);
}

// The one-lane sums, updated in place.
struct ZelCategoryMoments : ZelCategorySums<double> {
  // The weighted one-pass update; a record of weight 0 only counts.
  void Add(double x, double f, double w) {
    if (w == 1.0) {
      AddCategoryRecord<true>(this, x, f, 1.0, true);
    } else {
      AddCategoryRecord<false>(this, x, f, w, true);
    }
  }
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELCATEGORYMOMENTS_H_
