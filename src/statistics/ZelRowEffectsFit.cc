#include "statistics/ZelRowEffectsFit.h"

#include <algorithm>
#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelTableFit.h"

namespace ZelStatistic {

using TorCommon_1_3::TorStatus;

namespace {

constexpr int kMaxNewtonIterations = 200;
constexpr int kMaxHalvings = 60;

// Solves a x = b (a is n × n, row-major) by elimination with partial
// pivoting; false when the system is singular.
bool Solve(std::vector<double> a, std::vector<double> b, int n, std::vector<double>* x) {
  for (int k = 0; k < n; ++k) {
    int pivot = k;
    for (int i = k + 1; i < n; ++i) {
      if (std::fabs(a[i * n + k]) > std::fabs(a[pivot * n + k])) pivot = i;
    }
    if (!(std::fabs(a[pivot * n + k]) > 1e-300)) return false;
    if (pivot != k) {
      for (int j = 0; j < n; ++j) std::swap(a[k * n + j], a[pivot * n + j]);
      std::swap(b[k], b[pivot]);
    }
    for (int i = k + 1; i < n; ++i) {
      const double factor = a[i * n + k] / a[k * n + k];
      for (int j = k; j < n; ++j) a[i * n + j] -= factor * a[k * n + j];
      b[i] -= factor * b[k];
    }
  }
  x->assign(static_cast<std::size_t>(n), 0.0);
  for (int i = n - 1; i >= 0; --i) {
    double sum = b[i];
    for (int j = i + 1; j < n; ++j) sum -= a[i * n + j] * (*x)[j];
    (*x)[i] = sum / a[i * n + i];
  }
  return true;
}

}  // namespace

ZelRowEffectsFit::ZelRowEffectsFit(const ZelContingencyTable& o)
    : o_(o),
      rows_(o.Rows()),
      columns_(o.Columns()),
      rowTotals_(rows_),
      columnTotals_(columns_),
      t_(columns_) {
  for (double offset : CellOffsets(o)) logOffsets_.push_back(std::log(offset));
  double total = 0.0;
  double scoreSum = 0.0;
  const std::vector<int> scores = OrdinalScores(columns_);
  for (int j = 0; j < columns_; ++j) {
    columnTotals_[j] = o.ColumnTotal(j);
    total += columnTotals_[j];
    scoreSum += scores[j] * columnTotals_[j];
  }
  for (int i = 0; i < rows_; ++i) rowTotals_[i] = o.RowTotal(i);
  const double meanScore = total > 0.0 ? scoreSum / total : 0.0;
  for (int j = 0; j < columns_; ++j) t_[j] = scores[j] - meanScore;

  int fixed0 = -1;
  for (int j = 0; j < columns_; ++j) {
    if (columnTotals_[j] <= 0.0) continue;
    if (fixed0 < 0) {
      fixed0 = j;
    } else if (t_[j] != t_[fixed0]) {
      fixed1_ = j;
    }
  }
  for (int j = 0; j < columns_; ++j) {
    if (columnTotals_[j] > 0.0 && j != fixed0 && j != fixed1_) free_.push_back(j);
  }
  // Independence (γ_i = 1) with the margins as a start.
  start_.a.assign(rows_, 0.0);
  start_.b.assign(columns_, 0.0);
  start_.theta.assign(rows_, 0.0);
  for (int i = 0; i < rows_; ++i) {
    if (rowTotals_[i] > 0.0) start_.a[i] = std::log(rowTotals_[i]);
  }
  for (int j = 0; j < columns_; ++j) {
    if (columnTotals_[j] > 0.0) start_.b[j] = std::log(columnTotals_[j] / total);
  }
}

void ZelRowEffectsFit::Fitted(const Parameters& p, std::vector<double>* f) const {
  f->assign(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_), 0.0);
  for (int i = 0; i < rows_; ++i) {
    if (rowTotals_[i] <= 0.0) continue;
    for (int j = 0; j < columns_; ++j) {
      if (columnTotals_[j] <= 0.0) continue;
      const int cell = i * columns_ + j;
      (*f)[cell] = std::exp(p.a[i] + p.b[j] + p.theta[i] * t_[j] + logOffsets_[cell]);
    }
  }
}

// The Poisson log-likelihood up to a constant; not finite once a count
// overflowed.
double ZelRowEffectsFit::LogLikelihood(const std::vector<double>& f) const {
  double sum = 0.0;
  for (int i = 0; i < rows_; ++i) {
    for (int j = 0; j < columns_; ++j) {
      const double fitted = f[i * columns_ + j];
      const double observed = o_.Frequency(i, j);
      if (observed > 0.0) sum += observed * std::log(fitted);
      sum -= fitted;
    }
  }
  return sum;
}

