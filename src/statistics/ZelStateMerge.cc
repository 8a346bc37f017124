// The merge of two states part by part (ZelStateParts.h): each part by its
// tag, with the pairwise updates of moments and co-moments.
#include <cstring>
#include <vector>

#include "statistics/ContSummary.h"
#include "statistics/ZelStateParts.h"

namespace ZelStatistic {

namespace {

// The bytes of one item of a part, for the bound on a part's length.
std::size_t ItemBytes(uint32_t tag) {
  switch (tag) {
    case kPartFlags:
      return 1;
    case kPartMoments:
      return 32;
    case kPartPairs:
      return 40;
    case kPartBinMeans:
      return 16;
    default:
      return 8;
  }
}

bool MergeDoubles(uint32_t tag, ZelStateReader* a, ZelStateReader* b, std::size_t n,
                  ZelStateWriter* out, std::string* error) {
  std::vector<double> x(n);
  std::vector<double> y(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (!a->F64(&x[i]) || !b->F64(&y[i])) return false;
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (tag == kPartFrequencies && (!IsCount(x[i]) || !IsCount(y[i]))) return false;
    if (tag != kPartFixed) {
      x[i] += y[i];
      if (tag == kPartFrequencies && !IsCount(x[i])) {
        *error = "a merged count passes 2^63";
        return false;
      }
    } else if (std::memcmp(&x[i], &y[i], sizeof(double)) != 0) {
      *error = "the states were laid out differently (bounds, categories or fields differ)";
      return false;
    }
  }
  WriteDoubles(out, static_cast<StatePart>(tag), x.data(), n);
  return true;
}

bool MergeOnePart(uint32_t tag, std::size_t n, ZelStateReader* a, ZelStateReader* b,
                  ZelStateWriter* out, std::string* error) {
  switch (tag) {
    case kPartFixed:
    case kPartSums:
    case kPartFrequencies:
      return MergeDoubles(tag, a, b, n, out, error);
    case kPartCounts: {
      std::vector<int64_t> x(n);
      std::vector<int64_t> y(n);
      if (!ReadCountsBody(a, x.data(), n) || !ReadCountsBody(b, y.data(), n)) return false;
      for (std::size_t i = 0; i < n; ++i) {
        if (__builtin_add_overflow(x[i], y[i], &x[i])) {
          *error = "a merged count passes 2^63";
          return false;
        }
      }
      WriteCounts(out, x.data(), n);
      return true;
    }
    case kPartFlags: {
      std::vector<uint8_t> x(n);
      std::vector<uint8_t> y(n);
      for (std::size_t i = 0; i < n; ++i) {
        if (!a->U8(&x[i]) || !b->U8(&y[i])) return false;
        x[i] = static_cast<uint8_t>(x[i] != 0 && y[i] != 0);
      }
      WriteFlags(out, x.data(), n);
      return true;
    }
    case kPartMoments: {
      std::vector<ZelCategoryMoments> x(n);
      std::vector<ZelCategoryMoments> y(n);
      if (!ReadMomentsBody(a, x.data(), n) || !ReadMomentsBody(b, y.data(), n)) return false;
      for (std::size_t i = 0; i < n; ++i) MergeMoments(&x[i], y[i]);
      WriteMoments(out, x.data(), n);
      return true;
    }
    case kPartPairs: {
      std::vector<ZelPairMoments> x(n);
      std::vector<ZelPairMoments> y(n);
      if (!ReadPairsBody(a, x.data(), n) || !ReadPairsBody(b, y.data(), n)) return false;
      for (std::size_t i = 0; i < n; ++i) MergePairs(&x[i], y[i]);
      WritePairs(out, x.data(), n);
      return true;
    }
    case kPartBinMeans: {
      std::vector<double> wa(n), ma(n), wb(n), mb(n);
      if (!ReadBinMeansBody(a, wa.data(), ma.data(), n) ||
          !ReadBinMeansBody(b, wb.data(), mb.data(), n)) {
        return false;
      }
      for (std::size_t i = 0; i < n; ++i) MergeBinMean(&wa[i], &ma[i], wb[i], mb[i]);
      WriteBinMeans(out, wa.data(), ma.data(), n);
      return true;
    }
    case kPartSummary: {
      if (n != 1) return false;
      ContSummary x(false, 0);
      ContSummary y(false, 0);
      if (!ContSummary::ReadBody(a, &x) || !ContSummary::ReadBody(b, &y)) return false;
      if (x.HasNoMoments() != y.HasNoMoments() || x.GetDistinctLimit() != y.GetDistinctLimit()) {
        *error = "the states' summaries keep different things";
        return false;
      }
      if (!x.Merge(y)) {
        *error = "a merged count passes 2^63";
        return false;
      }
      x.WriteState(out);
      return true;
    }
    case kPartTexts: {
      if (n != 1) return false;
      ZelTextTable x;
      ZelTextTable y;
      if (!ReadTextsBody(a, &x) || !ReadTextsBody(b, &y)) return false;
      if (x.table.Limit() != y.table.Limit()) {
        *error = "the states' category tables have different limits";
        return false;
      }
      if (!MergeTexts(&x, y)) {
        *error = "a merged count passes 2^63";
        return false;
      }
      WriteTexts(out, x.missing, x.valid, x.table);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

void MergeMoments(ZelCategoryMoments* earlier, const ZelCategoryMoments& later) {
  earlier->frequency += later.frequency;
  if (!(later.weight > 0.0)) return;
  if (!(earlier->weight > 0.0)) {
    earlier->mean = later.mean;
    earlier->m2 = later.m2;
    earlier->weight += later.weight;
    return;
  }
  const double a = earlier->weight;
  const double b = later.weight;
  const double total = a + b;
  const double delta = later.mean - earlier->mean;
  earlier->mean += delta * (b / total);
  earlier->m2 += later.m2 + delta * delta * (a * b / total);
  earlier->weight = total;
}

void MergePairs(ZelPairMoments* earlier, const ZelPairMoments& later) {
  earlier->frequency += later.frequency;
  if (!(later.weight > 0.0)) {
    earlier->weight += later.weight;
    return;
  }
  if (!(earlier->weight > 0.0)) {
    earlier->weight += later.weight;
    earlier->meanX = later.meanX;
    earlier->meanY = later.meanY;
    earlier->coMoment = later.coMoment;
    return;
  }
  const double a = earlier->weight;
  const double b = later.weight;
  const double total = a + b;
  const double dx = later.meanX - earlier->meanX;
  const double dy = later.meanY - earlier->meanY;
  earlier->coMoment += later.coMoment + dx * dy * (a * b / total);
  earlier->meanX += dx * (b / total);
  earlier->meanY += dy * (b / total);
  earlier->weight = total;
}

void MergeBinMean(double* weight, double* mean, double laterWeight, double laterMean) {
  if (!(laterWeight > 0.0)) {
    *weight += laterWeight;
    return;
  }
  if (!(*weight > 0.0)) {
    *weight += laterWeight;
    *mean = laterMean;
    return;
  }
  const double total = *weight + laterWeight;
  *mean += (laterMean - *mean) * (laterWeight / total);
  *weight = total;
}

bool MergeTexts(ZelTextTable* earlier, const ZelTextTable& later) {
  if (__builtin_add_overflow(earlier->missing, later.missing, &earlier->missing) ||
      __builtin_add_overflow(earlier->valid, later.valid, &earlier->valid)) {
    return false;
  }
  return earlier->table.Merge(later.table);
}

bool MergeParts(ZelStateReader* earlier, ZelStateReader* later, ZelStateWriter* out,
                std::string* error) {
  uint32_t parts;
  uint32_t laterParts;
  if (!earlier->U32(&parts) || !later->U32(&laterParts) || parts != laterParts) {
    *error = "the states hold different numbers of parts";
    return false;
  }
  WritePartCount(out, parts);
  for (uint32_t p = 0; p < parts; ++p) {
    uint32_t tag;
    uint32_t laterTag;
    uint64_t n;
    uint64_t laterN;
    if (!earlier->U32(&tag) || !later->U32(&laterTag) || tag != laterTag) {
      *error = "the states' parts are of different kinds";
      return false;
    }
    if (!earlier->Count(&n, ItemBytes(tag)) || !later->Count(&laterN, ItemBytes(tag)) ||
        n != laterN) {
      *error = "the states' parts have different lengths";
      return false;
    }
    if (!MergeOnePart(tag, static_cast<std::size_t>(n), earlier, later, out, error)) {
      if (error->empty()) *error = "a part of a state is damaged";
      return false;
    }
  }
  return true;
}

}  // namespace ZelStatistic
