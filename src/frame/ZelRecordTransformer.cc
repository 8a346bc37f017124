#include "frame/ZelRecordTransformer.h"

#include <algorithm>
#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "frame/ZelStatusCodes.h"
#include "frame/ZelWeightRule.h"

namespace ZelFrame {

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;
using TorCommon_1_3::TorStatus;

namespace {

// A derived number that is not finite (a rescale past the largest double,
// a cutoff from moments that overflowed) is missing, as the document's
// replay takes it; whole numbers and texts are what they are.
bool IsNumberOrOther(int storage, double real) {
  return storage == TorCommon_1_3::kStorageInteger || storage == TorCommon_1_3::kStorageString ||
         storage == TorCommon_1_3::kStorageUndefined || std::isfinite(real);
}

// Whether any of `n` doubles is infinite or not a number, two at a time: x
// minus itself is 0 for a finite x and not a number otherwise. The common
// column has none, and most rows of a pass go through here.
bool AnyNotFinite(const double* values, std::size_t n) {
  std::size_t k = 0;
  bool any = false;
#ifdef __SSE2__
  __m128d unordered = _mm_setzero_pd();
  for (; k + 2 <= n; k += 2) {
    const __m128d x = _mm_loadu_pd(values + k);
    const __m128d zero = _mm_sub_pd(x, x);
    unordered = _mm_or_pd(unordered, _mm_cmpunord_pd(zero, zero));
  }
  any = _mm_movemask_pd(unordered) != 0;
#endif
  for (; k < n; ++k) any = any || !std::isfinite(values[k]);
  return any;
}

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
    ZelUserMissing& m = missing_[i];
    if (encoder != nullptr) {
      m.hasRange = encoder->GetMissingRange(m.low, m.high);
      m.numbers = encoder->GetMissingValues();
      m.strings = encoder->GetMissingStrings();
    }
    (m.Any() ? definedFields_ : plainFields_).push_back(i);
  }
  hostFields_ = plainFields_;
  hostFields_.insert(hostFields_.end(), definedFields_.begin(), definedFields_.end());
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
  weight = UsableWeight(weight, frequency, &usable_);
  value.SetDouble(weight, TorCommon_1_3::kStorageReal);
  return weight;
}

double ZelRecordTransformer::UsableWeight(double weight, bool frequency, bool* usable) {
  if (!ZelWeightRule::Counts(weight)) {
    *usable = false;
    return 0.0;
  }
  if (ZelWeightRule::TooLarge(weight, frequency)) {
    *usable = false;
    status_ = TorStatus(ZelStatusCode::kNumericalFailure, false);
    return 0.0;
  }
  return weight;
}

double ZelRecordTransformer::ApplyWeight(ZelBatchColumn* column, std::size_t k, bool frequency,
                                         uint8_t* usable) {
  double weight = 0.0;
  if (column->missing[k] == 0) {
    if (column->storage[k] == TorCommon_1_3::kStorageInteger) {
      weight = static_cast<double>(column->integers[k]);
    } else if (column->storage[k] == TorCommon_1_3::kStorageReal) {
      weight = frequency ? ZelWeightRule::RoundFrequency(column->reals[k]) : column->reals[k];
    }
  }
  bool ok = *usable != 0;
  weight = UsableWeight(weight, frequency, &ok);
  *usable = ok ? 1 : 0;
  column->storage[k] = TorCommon_1_3::kStorageReal;
  column->missing[k] = 0;
  column->reals[k] = weight;
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
      RawData& value = working_[derived.index];
      value = derived.rule->Apply(working_);
      if (!value.IsMissing() && !IsNumberOrOther(value.GetStorage(), value.GetReal())) {
        value.SetMissing(true);
      }
    }
  }
  return working_;
}

void ZelRecordTransformer::UseColumns(ZelBatch* batch) const {
  for (std::size_t i = 0; i < needed_.size(); ++i) {
    if (needed_[i]) batch->Use(static_cast<int>(i));
  }
}

