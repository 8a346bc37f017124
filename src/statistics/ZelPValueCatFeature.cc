#include "statistics/ZelPValueCatFeature.h"

#include <cmath>
#include <limits>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelTableFit.h"
#include "torcommon13r/TorDistFun.h"
#include "torcommon13r/TorMV.h"

namespace ZelStatistic {

using TorCommon_1_3::TorStatus;
using TorMath_1_3::TorDistFun;

ZelPValueCatFeature::~ZelPValueCatFeature() = default;

double ZelPValueCatFeature::Fail(int code) {
  status_ = TorStatus(code, false);
  return -1.0;
}

double ZelPValueCatFeature::UpperTail(double cdf) {
  if (TorCommon_1_3::TorMV::IsMissing(cdf)) return Fail(ZelStatusCode::kNoStatisticalValue);
  return 1.0 - cdf;
}

double ZelPValueCatFeature::PValueContTarget(const std::vector<ZelCategoryMoments>& categories) {
  status_ = TorStatus();
  statistic_ = df1_ = df2_ = 0.0;
  // The grand mean weighs each category mean by its weight.
  double grand = 0.0;
  double cumulative = 0.0;
  for (const ZelCategoryMoments& c : categories) {
    cumulative += c.weight;
    if (cumulative > 0.0) grand += (c.mean - grand) * c.weight / cumulative;
  }
  double between = 0.0;
  double within = 0.0;
  double records = 0.0;
  for (const ZelCategoryMoments& c : categories) {
    between += c.weight * (c.mean - grand) * (c.mean - grand);
    within += c.m2;
    records += c.frequency;
  }
  // Nothing varies within the categories: they account for all variation.
  if (std::fabs(within) < std::numeric_limits<double>::epsilon()) return 0.0;
  const double k = static_cast<double>(categories.size());
  df1_ = k - 1.0;
  df2_ = records - k;
  statistic_ = (between / df1_) / (within / df2_);
  return UpperTail(TorDistFun::CdfF(statistic_, df1_, df2_));
}

double ZelPValueCatFeature::PValueCatTarget(const ZelContingencyTable& table, bool ordinalTarget) {
  status_ = TorStatus();
  statistic_ = df1_ = df2_ = 0.0;
  const int rows = table.Rows();
  const int columns = table.Columns();
  if (columns < 2) return 1.0;
  std::vector<double> expected;
  status_ = FitIndependence(table, &expected);
  if (status_.IsError()) return -1.0;
  double statistic = 0.0;
  if (!ordinalTarget) {
    for (int i = 0; i < rows; ++i) {
      for (int j = 0; j < columns; ++j) {
        const double e = expected[i * columns + j];
        if (e == 0.0) continue;
        const double d = table.Frequency(i, j) - e;
        statistic += d * d / e;
      }
    }
    df1_ = static_cast<double>(rows - 1) * static_cast<double>(columns - 1);
  } else {
    std::vector<double> fitted;
    status_ = FitRowEffects(table, &fitted);
    if (status_.IsError()) return -1.0;
    for (std::size_t c = 0; c < fitted.size(); ++c) {
      const double e = expected[c];
      if (e == 0.0 || !(fitted[c] / e > 0.0)) continue;
      statistic += fitted[c] * std::log(fitted[c] / e);
    }
    statistic *= 2.0;
    df1_ = static_cast<double>(rows - 1);
  }
  statistic_ = statistic;
  return UpperTail(TorDistFun::CdfChi(statistic_, df1_));
}

}  // namespace ZelStatistic
