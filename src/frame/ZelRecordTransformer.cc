#include "frame/ZelRecordTransformer.h"

#include <cmath>

#include "frame/ZelStatusCodes.h"
#include "frame/ZelWeightRule.h"

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

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
    ZelUserMissing& m = missing_[i];
    if (encoder != nullptr) {
      m.hasRange = encoder->GetMissingRange(m.low, m.high);
      m.numbers = encoder->GetMissingValues();
      m.strings = encoder->GetMissingStrings();
    }
    (m.Any() ? definedFields_ : plainFields_).push_back(i);
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
                                         const ZelUserMissing& missing) const {
  switch (value.GetStorage()) {
    case TorCommon_1_3::kStorageUndefined:
      return true;
    case TorCommon_1_3::kStorageString:
      return missing.Matches(value.GetString());
    default:
      return missing.Matches(value.GetReal());
  }
}

double ZelRecordTransformer::ApplyWeight(int index, bool frequency) {
  RawData& value = working_[index];
  double weight = 0.0;
  if (!value.IsMissing()) {
    if (value.GetStorage() == TorCommon_1_3::kStorageInteger) {
      weight = static_cast<double>(value.GetInteger());
    } else if (value.GetStorage() == TorCommon_1_3::kStorageReal) {
      weight = frequency ? ZelWeightRule::RoundFrequency(value.GetDouble()) : value.GetDouble();
    }
  }
  if (!ZelWeightRule::Counts(weight)) {
    weight = 0.0;
    usable_ = false;
  } else if (ZelWeightRule::TooLarge(weight, frequency)) {
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
  if (totals_.Add(frequency, analysis) != ZelWeightRule::Totals::Fit::kFits) {
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
