#include "frame/ZelBatch.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>

namespace ZelFrame {
#endif

using TorCommon_1_3::RawData;
using TorCommon_1_3::RawRecord;

void ZelBatchColumn::Allocate(std::size_t rows) {
  storage.assign(rows, TorCommon_1_3::kStorageUndefined);
  missing.assign(rows, 1);
  reals.assign(rows, 0.0);
  integers.assign(rows, 0);
  texts.assign(rows, nullptr);
}

void ZelBatchColumn::Set(std::size_t k, const RawData& value) {
  storage[k] = static_cast<uint8_t>(value.GetStorage());
  missing[k] = value.IsMissing() ? 1 : 0;
  reals[k] = value.GetReal();
  integers[k] = value.GetInteger();
  if (value.GetStorage() != TorCommon_1_3::kStorageString || value.IsMissing()) return;
  // A text held by reference outlives the batch: it is referred to again.
  const std::string* shared = value.GetSharedString();
  if (shared != nullptr) {
    texts[k] = shared;
    return;
  }
  if (owned.size() <= k) owned.resize(storage.size());
  owned[k].assign(value.GetString());
  texts[k] = &owned[k];
}

void ZelBatchColumn::CopyFrom(const ZelBatchColumn& other, std::size_t rows) {
  std::copy_n(other.storage.begin(), rows, storage.begin());
  std::copy_n(other.missing.begin(), rows, missing.begin());
  std::copy_n(other.reals.begin(), rows, reals.begin());
  // Whole numbers and texts are read only where the storage says so: a
  // column of reals leaves them out, which halves what is copied.
  if (other.AnyStorage(rows, TorCommon_1_3::kStorageInteger)) {
    std::copy_n(other.integers.begin(), rows, integers.begin());
  }
  if (other.AnyStorage(rows, TorCommon_1_3::kStorageString)) {
    std::copy_n(other.texts.begin(), rows, texts.begin());
  }
}

bool ZelBatchColumn::AnyStorage(std::size_t rows, int kind) const {
  return std::memchr(storage.data(), kind, rows) != nullptr;
}

bool ZelBatchColumn::AnyMissing(std::size_t rows) const {
  const uint8_t* m = missing.data();
  std::size_t k = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; k + 16 <= rows; k += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + k));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)) != 0xFFFF) return true;
  }
#endif
  for (; k < rows; ++k) {
    if (m[k] != 0) return true;
  }
  return false;
}

bool ZelBatchColumn::AllStorage(std::size_t rows, int kind) const {
  const uint8_t* s = storage.data();
  std::size_t k = 0;
#ifdef __SSE2__
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(kind));
  for (; k + 16 <= rows; k += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted)) != 0xFFFF) return false;
  }
#endif
  for (; k < rows; ++k) {
    if (s[k] != kind) return false;
  }
  return true;
}

bool ZelBatchColumn::AllNumbers(std::size_t rows) const {
  const uint8_t* s = storage.data();
  std::size_t k = 0;
#ifdef __SSE2__
  const __m128i whole = _mm_set1_epi8(TorCommon_1_3::kStorageInteger);
  const __m128i real = _mm_set1_epi8(TorCommon_1_3::kStorageReal);
  for (; k + 16 <= rows; k += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
    const __m128i number = _mm_or_si128(_mm_cmpeq_epi8(v, whole), _mm_cmpeq_epi8(v, real));
    if (_mm_movemask_epi8(number) != 0xFFFF) return false;
  }
#endif
  for (; k < rows; ++k) {
    if (s[k] != TorCommon_1_3::kStorageInteger && s[k] != TorCommon_1_3::kStorageReal) return false;
  }
  return true;
}

void ZelBatchColumn::Get(std::size_t k, RawData* value) const {
  const int s = storage[k];
  if (missing[k] != 0) {
    value->SetMissingValue(s);
    return;
  }
  switch (s) {
    case TorCommon_1_3::kStorageInteger: value->SetInteger(integers[k]); break;
    case TorCommon_1_3::kStorageString: value->SetSharedString(*texts[k]); break;
    case TorCommon_1_3::kStorageUndefined: value->SetMissingValue(s); break;
    default: value->SetDouble(reals[k], s); break;
  }
}

ZelBatch::ZelBatch(std::size_t fieldCount)
    : columns_(fieldCount), isUsed_(fieldCount, 0) {}

void ZelBatch::Use(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= columns_.size()) return;
  if (isUsed_[static_cast<std::size_t>(index)] != 0) return;
  isUsed_[static_cast<std::size_t>(index)] = 1;
  used_.push_back(index);
}

std::size_t ZelBatch::RowsFor(std::size_t fields) {
  // A row of a column takes its storage, missing flag, real, whole number
  // and text pointer: 26 bytes.
  constexpr std::size_t kBudget = std::size_t{8} << 20;
  constexpr std::size_t kRowBytes = 26;
  if (fields == 0) return kZelBatchRows;
  return std::max<std::size_t>(16, std::min(kZelBatchRows, kBudget / (fields * kRowBytes)));
}

void ZelBatch::Allocate(std::size_t rows) {
  capacity_ = rows;
  for (int i : used_) columns_[static_cast<std::size_t>(i)].Allocate(rows);
}

const RawRecord& ZelBatch::Record(std::size_t k) const {
  if (record_.Size() != columns_.size()) record_.Resize(columns_.size());
  for (int i : used_) columns_[static_cast<std::size_t>(i)].Get(k, &record_[static_cast<std::size_t>(i)]);
  return record_;
}

const RawRecord& ZelBatch::Record(std::size_t k, const std::vector<int>& fields) const {
  if (record_.Size() != columns_.size()) record_.Resize(columns_.size());
  for (int i : fields) {
    if (Find(i) != nullptr) Column(i).Get(k, &record_[static_cast<std::size_t>(i)]);
  }
  return record_;
}

void ZelBatch::KeepRows(const std::vector<uint8_t>& keep) {
  std::size_t kept = 0;
  for (std::size_t k = 0; k < rows_; ++k) {
    if (keep[k] == 0) continue;
    if (kept != k) {
      for (int i : used_) {
        ZelBatchColumn& c = columns_[static_cast<std::size_t>(i)];
        c.storage[kept] = c.storage[k];
        c.missing[kept] = c.missing[k];
        c.reals[kept] = c.reals[k];
        c.integers[kept] = c.integers[k];
        c.texts[kept] = c.texts[k];
      }
    }
    ++kept;
  }
  rows_ = kept;
}

}  // namespace ZelFrame
