// ZelMomentSums: the running extremes and moments of ZelContSummary (mean,
// second and third moment about the first value seen), and their update by
// one record, written once over a lane type (frame/ZelLanes.h): AddValue
// runs it on one lane, the side-by-side loops on one summary per lane.
#ifndef ZELCRAFT_STATISTICS_ZELMOMENTSUMS_H_
#define ZELCRAFT_STATISTICS_ZELMOMENTSUMS_H_

#include <array>

#include "frame/ZelLanes.h"

namespace ZelStatistic {

template <class L>
struct ZelMomentSums {
  L minimum;
  L maximum;
  L shift;
  L weightSum;
  L mean;  // of the shifted values
  L m2;
  L m3;

  // The fields in order, to move them between lane types one at a time.
  static constexpr std::array<L ZelMomentSums::*, 7> Fields() {
    return {&ZelMomentSums::minimum, &ZelMomentSums::maximum, &ZelMomentSums::shift,
            &ZelMomentSums::weightSum, &ZelMomentSums::mean, &ZelMomentSums::m2,
            &ZelMomentSums::m3};
  }
};

// Adds value x of moment weight `weight` to the lanes `counts` marks; a
// lane keeps its moments while its weight sum is not positive. With kUnit
// the weight is 1 and its products and quotients are left out: they would
// not change a bit, only cost divisions.
template <bool kUnit, class L>
ZEL_LANE_INLINE void AddMomentRecord(ZelMomentSums<L>* s, const L& x, const L& weight,
                                     const typename ZelFrame::ZelLaneOf<L>::Mask& counts) {
  using ZelFrame::Greater;
  using ZelFrame::Max;
  using ZelFrame::Min;
  using ZelFrame::Select;
  s->minimum = Select(counts, Min(x, s->minimum), s->minimum);
  s->maximum = Select(counts, Max(x, s->maximum), s->maximum);
  const L previousWeightSum = s->weightSum;
  const L w = previousWeightSum + weight;
  s->weightSum = Select(counts, w, previousWeightSum);
  const auto moves = counts & Greater(w, L(0.0));
  if (ZelFrame::ZelLaneOf<L>::Skip(moves)) return;
  const L deviation = x - s->shift - s->mean;
  const L d = kUnit ? deviation / w : deviation * weight / w;
  s->mean = Select(moves, s->mean + d, s->mean);
  // t = d * W * Wprev / w, shared by both moment increments.
  const L dw = d * w * previousWeightSum;
  const L t = kUnit ? dw : dw / weight;
  const L twice = kUnit ? L(2.0) : L(2.0) * weight;
  const L third = (w - twice) * d * d * t;
  const L m3 = s->m3 + ((kUnit ? third : third / weight) - L(3.0) * d * s->m2);
  s->m3 = Select(moves, m3, s->m3);
  s->m2 = Select(moves, s->m2 + d * t, s->m2);
}

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELMOMENTSUMS_H_
