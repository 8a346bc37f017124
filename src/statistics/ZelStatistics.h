// ZelStatistics: base of every statistic object. A statistic accumulates what
// one step needs to know about one field (or one field against the target)
// over one data pass, then turns its sums into results when the pass ends.
// It keeps its first error and returns it from every later call.
#ifndef ZELCRAFT_STATISTICS_ZELSTATISTICS_H_
#define ZELCRAFT_STATISTICS_ZELSTATISTICS_H_

#include <cstdint>
#include <cstring>
#include <ostream>

#include "frame/ZelBatch.h"
#include "statistics/ZelStateBytes.h"
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorStatus.h"

class ZelSettings;

namespace ZelStatistic {

enum StatisticType : uint32_t {
  kUnivariateCont = 0,
  kUnivariateNumericCat = 1,
  kUnivariateStringCat = 2,
  kBivariateContCont = 3,
  kBivariateContTargetCat = 4,
  kBivariateCatTargetCont = 5,
  kBivariateCatTargetCat = 6,
  kOutlier = 7,
  kBoxCox = 8,
  kBivariateCatTargetContPredictivePower = 9,
  kBivariateContTargetContPredictivePower = 10,
  kUnivarContHistogram = 11
};

// "UnivariateCont", ...; "unrecognized" for other values.
const char* GetStatisticTypeName(uint32_t type);

class ZelStatistics {
 public:
  ZelStatistics(const ZelSettings* settings, StatisticType type);
  virtual ~ZelStatistics();
  ZelStatistics(const ZelStatistics&) = delete;
  ZelStatistics& operator=(const ZelStatistics&) = delete;

  virtual TorCommon_1_3::TorStatus AddRecord(const TorCommon_1_3::RawRecord& record) = 0;
  // Folds in the rows of a batch in order, exactly as AddRecord would row by
  // row. Statistics with a loop of their own over the columns say so by
  // TakesBatches(); the others are handed the rows as records.
  virtual TorCommon_1_3::TorStatus AddBatch(const ZelFrame::ZelBatch& batch);
  virtual bool TakesBatches() const { return false; }
  // Statistics that can also be fed side by side, several fields in one
  // loop, so that the chains of divisions of their running moments overlap,
  // name their class here (0: no such loop).
  enum SideBySide {
    kAlone = 0,
    kUnivariateNumeric = 1,
    kOutliers = 2,
    kGroupedMoments = 3,
    kHistograms = 4,
    kInputTargetPairs = 5,
    kSideBySideKinds = 6
  };
  virtual SideBySide SideBySideKind() const { return kAlone; }
  // AddBatch for `count` statistics of this one's kind (this one may be
  // among them), each meeting its rows in order as AddBatch would. The
  // first error; the statistics that failed keep theirs.
  virtual TorCommon_1_3::TorStatus AddBatchSideBySide(ZelStatistics* const* statistics,
                                                      std::size_t count, const ZelFrame::ZelBatch& batch);
  virtual TorCommon_1_3::TorStatus Finalize() = 0;
  // Takes over the results of a compatible statistic. The base ignores the
  // argument and only marks the information as collected.
  virtual TorCommon_1_3::TorStatus CopyFrom(const ZelStatistics& other);
  // The sums this statistic gathered over the rows it was fed, as parts
  // that merge without it (ZelStateParts.h), and back: ReadState replaces
  // its sums by those read, before Finalize, and is false when they do not
  // fit its categories, bins, fields or limits (the statistic is then
  // unusable). Definitions in ZelStatisticStates.cc.
  virtual void WriteState(ZelStateWriter* out) const = 0;
  virtual bool ReadState(ZelStateReader* in) = 0;
  virtual StatisticType GetType() const { return type_; }
  virtual void Display(std::ostream& out) const;

  // Once set, the statistic takes no more records ("done").
  bool IsInformationCollected() const { return collected_; }
  TorCommon_1_3::TorStatus GetStatus() const { return status_; }

 protected:
  // The record's frequency weight (1 without a weight field) and analysis
  // weight (likewise); the weight entries' missing flags are not consulted,
  // because the record transformer has already dropped such records.
  // Inline: every statistic asks for every record.
  double FrequencyWeight(const TorCommon_1_3::RawRecord& record) const {
    return frequencyWeightIndex_ >= 0 ? record[frequencyWeightIndex_].GetReal() : 1.0;
  }
  double AnalysisWeight(const TorCommon_1_3::RawRecord& record) const {
    return analysisWeightIndex_ >= 0 ? record[analysisWeightIndex_].GetReal() : 1.0;
  }
  // The same weights for every row of a batch; null when there is no
  // weight field, where the weight is 1.
  const double* FrequencyWeights(const ZelFrame::ZelBatch& batch) const {
    return frequencyWeightIndex_ >= 0 ? batch.Column(frequencyWeightIndex_).reals.data() : nullptr;
  }
  const double* AnalysisWeights(const ZelFrame::ZelBatch& batch) const {
    return analysisWeightIndex_ >= 0 ? batch.Column(analysisWeightIndex_).reals.data() : nullptr;
  }
  // Whether two doubles are the same to the last bit (a NaN matches
  // itself): sums shared between statistics are trusted only then.
  static bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
  // Frequency weights count as whole records: truncated toward zero.
  static int64_t CountIncrement(double frequencyWeight) {
    return static_cast<int64_t>(frequencyWeight);
  }
  // Keeps the first error.
  TorCommon_1_3::TorStatus Fail(int code);

  const ZelSettings* settings_;
  StatisticType type_;
  bool collected_ = false;
  int frequencyWeightIndex_;
  int analysisWeightIndex_;
  TorCommon_1_3::TorStatus status_;
};

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELSTATISTICS_H_
