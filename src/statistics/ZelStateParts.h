// The parts a statistic's accumulation state is made of, and the merge of
// two states part by part. A state is a count of parts, each a tag, a
// length and its items; how two parts merge depends only on the tag, so
// states merge without the statistics that wrote them (on any machine,
// without a build):
//   fixed      doubles both sides must share bit for bit (bounds, sizes)
//   sums       doubles, added
//   frequencies  record counts as doubles, added
//   counts     whole counts, added (a sum past 2^63 is refused)
//   flags      bytes, combined by "and"
//   moments    means with second moments, count and weight, combined by the
//              pairwise update, as accurate as one pass over both
//   pairs      co-moments of two values, likewise
//   bin means  weights with weighted means
//   summary    a ContSummary (counts, extremes, moments to the third,
//              value-frequency table)
//   texts      a text-frequency table with its missing and valid counts
// Frequency tables merge as ZelRecordOrderTable says: into the table one
// pass over both sides' rows makes.
#ifndef ZELCRAFT_STATISTICS_ZELSTATEPARTS_H_
#define ZELCRAFT_STATISTICS_ZELSTATEPARTS_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "statistics/ZelCategoryMoments.h"
#include "statistics/ZelPairMoments.h"
#include "statistics/ZelRecordOrderTable.h"
#include "statistics/ZelStateBytes.h"

namespace ZelStatistic {

enum StatePart : uint32_t {
  kPartFixed = 1,
  kPartSums = 2,
  kPartCounts = 3,
  kPartFlags = 4,
  kPartMoments = 5,
  kPartPairs = 6,
  kPartBinMeans = 7,
  kPartSummary = 8,
  kPartTexts = 9,
  kPartFrequencies = 10
};

// What a state may hold. Means, sums and moments are whatever the data made
// of them: one value near the largest double makes a sum of cubes or of
// squares infinite, or a mean not a number, and that is data, which every
// host must take as the record-by-record pass does. What no data gives is
// refused, so that no step meets it: record counts (frequency sums)
// negative or past 2^63, weights negative or not a number, second moments
// below 0.
bool IsCount(double x);
bool IsWeight(double x);
bool IsSpread(double x);

// The text table of a categorical field with text values.
struct ZelTextTable {
  int64_t missing = 0;
  int64_t valid = 0;
  ZelRecordOrderTable<std::string> table;
};

// Writing: the part count first, then each part.
void WritePartCount(ZelStateWriter* out, uint32_t count);
void WriteDoubles(ZelStateWriter* out, StatePart tag, const double* values, std::size_t n);
void WriteCounts(ZelStateWriter* out, const int64_t* values, std::size_t n);
void WriteFlags(ZelStateWriter* out, const uint8_t* values, std::size_t n);
void WriteMoments(ZelStateWriter* out, const ZelCategoryMoments* values, std::size_t n);
void WritePairs(ZelStateWriter* out, const ZelPairMoments* values, std::size_t n);
void WriteBinMeans(ZelStateWriter* out, const double* weights, const double* means, std::size_t n);
void WriteTexts(ZelStateWriter* out, int64_t missing, int64_t valid,
                const ZelRecordOrderTable<std::string>& table);

// Reading: each part must have its tag and exactly `n` items; false
// otherwise. ReadFixed also wants the items equal to `expected`, bit for
// bit: the state belongs to a statistic laid out like this one.
bool ReadPartCount(ZelStateReader* in, uint32_t expected);
bool ReadFixed(ZelStateReader* in, const double* expected, std::size_t n);
bool ReadDoubles(ZelStateReader* in, StatePart tag, double* values, std::size_t n);
bool ReadCounts(ZelStateReader* in, int64_t* values, std::size_t n);
bool ReadFlags(ZelStateReader* in, uint8_t* values, std::size_t n);
bool ReadMoments(ZelStateReader* in, ZelCategoryMoments* values, std::size_t n);
bool ReadPairs(ZelStateReader* in, ZelPairMoments* values, std::size_t n);
bool ReadBinMeans(ZelStateReader* in, double* weights, double* means, std::size_t n);
// The table's limit must be `limit`, and it may count no more records than
// the valid ones.
bool ReadTexts(ZelStateReader* in, uint64_t limit, ZelTextTable* table);

// The items of a part whose tag and length were read already.
bool ReadCountsBody(ZelStateReader* in, int64_t* values, std::size_t n);
bool ReadMomentsBody(ZelStateReader* in, ZelCategoryMoments* values, std::size_t n);
bool ReadPairsBody(ZelStateReader* in, ZelPairMoments* values, std::size_t n);
bool ReadBinMeansBody(ZelStateReader* in, double* weights, double* means, std::size_t n);
bool ReadTextsBody(ZelStateReader* in, ZelTextTable* table);

// The pairwise updates, `later` into `earlier`.
void MergeMoments(ZelCategoryMoments* earlier, const ZelCategoryMoments& later);
void MergePairs(ZelPairMoments* earlier, const ZelPairMoments& later);
void MergeBinMean(double* weight, double* mean, double laterWeight, double laterMean);
// False when a count would pass 2^63.
bool MergeTexts(ZelTextTable* earlier, const ZelTextTable& later);

// Merges the parts of `later` into those of `earlier` and writes the result;
// false with `error` saying why when the two do not match.
bool MergeParts(ZelStateReader* earlier, ZelStateReader* later, ZelStateWriter* out,
                std::string* error);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELSTATEPARTS_H_
