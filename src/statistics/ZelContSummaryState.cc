// The accumulation state of a ZelContSummary: written, read back and merged.
#include "statistics/ZelContSummary.h"
#include "statistics/ZelStateParts.h"

namespace ZelStatistic {

void ZelContSummary::WriteState(ZelStateWriter* out) const {
  out->U32(kPartSummary);
  out->U64(1);
  out->U8(noMoments_ ? 1 : 0);
  out->I64(missingCount_);
  out->I64(validCount_);
  out->F64(minimum_);
  out->F64(maximum_);
  out->U8(shifted_ ? 1 : 0);
  out->F64(shift_);
  out->F64(mean_);
  out->F64(weightSum_);
  out->F64(m2_);
  out->F64(m3_);
  table_.Write(out);
}

bool ZelContSummary::ReadBody(ZelStateReader* in, ZelContSummary* summary) {
  uint8_t noMoments;
  uint8_t shifted;
  ZelContSummary read(false, 0);
  if (!in->U8(&noMoments) || noMoments > 1 || !in->I64(&read.missingCount_) ||
      !in->I64(&read.validCount_) || read.missingCount_ < 0 || read.validCount_ < 0 ||
      !in->F64(&read.minimum_) || !in->F64(&read.maximum_) || !in->U8(&shifted) ||
      shifted > 1 || !in->F64(&read.shift_) || !in->F64(&read.mean_) ||
      !in->F64(&read.weightSum_) || !in->F64(&read.m2_) || !in->F64(&read.m3_) ||
      !read.table_.Read(in)) {
    return false;
  }
  if (!IsWeight(read.weightSum_) || !IsSpread(read.m2_)) return false;
  read.noMoments_ = noMoments != 0;
  read.shifted_ = shifted != 0;
  read.distinctLimit_ = read.table_.Limit();
  // Counts of disjoint records, whose sum fits as well; the table counts
  // valid records only.
  int64_t total = 0;
  if (__builtin_add_overflow(read.missingCount_, read.validCount_, &total) ||
      read.table_.Total() > read.validCount_) {
    return false;
  }
  *summary = std::move(read);
  return true;
}

bool ZelContSummary::ReadState(ZelStateReader* in) {
  uint32_t tag;
  uint64_t n;
  ZelContSummary read(false, 0);
  if (!in->U32(&tag) || tag != kPartSummary || !in->U64(&n) || n != 1 || !ReadBody(in, &read)) {
    return false;
  }
  if (read.noMoments_ != noMoments_ || read.distinctLimit_ != distinctLimit_) return false;
  missingCount_ = read.missingCount_;
  validCount_ = read.validCount_;
  shifted_ = read.shifted_;
  shift_ = read.shift_;
  SetMomentSums(read.MomentSums());
  table_ = std::move(read.table_);
  return true;
}

bool ZelContSummary::Merge(const ZelContSummary& later) {
  if (__builtin_add_overflow(missingCount_, later.missingCount_, &missingCount_) ||
      __builtin_add_overflow(validCount_, later.validCount_, &validCount_) ||
      !table_.Merge(later.table_)) {
    return false;
  }
  // Only a value of positive weight moves the moments and extremes, and the
  // first such value sets the shift.
  if (noMoments_ || !later.shifted_) return true;
  if (later.minimum_ < minimum_) minimum_ = later.minimum_;
  if (later.maximum_ > maximum_) maximum_ = later.maximum_;
  if (!shifted_) {
    shifted_ = true;
    shift_ = later.shift_;
    mean_ = later.mean_;
    weightSum_ = later.weightSum_;
    m2_ = later.m2_;
    m3_ = later.m3_;
    return true;
  }
  const double a = weightSum_;
  const double b = later.weightSum_;
  const double total = a + b;
  if (!(a > 0.0) || !(b > 0.0)) {
    weightSum_ = total;
    return true;
  }
  // Both sides' means about this side's shift.
  const double delta = (later.shift_ - shift_) + (later.mean_ - mean_);
  const double share = b / total;
  m3_ += later.m3_ + delta * delta * delta * (a * b * (a - b) / (total * total)) +
         3.0 * delta * (a * later.m2_ - b * m2_) / total;
  m2_ += later.m2_ + delta * delta * (a * b / total);
  mean_ += delta * share;
  weightSum_ = total;
  return true;
}

}  // namespace ZelStatistic
