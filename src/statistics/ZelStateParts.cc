#include "statistics/ZelStateParts.h"

#include <cstring>

namespace ZelStatistic {

namespace {

void WriteHeader(ZelStateWriter* out, StatePart tag, std::size_t n) {
  out->U32(tag);
  out->U64(n);
}

bool ReadHeader(ZelStateReader* in, StatePart tag, std::size_t n) {
  uint32_t read;
  uint64_t count;
  return in->U32(&read) && read == tag && in->U64(&count) && count == n;
}

}  // namespace

void WritePartCount(ZelStateWriter* out, uint32_t count) { out->U32(count); }

void WriteDoubles(ZelStateWriter* out, StatePart tag, const double* values, std::size_t n) {
  WriteHeader(out, tag, n);
  for (std::size_t i = 0; i < n; ++i) out->F64(values[i]);
}

void WriteCounts(ZelStateWriter* out, const int64_t* values, std::size_t n) {
  WriteHeader(out, kPartCounts, n);
  for (std::size_t i = 0; i < n; ++i) out->I64(values[i]);
}

void WriteFlags(ZelStateWriter* out, const uint8_t* values, std::size_t n) {
  WriteHeader(out, kPartFlags, n);
  for (std::size_t i = 0; i < n; ++i) out->U8(values[i]);
}

void WriteMoments(ZelStateWriter* out, const ZelCategoryMoments* values, std::size_t n) {
  WriteHeader(out, kPartMoments, n);
  for (std::size_t i = 0; i < n; ++i) {
    out->F64(values[i].mean);
    out->F64(values[i].m2);
    out->F64(values[i].frequency);
    out->F64(values[i].weight);
  }
}

void WritePairs(ZelStateWriter* out, const ZelPairMoments* values, std::size_t n) {
  WriteHeader(out, kPartPairs, n);
  for (std::size_t i = 0; i < n; ++i) {
    out->F64(values[i].frequency);
    out->F64(values[i].weight);
    out->F64(values[i].meanX);
    out->F64(values[i].meanY);
    out->F64(values[i].coMoment);
  }
}

void WriteBinMeans(ZelStateWriter* out, const double* weights, const double* means,
                   std::size_t n) {
  WriteHeader(out, kPartBinMeans, n);
  for (std::size_t i = 0; i < n; ++i) {
    out->F64(weights[i]);
    out->F64(means[i]);
  }
}

void WriteTexts(ZelStateWriter* out, int64_t missing, int64_t valid,
                const ZelRecordOrderTable<std::string>& table) {
  WriteHeader(out, kPartTexts, 1);
  out->I64(missing);
  out->I64(valid);
  table.Write(out);
}

bool ReadPartCount(ZelStateReader* in, uint32_t expected) {
  uint32_t count;
  return in->U32(&count) && count == expected;
}

bool ReadFixed(ZelStateReader* in, const double* expected, std::size_t n) {
  if (!ReadHeader(in, kPartFixed, n)) return false;
  for (std::size_t i = 0; i < n; ++i) {
    double value;
    if (!in->F64(&value) || std::memcmp(&value, &expected[i], sizeof value) != 0) return false;
  }
  return true;
}

bool IsCount(double x) { return x >= 0.0 && x < 9223372036854775808.0; }

bool IsWeight(double x) { return x >= 0.0; }

bool IsSpread(double x) { return !(x < 0.0); }

bool ReadDoubles(ZelStateReader* in, StatePart tag, double* values, std::size_t n) {
  if (!ReadHeader(in, tag, n)) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (!in->F64(&values[i])) return false;
    if (tag == kPartFrequencies && !IsCount(values[i])) return false;
  }
  return true;
}

bool ReadCountsBody(ZelStateReader* in, int64_t* values, std::size_t n) {
  // The counts of a part count disjoint records: their sum fits too.
  int64_t total = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!in->I64(&values[i]) || values[i] < 0 ||
        __builtin_add_overflow(total, values[i], &total)) {
      return false;
    }
  }
  return true;
}

bool ReadCounts(ZelStateReader* in, int64_t* values, std::size_t n) {
  return ReadHeader(in, kPartCounts, n) && ReadCountsBody(in, values, n);
}

bool ReadFlags(ZelStateReader* in, uint8_t* values, std::size_t n) {
  if (!ReadHeader(in, kPartFlags, n)) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (!in->U8(&values[i])) return false;
  }
  return true;
}

bool ReadMomentsBody(ZelStateReader* in, ZelCategoryMoments* values, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (!in->F64(&values[i].mean) || !in->F64(&values[i].m2) || !in->F64(&values[i].frequency) ||
        !in->F64(&values[i].weight) || !IsSpread(values[i].m2) ||
        !IsCount(values[i].frequency) || !IsWeight(values[i].weight)) {
      return false;
    }
  }
  return true;
}

bool ReadMoments(ZelStateReader* in, ZelCategoryMoments* values, std::size_t n) {
  return ReadHeader(in, kPartMoments, n) && ReadMomentsBody(in, values, n);
}

bool ReadPairsBody(ZelStateReader* in, ZelPairMoments* values, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (!in->F64(&values[i].frequency) || !in->F64(&values[i].weight) ||
        !in->F64(&values[i].meanX) || !in->F64(&values[i].meanY) ||
        !in->F64(&values[i].coMoment) || !IsCount(values[i].frequency) ||
        !IsWeight(values[i].weight)) {
      return false;
    }
  }
  return true;
}

bool ReadPairs(ZelStateReader* in, ZelPairMoments* values, std::size_t n) {
  return ReadHeader(in, kPartPairs, n) && ReadPairsBody(in, values, n);
}

bool ReadBinMeansBody(ZelStateReader* in, double* weights, double* means, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (!in->F64(&weights[i]) || !in->F64(&means[i]) || !IsWeight(weights[i])) {
      return false;
    }
  }
  return true;
}

bool ReadBinMeans(ZelStateReader* in, double* weights, double* means, std::size_t n) {
  return ReadHeader(in, kPartBinMeans, n) && ReadBinMeansBody(in, weights, means, n);
}

bool ReadTextsBody(ZelStateReader* in, ZelTextTable* table) {
  int64_t total = 0;
  return in->I64(&table->missing) && in->I64(&table->valid) && table->missing >= 0 &&
         table->valid >= 0 && !__builtin_add_overflow(table->missing, table->valid, &total) &&
         table->table.Read(in) && table->table.Total() <= table->valid;
}

bool ReadTexts(ZelStateReader* in, uint64_t limit, ZelTextTable* table) {
  return ReadHeader(in, kPartTexts, 1) && ReadTextsBody(in, table) &&
         table->table.Limit() == limit;
}

}  // namespace ZelStatistic
