#include "statistics/ZelTableFit.h"

#include <algorithm>
#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelRowEffectsFit.h"

namespace ZelStatistic {

using TorCommon_1_3::TorStatus;

namespace {

constexpr int kMaxScalingIterations = 10000;

}  // namespace

std::vector<double> CellOffsets(const ZelContingencyTable& o) {
  std::vector<double> offsets;
  offsets.reserve(static_cast<std::size_t>(o.Rows()) * static_cast<std::size_t>(o.Columns()));
  for (int i = 0; i < o.Rows(); ++i) {
    for (int j = 0; j < o.Columns(); ++j) {
      const double f = o.Frequency(i, j);
      const double mean = f > 0.0 ? o.Weighted(i, j) / f : 0.0;
      offsets.push_back(mean != 0.0 && std::isfinite(mean) ? 1.0 / mean : 1.0);
    }
  }
  return offsets;
}

std::vector<int> OrdinalScores(int columns) {
  std::vector<int> scores(columns > 0 ? columns : 0, 0);
  for (int j = 0; columns > 1 && j < columns; ++j) scores[j] = 100 * j / (columns - 1);
  return scores;
}

TorStatus FitIndependence(const ZelContingencyTable& o, std::vector<double>* fitted) {
  const int rows = o.Rows();
  const int columns = o.Columns();
  const std::vector<double> offsets = CellOffsets(o);
  std::vector<double> alpha(rows, 1.0);
  std::vector<double>& e = *fitted;
  e = offsets;  // α = β = 1
  for (int iteration = 0; iteration < kMaxScalingIterations; ++iteration) {
    for (int i = 0; i < rows; ++i) {
      double sum = 0.0;
      for (int j = 0; j < columns; ++j) sum += e[i * columns + j];
      alpha[i] = sum > 0.0 ? alpha[i] * o.RowTotal(i) / sum : 0.0;
    }
    double change = 0.0;
    for (int j = 0; j < columns; ++j) {
      double scale = 0.0;
      for (int i = 0; i < rows; ++i) scale += alpha[i] * offsets[i * columns + j];
      const double beta = scale > 0.0 ? o.ColumnTotal(j) / scale : 0.0;
      for (int i = 0; i < rows; ++i) {
        double& cell = e[i * columns + j];
        const double next = alpha[i] * beta * offsets[i * columns + j];
        change = std::max(change, std::fabs(next - cell));
        cell = next;
      }
    }
    if (change <= kFitTolerance) return TorStatus();
  }
  return TorStatus(ZelStatusCode::kNoStatisticalValue, false);
}

TorStatus FitRowEffects(const ZelContingencyTable& o, std::vector<double>* fitted) {
  ZelRowEffectsFit fit(o);
  // With fewer than two scores among the records γ changes nothing.
  if (!fit.IsIdentified()) return FitIndependence(o, fitted);
  return fit.Run(fitted);
}

}  // namespace ZelStatistic
