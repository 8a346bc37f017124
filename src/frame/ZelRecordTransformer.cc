#include "frame/ZelRecordTransformer.h"

#include <cmath>

#include "frame/ZelStatusCodes.h"

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

// Counts are signed 64-bit: a frequency weight, and the weights of a pass
// added up, must stay below 2^63.
constexpr double kCountLimit = 9223372036854775808.0;

}  // namespace

ZelRecordTransformer::ZelRecordTransformer(const ZelVariableHandleList* fields, bool everyField)
    : fields_(fields),
      frequencyWeightIndex_(fields->GetSettings()->frequencyWeightIndex),
      analysisWeightIndex_(fields->GetSettings()->analysisWeightIndex),
      working_(fields->Count()),
      needed_(fields->Count(), 0) {
  const int count = fields->Count();
  // Walking down from the last field lets each derived field pull in the
  // inputs of its rule before those are visited.
  const std::vector<int>& pending = fields->GetPending();
  const int target = fields->GetTargetIndex();
  std::vector<char> isPending(count, 0);
  for (int i : pending) isPending[i] = 1;
  for (int i = count - 1; i >= 0; --i) {
    if (everyField || isPending[i] || i == target) MarkNeeded(i);
  }
  if (frequencyWeightIndex_ >= 0 && frequencyWeightIndex_ < count) {
    MarkNeeded(frequencyWeightIndex_);
  }
  if (analysisWeightIndex_ >= 0 && analysisWeightIndex_ < count) MarkNeeded(analysisWeightIndex_);

  missing_.resize(count);
  for (int i = 0; i < count; ++i) {
    const ZelVariableHandleInfo* field = fields->GetHandle(i);
    if (!needed_[i]) continue;
    if (field->IsDerived()) {
      if (field->GetRule() != nullptr) derivedFields_.push_back({i, field->GetRule()});
      continue;
    }
    const TorCommon_1_3::TorEncoder* encoder = field->GetVariable()->GetEncoder();
    MissingDefinition& m = missing_[i];
    if (encoder != nullptr) {
      m.hasRange = encoder->GetMissingRange(m.low, m.high);
      m.numbers = encoder->GetMissingValues();
      m.strings = encoder->GetMissingStrings();
      m.any = m.hasRange || !m.numbers.empty() || !m.strings.empty();
    }
    (m.any ? definedFields_ : plainFields_).push_back(i);
  }
}

void ZelRecordTransformer::MarkNeeded(int index) {
  if (index < 0 || index >= static_cast<int>(needed_.size()) || needed_[index]) return;
  needed_[index] = 1;
  const ZelVariableHandleInfo* field = fields_->GetHandle(index);
  if (field->IsDerived() && field->GetRule() != nullptr) {
    for (int input : field->GetRule()->GetInputIndices()) MarkNeeded(input);
  }
}

bool ZelRecordTransformer::IsUserMissing(const RawData& value,
                                         const MissingDefinition& missing) const {
  switch (value.GetStorage()) {
    case TorCommon_1_3::kStorageUndefined:
      return true;
    case TorCommon_1_3::kStorageString:
      for (const std::string& s : missing.strings) {
        if (s == value.GetString()) return true;
      }
      return false;
    default: {
      const double x = value.GetReal();
      if (missing.hasRange && missing.low <= x && x <= missing.high) return true;
      for (double m : missing.numbers) {
        if (m == x) return true;
      }
      return false;
    }
  }
}

double ZelRecordTransformer::ApplyWeight(int index, bool frequency) {
  RawData& value = working_[index];
  double weight = 0.0;
  if (!value.IsMissing()) {
    if (value.GetStorage() == TorCommon_1_3::kStorageInteger) {
      weight = static_cast<double>(value.GetInteger());
    } else if (value.GetStorage() == TorCommon_1_3::kStorageReal) {
      // Whole records: a real frequency weight is rounded half up, in
      // floating point, so that a value far outside 64 bits (either way) is
      // judged below instead of overflowing a conversion.
      weight = frequency ? std::trunc(value.GetDouble() + 0.5) : value.GetDouble();
    }
  }
  if (!(weight > 0.0)) {
    weight = 0.0;
    usable_ = false;
  } else if (frequency ? weight >= kCountLimit : !std::isfinite(weight)) {
    weight = 0.0;
    usable_ = false;
    status_ = TorStatus(ZelStatusCode::kNumericalFailure, false);
  }
  value.SetDouble(weight, TorCommon_1_3::kStorageReal);
  return weight;
}

void ZelRecordTransformer::CountWeights(double frequency, double analysis) {
  // Every count of every statistic is a sum over some of the pass's usable
  // records, so while their total fits, no count can wrap.
  const int64_t records = static_cast<int64_t>(frequency);
  weightSum_ += frequency * analysis;
  if (__builtin_add_overflow(recordCount_, records, &recordCount_) || !std::isfinite(weightSum_)) {
    usable_ = false;
    status_ = TorStatus(ZelStatusCode::kNumericalFailure, false);
  }
}

RawData& ZelRecordTransformer::CopyHostValue(const RawRecord& host, std::size_t hostSize,
                                             int index) {
  RawData& value = working_[index];
  if (static_cast<std::size_t>(index) < hostSize) {
    value = host[index];
  } else {
    value.SetMissingValue(TorCommon_1_3::kStorageUndefined);  // a short host record
  }
  return value;
}

const RawRecord& ZelRecordTransformer::Transform(const RawRecord& host) {
  usable_ = true;
  const std::size_t hostSize = host.Size();
  for (int i : plainFields_) {
    RawData& value = CopyHostValue(host, hostSize, i);
    // A value without a storage is missing.
    if (value.GetStorage() == TorCommon_1_3::kStorageUndefined) value.SetMissing(true);
  }
  for (int i : definedFields_) {
    RawData& value = CopyHostValue(host, hostSize, i);
    // IsUserMissing holds for a value without a storage too.
    if (!value.IsMissing() && IsUserMissing(value, missing_[i])) value.SetMissing(true);
  }
  double frequency = 1.0;
  double analysis = 1.0;
  if (frequencyWeightIndex_ >= 0 && frequencyWeightIndex_ < static_cast<int>(working_.Size())) {
    frequency = ApplyWeight(frequencyWeightIndex_, true);
  }
  if (analysisWeightIndex_ >= 0 && analysisWeightIndex_ < static_cast<int>(working_.Size())) {
    analysis = ApplyWeight(analysisWeightIndex_, false);
  }
  if (usable_) CountWeights(frequency, analysis);
  if (usable_) {
    for (const Derived& derived : derivedFields_) {
      working_[derived.index] = derived.rule->Apply(working_);
    }
  }
  return working_;
}