// The Newton direction with each row's (a_i, θ_i) eliminated, so that only
// the free column parameters need a dense solve. A row whose fitted counts
// sit almost wholly on one score keeps its θ_i: it runs off to infinity and
// its counts already match the observed ones.
bool ZelRowEffectsFit::Direction(const std::vector<double>& f, Parameters* step) const {
  const int m = static_cast<int>(free_.size());
  std::vector<double> s(static_cast<std::size_t>(m) * static_cast<std::size_t>(m), 0.0);
  std::vector<double> rhs(m, 0.0);
  for (int k = 0; k < m; ++k) {
    double fittedTotal = 0.0;
    for (int i = 0; i < rows_; ++i) fittedTotal += f[i * columns_ + free_[k]];
    s[k * m + k] = fittedTotal;
    rhs[k] = columnTotals_[free_[k]] - fittedTotal;
  }
  // Per row: the inverse of its 2 × 2 block (m00, m01, m11) and its gradient.
  std::vector<double> inverse(static_cast<std::size_t>(rows_) * 3, 0.0);
  std::vector<double> gradient(static_cast<std::size_t>(rows_) * 2, 0.0);
  std::vector<double> w0(m), w1(m);
  for (int i = 0; i < rows_; ++i) {
    if (rowTotals_[i] <= 0.0) continue;
    double p = 0.0, q = 0.0, tt = 0.0, gTheta = 0.0;
    for (int j = 0; j < columns_; ++j) {
      const double fitted = f[i * columns_ + j];
      p += fitted;
      q += t_[j] * fitted;
      tt += t_[j] * t_[j] * fitted;
      gTheta += t_[j] * (o_.Frequency(i, j) - fitted);
    }
    if (!(p > 0.0)) continue;
    double* mi = &inverse[3 * i];
    const double g0 = rowTotals_[i] - p;
    const double g1 = gTheta;
    gradient[2 * i] = g0;
    gradient[2 * i + 1] = g1;
    const double det = p * tt - q * q;
    if (det > 1e-12 * p * tt) {
      mi[0] = tt / det;
      mi[1] = -q / det;
      mi[2] = p / det;
    } else {
      mi[0] = 1.0 / p;
    }
    // S -= B^T M B and rhs -= B^T M g, B's columns being (F_ij, t_j F_ij).
    const double mg0 = mi[0] * g0 + mi[1] * g1;
    const double mg1 = mi[1] * g0 + mi[2] * g1;
    for (int k = 0; k < m; ++k) {
      const double v0 = f[i * columns_ + free_[k]];
      const double v1 = t_[free_[k]] * v0;
      w0[k] = mi[0] * v0 + mi[1] * v1;
      w1[k] = mi[1] * v0 + mi[2] * v1;
      rhs[k] -= v0 * mg0 + v1 * mg1;
    }
    for (int k = 0; k < m; ++k) {
      const double v0 = f[i * columns_ + free_[k]];
      const double v1 = t_[free_[k]] * v0;
      for (int l = 0; l < m; ++l) s[k * m + l] -= v0 * w0[l] + v1 * w1[l];
    }
  }
  std::vector<double> db;
  if (m > 0 && !Solve(s, rhs, m, &db)) return false;
  step->a.assign(rows_, 0.0);
  step->b.assign(columns_, 0.0);
  step->theta.assign(rows_, 0.0);
  for (int k = 0; k < m; ++k) step->b[free_[k]] = db[k];
  for (int i = 0; i < rows_; ++i) {
    const double* mi = &inverse[3 * i];
    double r0 = gradient[2 * i];
    double r1 = gradient[2 * i + 1];
    for (int k = 0; k < m; ++k) {
      const double v0 = f[i * columns_ + free_[k]];
      r0 -= v0 * db[k];
      r1 -= t_[free_[k]] * v0 * db[k];
    }
    step->a[i] = mi[0] * r0 + mi[1] * r1;
    step->theta[i] = mi[1] * r0 + mi[2] * r1;
  }
  return true;
}

TorStatus ZelRowEffectsFit::Run(std::vector<double>* fitted) {
  const TorStatus noFit(ZelStatusCode::kNoStatisticalValue, false);
  Parameters current = start_;
  std::vector<double> f;
  Fitted(current, &f);
  double likelihood = LogLikelihood(f);
  Parameters step;
  Parameters trial;
  std::vector<double> g;
  for (int iteration = 0; iteration < kMaxNewtonIterations; ++iteration) {
    if (!Direction(f, &step)) return noFit;
    bool accepted = false;
    double scale = 1.0;
    for (int halving = 0; halving < kMaxHalvings && !accepted; ++halving, scale *= 0.5) {
      trial = current;
      for (int i = 0; i < rows_; ++i) {
        trial.a[i] += scale * step.a[i];
        trial.theta[i] += scale * step.theta[i];
      }
      for (int j = 0; j < columns_; ++j) trial.b[j] += scale * step.b[j];
      Fitted(trial, &g);
      const double l = LogLikelihood(g);
      accepted = std::isfinite(l) && l >= likelihood - 1e-12 * std::fabs(likelihood);
      if (accepted) likelihood = l;
    }
    // No step improves the likelihood: the fit is as close as doubles allow.
    double change = 0.0;
    if (accepted) {
      for (std::size_t c = 0; c < f.size(); ++c) change = std::max(change, std::fabs(g[c] - f[c]));
      std::swap(current, trial);
      f.swap(g);
    }
    if (!accepted || change <= kFitTolerance) {
      *fitted = f;
      return TorStatus();
    }
  }
  return noFit;
}

}  // namespace ZelStatistic
