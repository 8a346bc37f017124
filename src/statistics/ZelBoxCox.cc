#include "statistics/ZelBoxCox.h"

#include <algorithm>
#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelUnivarCont.h"
#include "torcommon13r/TorVariable.h"

using ZelFrame::ZelBatch;
using ZelFrame::ZelBatchColumn;

namespace ZelStatistic {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

double BoxCoxTransform(double x, double shift, double lambda) {
  return BoxCoxOfLog(std::log(x - shift), lambda);
}

double SignedLog(double x) {
  return std::log(1.0 + std::fabs(x)) * (2.0 * (x > 0.0 ? 1.0 : 0.0) - 1.0);
}

double BoxCoxOfLog(double logValue, double lambda) {
  // expm1 keeps the digits that v^lambda - 1 loses for exponents near 0.
  return lambda == 0.0 ? logValue : std::expm1(lambda * logValue) / lambda;
}

ZelBoxCox::ZelBoxCox(const ZelSettings* settings, uint32_t fieldIndex, double start, double end,
                     double step, double minimum, double desiredStdDev, double desiredMean)
    : ZelStatistics(settings, kBoxCox),
      fieldIndex_(fieldIndex),
      desiredStdDev_(desiredStdDev),
      desiredMean_(desiredMean),
      minimum_(minimum),
      shift_(minimum - 1.0) {
  if (!(start < end) || !(step > 0.0)) {
    Fail(ZelStatusCode::kUnsupportedKind);
    return;
  }
  // Multiples of the step rather than a running sum: the grid then meets 0
  // exactly whenever 0 is start plus a whole number of steps.
  for (int k = 0;; ++k) {
    const double exponent = start + k * step;
    if (!(exponent < end)) break;
    exponents_.push_back(exponent);
  }
  exponents_.push_back(end);
  // Only the moments matter: a table limit of 0 keeps one entry at most.
  summaries_.assign(exponents_.size(), ZelContSummary(false, 0));
}

TorStatus ZelBoxCox::AddRecord(const RawRecord& record) {
  if (status_.IsError()) return status_;
  const RawData& value = record[fieldIndex_];
  const double frequency = FrequencyWeight(record);
  const int64_t count = CountIncrement(frequency);
  if (value.IsMissing()) {
    for (ZelContSummary& summary : summaries_) summary.AddMissing(count);
    for (ZelContSummary& summary : signedLog_) summary.AddMissing(count);
    return status_;
  }
  if (value.GetStorage() != TorCommon_1_3::kStorageInteger &&
      value.GetStorage() != TorCommon_1_3::kStorageReal) {
    return Fail(ZelStatusCode::kBadValueType);
  }
  const double x = value.GetReal();
  if (!(x - shift_ > 0.0)) return Fail(ZelStatusCode::kNumericalFailure);
  const double logValue = std::log(x - shift_);
  logSum_ += logValue * frequency;
  const double weight = frequency * AnalysisWeight(record);
  for (std::size_t i = 0; i < exponents_.size(); ++i) {
    summaries_[i].AddValue(BoxCoxOfLog(logValue, exponents_[i]), count, weight);
  }
  for (ZelContSummary& summary : signedLog_) summary.AddValue(SignedLog(x), count, weight);
  return status_;
}

TorStatus ZelBoxCox::AddBatch(const ZelBatch& batch) {
  if (status_.IsError()) return status_;
  const ZelBatchColumn& column = batch.Column(static_cast<int>(fieldIndex_));
  const double* frequencies = FrequencyWeights(batch);
  const double* analysis = AnalysisWeights(batch);
  for (std::size_t k = 0; k < batch.Rows(); ++k) {
    const double frequency = frequencies != nullptr ? frequencies[k] : 1.0;
    const int64_t count = CountIncrement(frequency);
    if (column.missing[k] != 0) {
      for (ZelContSummary& summary : summaries_) summary.AddMissing(count);
      for (ZelContSummary& summary : signedLog_) summary.AddMissing(count);
      continue;
    }
    if (!column.IsNumber(k)) return Fail(ZelStatusCode::kBadValueType);
    const double x = column.reals[k];
    if (!(x - shift_ > 0.0)) return Fail(ZelStatusCode::kNumericalFailure);
    const double logValue = std::log(x - shift_);
    logSum_ += logValue * frequency;
    const double weight = frequency * (analysis != nullptr ? analysis[k] : 1.0);
    for (std::size_t i = 0; i < exponents_.size(); ++i) {
      summaries_[i].AddValue(BoxCoxOfLog(logValue, exponents_[i]), count, weight);
    }
    for (ZelContSummary& summary : signedLog_) summary.AddValue(SignedLog(x), count, weight);
  }
  return status_;
}

TorStatus ZelBoxCox::Finalize() {
  collected_ = true;
  if (status_.IsError()) return status_;
  std::size_t best = 0;
  double bestLikelihood = 0.0;
  for (std::size_t i = 0; i < summaries_.size(); ++i) {
    const TorStatus finished = summaries_[i].Finalize();
    if (finished.IsError()) return Fail(finished.GetCode());
    const double n = static_cast<double>(summaries_[i].GetValidCount());
    const double sd = summaries_[i].GetStdDev();
    const double likelihood =
        (exponents_[i] - 1.0) * logSum_ - n / 2.0 * std::log((n - 1.0) / n * sd * sd);
    if (i == 0 || likelihood > bestLikelihood ||
        (std::isnan(bestLikelihood) && !std::isnan(likelihood))) {
      best = i;
      bestLikelihood = likelihood;
    }
  }
  for (ZelContSummary& summary : signedLog_) {
    const TorStatus finished = summary.Finalize();
    if (finished.IsError()) return Fail(finished.GetCode());
  }
  if (summaries_.empty()) return status_;
  exponent_ = exponents_[best];
  transformedMean_ = summaries_[best].GetMean();
  transformedStdDev_ = summaries_[best].GetStdDev();
  transformedSkewness_ = summaries_[best].GetSkewness();
  return status_;
}

TorStatus ZelBoxCox::ApplyToUnivariate(ZelStatistics& univariate) {
  auto* cont = dynamic_cast<ZelUnivarCont*>(&univariate);
  if (cont == nullptr) return Fail(ZelStatusCode::kInconsistent);
  if (transformedStdDev_ == 0.0) return Fail(ZelStatusCode::kNumericalFailure);
  ZelContSummary& summary = cont->GetMutableSummary();
  auto rescale = [this](double x) {
    return (BoxCoxTransform(x, shift_, exponent_) - transformedMean_) * desiredStdDev_ /
               transformedStdDev_ +
           desiredMean_;
  };
  const double low = rescale(summary.GetMinimum());
  const double high = rescale(summary.GetMaximum());
  summary.SetTransformed(std::min(low, high), std::max(low, high), desiredMean_, desiredStdDev_,
                         transformedSkewness_);
  return status_;
}

}  // namespace ZelStatistic
