// ZelPairMoments: the running co-moment of two continuous values over the
// records where both are valid, with their pairwise means, record count and
// weight. With the same field on both sides it is that field's second moment.
// The update is written once, over a lane type (frame/ZelLanes.h): Add is
// its one-lane case, and the vector kernels (ZelPairLanes) and the loops
// that share one row's sums between pairs run the same steps lane by lane.
#ifndef ZELCRAFT_STATISTICS_ZELPAIRMOMENTS_H_
#define ZELCRAFT_STATISTICS_ZELPAIRMOMENTS_H_

#include "frame/ZelLanes.h"

namespace ZelStatistic {

// A record's share of the co-moment: w - w^2 / W, W the weight sum with it.
template <class L>
ZEL_LANE_INLINE L PairShare(const L& w, const L& weight) {
  return w - w * w / weight;
}
// The co-moment with a record's deviations from the means before it.
template <class L>
ZEL_LANE_INLINE L CoMomentStep(const L& coMoment, const L& dx, const L& dy, const L& share) {
  return coMoment + dx * dy * share;
}
// A mean moved by a record's deviation; with kUnit the weight is 1 and its
// product is left out (a deviation times 1 is itself).
template <bool kUnit, class L>
ZEL_LANE_INLINE L MeanStep(const L& mean, const L& deviation, const L& w, const L& weight) {
  return mean + (kUnit ? deviation : deviation * w) / weight;
}

// One pair's sums in each lane.
template <class L>
struct ZelPairSums {
  L frequency{};
  L weight{};
  L meanX{};
  L meanY{};
  L coMoment{};
};

// Adds a record (x, y) of frequency f and weight w to the lanes `counts`
// marks; a lane whose weight sum is not positive keeps its moments, and a
// share of 0 (the first record) adds nothing: its 0 times a product past
// the largest double would be not a number.
template <class L>
ZEL_LANE_INLINE void AddPairRecord(ZelPairSums<L>* s, const L& x, const L& y, const L& f,
                                   const L& w,
                                   const typename ZelFrame::ZelLaneOf<L>::Mask& counts) {
  using ZelFrame::NotEqual;
  using ZelFrame::NotLessEqual;
  using ZelFrame::Select;
  const L zero(0.0);
  s->frequency = Select(counts, s->frequency + f, s->frequency);
  s->weight = Select(counts, s->weight + w, s->weight);
  const auto moves = counts & NotLessEqual(s->weight, zero);
  if (ZelFrame::ZelLaneOf<L>::Skip(moves)) return;
  const L dx = x - s->meanX;
  const L dy = y - s->meanY;
  const L share = PairShare(w, s->weight);
  const auto shares = moves & NotEqual(share, zero);
  s->coMoment = Select(shares, CoMomentStep(s->coMoment, dx, dy, share), s->coMoment);
  s->meanX = Select(moves, MeanStep<false>(s->meanX, dx, w, s->weight), s->meanX);
  s->meanY = Select(moves, MeanStep<false>(s->meanY, dy, w, s->weight), s->meanY);
}

// The one-lane sums, updated in place.
struct ZelPairMoments : ZelPairSums<double> {
  void Add(double x, double y, double f, double w) { AddPairRecord(this, x, y, f, w, true); }
  // The co-moment over the count less one; 0 below two records, where it
  // has no value.
  double Covariance() const { return frequency > 1.0 ? coMoment / (frequency - 1.0) : 0.0; }
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELPAIRMOMENTS_H_
