// ZelPairMoments: the running co-moment of two continuous values over the
// records where both are valid, with their pairwise means, record count and
// weight. With the same field on both sides it is that field's second moment.
#ifndef ZELCRAFT_STATISTICS_ZELPAIRMOMENTS_H_
#define ZELCRAFT_STATISTICS_ZELPAIRMOMENTS_H_

namespace ZelStatistic {

struct ZelPairMoments {
  double frequency = 0.0;
  double weight = 0.0;
  double meanX = 0.0;
  double meanY = 0.0;
  double coMoment = 0.0;

  void Add(double x, double y, double f, double w) {
    frequency += f;
    weight += w;
    if (weight <= 0.0) return;
    // A share of 0 (the first record) adds nothing: its 0 times a product
    // past the largest double would be not a number.
    const double share = w - w * w / weight;
    if (share != 0.0) coMoment += (x - meanX) * (y - meanY) * share;
    meanX += (x - meanX) * w / weight;
    meanY += (y - meanY) * w / weight;
  }
  // The co-moment over the count less one; 0 below two records, where it
  // has no value.
  double Covariance() const { return frequency > 1.0 ? coMoment / (frequency - 1.0) : 0.0; }
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELPAIRMOMENTS_H_
