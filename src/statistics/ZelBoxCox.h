// ZelBoxCox: chooses the Box-Cox exponent of a continuous target, or of a
// skewed continuous input (which may instead ask for the moments of its
// signed logarithm, sign(x) ln(1 + |x|), to transform it that way). Each
// exponent of a grid transforms the target, shifted so that its smallest
// value becomes 1, into its own summary; the exponent whose profile
// log-likelihood is largest wins (ties go to the smaller one). The target
// step then rescales the transformed target to the requested mean and
// standard deviation. It needs the target's finished univariate summary (for
// the shift), so it takes a pass after the univariate one.
//
// The pass must see the values the univariate pass saw. A value at or below
// the shift (below the minimum found then, which only a source that changes
// between passes can deliver) has no transform: it stores 210017, which ends
// the build, rather than feeding undefined numbers into the choice.
#ifndef ZELCRAFT_STATISTICS_ZELBOXCOX_H_
#define ZELCRAFT_STATISTICS_ZELBOXCOX_H_

#include <cstdint>
#include <vector>

#include "statistics/ZelContSummary.h"
#include "statistics/ZelStatistics.h"

namespace ZelStatistic {

// ((x - shift)^lambda - 1) / lambda, or ln(x - shift) when lambda is 0.
double BoxCoxTransform(double x, double shift, double lambda);
// sign(x) ln(1 + |x|), as the document writes it: ln(1 + |x|) times
// (2 threshold(x, 0) - 1).
double SignedLog(double x);
// The same from ln(x - shift), which a whole grid of exponents shares.
double BoxCoxOfLog(double logValue, double lambda);

class ZelBoxCox : public ZelStatistics {
 public:
  // The grid runs from `start` in steps of `step` while below `end`, then
  // takes `end` itself; an empty or reversed grid stores 210014. `minimum`
  // is the target's smallest value; `desiredStdDev` and `desiredMean` are
  // what the transformed target is rescaled to.
  ZelBoxCox(const ZelSettings* settings, uint32_t fieldIndex, double start, double end, double step,
            double minimum, double desiredStdDev, double desiredMean);

  // Integer and Real values only (else 210010); a value at or below the
  // shift stores 210017.
  TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) override;
  TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch) override;
  bool TakesBatches() const override { return true; }
  TorCommon_1_3::TorStatus Finalize() override;
  void WriteState(ZelStateWriter* out) const override;
  bool ReadState(ZelStateReader* in) override;

  // Rewrites `univariate`, the target's finished ZelUnivarCont (else
  // 210007), in the transformed, rescaled scale. 210017 when the chosen
  // transform has no spread. A negative desired standard deviation mirrors
  // the scale; the extremes are then swapped so the range stays ordered.
  TorCommon_1_3::TorStatus ApplyToUnivariate(ZelStatistics& univariate);

  // Gathers the summary of sign(x) ln(1 + |x|) instead of the exponent
  // grid, which a signed logarithm does not use; call before the pass.
  void TrackSignedLog() {
    exponents_.clear();
    summaries_.clear();
    signedLog_.assign(1, ZelContSummary(false, 0));
  }
  // Null unless tracked.
  const ZelContSummary* GetSignedLog() const {
    return signedLog_.empty() ? nullptr : &signedLog_.front();
  }

  uint32_t GetFieldIndex() const { return fieldIndex_; }
  double GetMinimum() const { return minimum_; }
  const std::vector<double>& GetExponents() const { return exponents_; }
  double GetExponent() const { return exponent_; }
  double GetShift() const { return shift_; }
  double GetTransformedMean() const { return transformedMean_; }
  // -1 until Finalize.
  double GetTransformedStdDev() const { return transformedStdDev_; }
  double GetTransformedSkewness() const { return transformedSkewness_; }
  double GetDesiredStdDev() const { return desiredStdDev_; }
  double GetDesiredMean() const { return desiredMean_; }

 private:
  uint32_t fieldIndex_;
  double desiredStdDev_;
  double desiredMean_;
  double exponent_ = 0.0;
  double minimum_;
  double shift_;
  double transformedStdDev_ = -1.0;
  double transformedMean_ = 0.0;
  double logSum_ = 0.0;  // sum of f * ln(x - shift)
  double transformedSkewness_ = 0.0;
  std::vector<double> exponents_;
  std::vector<ZelContSummary> summaries_;  // one per exponent
  std::vector<ZelContSummary> signedLog_;  // empty, or the signed logarithm's
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELBOXCOX_H_
