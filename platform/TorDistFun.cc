// Distribution functions on Boost.Math. Errors are reported through the
// policy as NaN (never thrown) and turned into the missing value.
#include "torcommon13r/TorDistFun.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <cmath>

#include "torcommon13r/TorMV.h"

namespace TorMath_1_3 {

namespace {

using namespace boost::math::policies;
using Quiet = policy<domain_error<ignore_error>, overflow_error<ignore_error>,
                     evaluation_error<ignore_error>, pole_error<ignore_error>,
                     rounding_error<ignore_error>>;

bool Positive(double df) { return std::isfinite(df) && df > 0.0; }

double Checked(double result) {
  return std::isnan(result) ? TorCommon_1_3::TorMV::gMissingValue : result;
}

}  // namespace

double TorDistFun::CdfChi(double x, double df) {
  if (std::isnan(x) || !Positive(df)) return TorCommon_1_3::TorMV::gMissingValue;
  if (x <= 0.0) return 0.0;
  return Checked(boost::math::cdf(boost::math::chi_squared_distribution<double, Quiet>(df), x));
}

double TorDistFun::CdfT(double x, double df) {
  if (std::isnan(x) || !Positive(df)) return TorCommon_1_3::TorMV::gMissingValue;
  return Checked(boost::math::cdf(boost::math::students_t_distribution<double, Quiet>(df), x));
}

double TorDistFun::CdfF(double x, double df1, double df2) {
  if (std::isnan(x) || !Positive(df1) || !Positive(df2)) {
    return TorCommon_1_3::TorMV::gMissingValue;
  }
  if (x <= 0.0) return 0.0;
  return Checked(boost::math::cdf(boost::math::fisher_f_distribution<double, Quiet>(df1, df2), x));
}

double TorDistFun::IdfF(double p, double df1, double df2) {
  if (!(p >= 0.0 && p <= 1.0) || !Positive(df1) || !Positive(df2)) {
    return TorCommon_1_3::TorMV::gMissingValue;
  }
  return Checked(
      boost::math::quantile(boost::math::fisher_f_distribution<double, Quiet>(df1, df2), p));
}

}  // namespace TorMath_1_3
