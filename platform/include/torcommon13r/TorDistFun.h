// TorDistFun: lower-tail distribution functions of the chi-square, t and F
// distributions and the inverse of the F distribution function. An invalid
// argument (non-positive degrees of freedom, NaN, p outside [0, 1]) gives
// TorMV::gMissingValue; nothing throws.
#ifndef TORCOMMON13R_TORDISTFUN_H_
#define TORCOMMON13R_TORDISTFUN_H_

namespace TorMath_1_3 {

class TorDistFun {
 public:
  static double CdfChi(double x, double df);
  static double CdfT(double x, double df);
  static double CdfF(double x, double df1, double df2);
  static double IdfF(double p, double df1, double df2);
};

}  // namespace TorMath_1_3

#endif  // TORCOMMON13R_TORDISTFUN_H_
