// Smoothed target means computed by hand from generated rows, for the tests
// of the target-mean step: (S + m·p) / (W + m) per category over the rows
// with a category, a target and a positive weight, p being the weighted mean
// of those rows.
#ifndef ZELCRAFT_TESTS_SUPPORT_TARGETMEANS_H_
#define ZELCRAFT_TESTS_SUPPORT_TARGETMEANS_H_

#include <cmath>
#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace targetmeans {

struct Row {
  std::string category;  // "" for a missing category
  double y;
  bool yMissing;
  double weight;  // frequency times analysis weight; 0 drops the row
};

struct Means {
  std::map<std::string, double> byCategory;
  double prior = NAN;
};

// With `fold` from 0 to 4, the rows whose number mod 5 is `fold` are left
// out, as the cross-fitted training rows of that fold see the others.
inline Means Smoothed(const std::vector<Row>& rows, double m, int fold = -1) {
  std::map<std::string, std::pair<double, double>> sums;  // sum, weight
  double sum = 0.0;
  double weight = 0.0;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Row& row = rows[r];
    if (fold >= 0 && static_cast<int>(r % 5) == fold) continue;
    if (row.category.empty() || row.yMissing || !(row.weight > 0.0)) continue;
    sums[row.category].first += row.weight * row.y;
    sums[row.category].second += row.weight;
    sum += row.weight * row.y;
    weight += row.weight;
  }
  Means means;
  means.prior = sum / weight;
  for (const auto& entry : sums) {
    means.byCategory[entry.first] =
        (entry.second.first + m * means.prior) / (entry.second.second + m);
  }
  return means;
}

}  // namespace targetmeans

#endif  // ZELCRAFT_TESTS_SUPPORT_TARGETMEANS_H_