void ZelRecordTransformer::FillFromHost(ZelBatch* batch, const TorCommon_1_3::HostColumn* columns,
                                        std::size_t rows) const {
  batch->SetRows(rows);
  for (std::size_t j = 0; j < hostFields_.size(); ++j) {
    const TorCommon_1_3::HostColumn& host = columns[j];
    ZelBatchColumn& out = batch->Column(hostFields_[j]);
    std::fill_n(out.storage.begin(), rows, static_cast<uint8_t>(host.storage));
    if (host.missing != nullptr) {
      std::copy_n(host.missing, rows, out.missing.begin());
    } else {
      std::fill_n(out.missing.begin(), rows, 0);
    }
    switch (host.storage) {
      case TorCommon_1_3::kStorageInteger:
        for (std::size_t k = 0; k < rows; ++k) {
          out.integers[k] = host.integers[k];
          out.reals[k] = static_cast<double>(host.integers[k]);
        }
        break;
      case TorCommon_1_3::kStorageString:
        std::copy_n(host.texts, rows, out.texts.begin());
        std::fill_n(out.reals.begin(), rows, 0.0);
        break;
      case TorCommon_1_3::kStorageReal:
      case TorCommon_1_3::kStorageDate:
      case TorCommon_1_3::kStorageTime:
      case TorCommon_1_3::kStorageTimestamp:
        std::copy_n(host.reals, rows, out.reals.begin());
        break;
      default:
        // Values without a storage are missing.
        std::fill_n(out.storage.begin(), rows, TorCommon_1_3::kStorageUndefined);
        std::fill_n(out.missing.begin(), rows, 1);
        break;
    }
  }
}

void ZelRecordTransformer::FillFromRecord(ZelBatch* batch, std::size_t k,
                                          const RawRecord& host) const {
  const std::size_t hostSize = host.Size();
  for (int i : hostFields_) {
    ZelBatchColumn& out = batch->Column(i);
    if (static_cast<std::size_t>(i) < hostSize) {
      out.Set(k, host[static_cast<std::size_t>(i)]);
    } else {
      out.storage[k] = TorCommon_1_3::kStorageUndefined;  // a short host record
      out.missing[k] = 1;
    }
  }
}

TorStatus ZelRecordTransformer::FinishBatch(ZelBatch* batch) {
  const std::size_t rows = batch->Rows();
  for (int i : plainFields_) {
    ZelBatchColumn& column = batch->Column(i);
    // Values without a storage are rare: most columns have none to mark.
    if (!column.AnyStorage(rows, TorCommon_1_3::kStorageUndefined)) continue;
    for (std::size_t k = 0; k < rows; ++k) {
      if (column.storage[k] == TorCommon_1_3::kStorageUndefined) column.missing[k] = 1;
    }
  }
  for (int i : definedFields_) {
    ZelBatchColumn& column = batch->Column(i);
    const ZelUserMissing& missing = missing_[static_cast<std::size_t>(i)];
    for (std::size_t k = 0; k < rows; ++k) {
      if (column.missing[k] != 0) continue;
      // A value without a storage is missing too.
      const int storage = column.storage[k];
      if (storage == TorCommon_1_3::kStorageUndefined ||
          (storage == TorCommon_1_3::kStorageString ? missing.Matches(*column.texts[k])
                                                    : missing.Matches(column.reals[k]))) {
        column.missing[k] = 1;
      }
    }
  }
  const int count = static_cast<int>(working_.Size());
  const bool frequencyField = frequencyWeightIndex_ >= 0 && frequencyWeightIndex_ < count;
  const bool analysisField = analysisWeightIndex_ >= 0 && analysisWeightIndex_ < count;
  if (frequencyField || analysisField) {
    usableRows_.assign(rows, 1);
    bool dropped = false;
    for (std::size_t k = 0; k < rows; ++k) {
      double frequency = 1.0;
      double analysis = 1.0;
      if (frequencyField) {
        frequency = ApplyWeight(&batch->Column(frequencyWeightIndex_), k, true, &usableRows_[k]);
      }
      if (analysisField) {
        analysis = ApplyWeight(&batch->Column(analysisWeightIndex_), k, false, &usableRows_[k]);
      }
      if (usableRows_[k] != 0) {
        usable_ = true;
        CountWeights(frequency, analysis);
        if (!usable_) usableRows_[k] = 0;
      }
      if (status_.IsError()) return status_;
      if (usableRows_[k] == 0) dropped = true;
    }
    if (dropped) batch->KeepRows(usableRows_);
  } else {
    // No weight field: every row counts once.
    if (totals_.AddUnits(static_cast<int64_t>(rows)) != ZelWeightRule::Totals::Fit::kFits) {
      usable_ = false;
      status_ = TorStatus(ZelStatusCode::kNumericalFailure, false);
    }
    if (status_.IsError()) return status_;
  }
  for (const Derived& derived : derivedFields_) {
    ZelBatchColumn& column = batch->Column(derived.index);
    derived.rule->ApplyBatch(*batch, &column);
    if (!AnyNotFinite(column.reals.data(), batch->Rows())) continue;
    for (std::size_t k = 0; k < batch->Rows(); ++k) {
      if (column.missing[k] == 0 && !IsNumberOrOther(column.storage[k], column.reals[k])) {
        column.missing[k] = 1;
      }
    }
  }
  return status_;
}

}  // namespace ZelFrame
