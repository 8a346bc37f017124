// ZelCategoryMoments: the summary of a continuous value within one group of
// records (a category of another field, an interval of its own values): its
// weighted mean, its second moment about that mean, the record count (sum of
// frequency weights) and the weight (sum of frequency times analysis
// weight). The analysis of variance, supervised binning and the robust
// outlier statistic work on lists of these.
#ifndef ZELCRAFT_STATISTICS_ZELCATEGORYMOMENTS_H_
#define ZELCRAFT_STATISTICS_ZELCATEGORYMOMENTS_H_

namespace ZelStatistic {

struct ZelCategoryMoments {
  double mean = 0.0;
  double m2 = 0.0;
  double frequency = 0.0;
  double weight = 0.0;

  // The weighted one-pass update; a record of weight 0 only counts.
  void Add(double x, double f, double w) {
    const double previous = weight;
    weight += w;
    if (w > 0.0 && weight > 0.0) {
      // With unit weights the product and quotient by w are left out: they
      // would not change a bit, only cost a division.
      const bool unit = w == 1.0;
      const double d = unit ? (x - mean) / weight : (x - mean) * w / weight;
      mean += d;
      // The first record adds no spread: its 0 times a square past the
      // largest double would be not a number, where the same record later
      // in a pass makes the spread infinite.
      const double t = previous > 0.0 ? d * d * weight * previous : 0.0;
      m2 += unit ? t : t / w;
    }
    frequency += f;
  }
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELCATEGORYMOMENTS_H_
