#include "statistics/ZelRecordOrderTable.h"

#include <cmath>

namespace ZelStatistic {

namespace {

void WriteKey(ZelStateWriter* out, double key) { out->F64(key); }
void WriteKey(ZelStateWriter* out, const std::string& key) { out->Text(key); }

// No record holds a number that is not one.
bool ReadKey(ZelStateReader* in, double* key) { return in->F64(key) && !std::isnan(*key); }
bool ReadKey(ZelStateReader* in, std::string* key) { return in->Text(key); }

}  // namespace

template <typename Key>
int64_t ZelRecordOrderTable<Key>::Total() const {
  int64_t total = 0;
  for (int64_t count : counts_) total += count;
  return total;
}

template <typename Key>
std::map<Key, int64_t> ZelRecordOrderTable<Key>::Ascending() const {
  std::map<Key, int64_t> ascending;
  for (std::size_t i = 0; i < keys_.size(); ++i) ascending.emplace(keys_[i], counts_[i]);
  return ascending;
}

template <typename Key>
void ZelRecordOrderTable<Key>::CloseStretch() {
  for (uint32_t entry : dirty_) {
    const int64_t counted = counts_[entry] - atCut_[entry];
    if (counted != 0) items_.emplace_back(entry, counted);
    atCut_[entry] = counts_[entry];
  }
  dirty_.clear();
  ends_.push_back(items_.size());
}

template <typename Key>
int64_t ZelRecordOrderTable<Key>::NewEntry(const Key& key, int64_t count) {
  if (!keys_.empty()) CloseStretch();
  const auto index = static_cast<uint32_t>(keys_.size());
  index_.emplace(key, index);
  keys_.push_back(key);
  counts_.push_back(0);
  first_.push_back(count);
  atCut_.push_back(0);
  touched_.push_back(0);
  // A stretch counts each entry once at most: room for all of them now
  // keeps the records that follow from allocating.
  if (dirty_.capacity() < keys_.size()) dirty_.reserve(2 * keys_.size());
  stretch_ = index;
  Count(index, count);
  return index;
}

template <typename Key>
void ZelRecordOrderTable<Key>::Write(ZelStateWriter* out) const {
  out->U64(limit_);
  out->U64(keys_.size());
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    WriteKey(out, keys_[i]);
    out->I64(first_[i]);
  }
  std::vector<std::pair<uint32_t, int64_t>> stretch;
  for (std::size_t s = 0; s < keys_.size(); ++s) {
    stretch.clear();
    ForEachInStretch(s, [&](uint32_t entry, int64_t counted) { stretch.emplace_back(entry, counted); });
    out->U64(stretch.size());
    for (const auto& item : stretch) {
      out->U32(item.first);
      out->I64(item.second);
    }
  }
}

template <typename Key>
bool ZelRecordOrderTable<Key>::Read(ZelStateReader* in) {
  *this = ZelRecordOrderTable(0);
  uint64_t size = 0;
  // A key takes 8 bytes at least, its first count 8 more.
  if (!in->U64(&limit_) || !in->Count(&size, 16) || (size > 0 && size - 1 > limit_)) {
    *this = ZelRecordOrderTable(0);
    return false;
  }
  const auto fail = [this] {
    *this = ZelRecordOrderTable(0);
    return false;
  };
  for (uint64_t i = 0; i < size; ++i) {
    Key key;
    int64_t first = 0;
    if (!ReadKey(in, &key) || !in->I64(&first) || first < 0) return fail();
    if (!index_.emplace(key, static_cast<uint32_t>(i)).second) return fail();
    keys_.push_back(std::move(key));
    first_.push_back(first);
  }
  counts_.assign(size, 0);
  atCut_.assign(size, 0);
  touched_.assign(size, 0);
  int64_t total = 0;
  std::vector<std::pair<uint32_t, int64_t>> open;
  for (uint64_t s = 0; s < size; ++s) {
    uint64_t items = 0;
    if (!in->Count(&items, 12)) return fail();
    int64_t own = 0;
    for (uint64_t j = 0; j < items; ++j) {
      uint32_t entry = 0;
      int64_t counted = 0;
      // Only entries seen by then count in a stretch, each once.
      if (!in->U32(&entry) || !in->I64(&counted) || entry > s || counted <= 0 ||
          touched_[entry] == s + 1 ||
          __builtin_add_overflow(counts_[entry], counted, &counts_[entry]) ||
          __builtin_add_overflow(total, counted, &total)) {
        return fail();
      }
      touched_[entry] = static_cast<uint32_t>(s + 1);
      if (entry == s) own = counted;
      (s + 1 < size ? items_ : open).emplace_back(entry, counted);
    }
    if (own < first_[s]) return fail();
    if (s + 1 < size) ends_.push_back(items_.size());
  }
  // A full table counted nothing after the first record of its last entry.
  if (Full()) {
    const bool first = first_.back() > 0;
    if (open.size() != (first ? 1u : 0u) || (first && open[0].second != first_.back())) {
      return fail();
    }
  }
  atCut_ = counts_;
  for (const auto& item : open) {
    atCut_[item.first] -= item.second;
    dirty_.push_back(item.first);
  }
  stretch_ = size > 0 ? static_cast<uint32_t>(size - 1) : 0;
  return true;
}

template <typename Key>
bool ZelRecordOrderTable<Key>::Merge(const ZelRecordOrderTable& later) {
  if (Full()) return true;
  std::vector<uint32_t> ours(later.keys_.size());
  bool fits = true;
  const auto count = [&](uint32_t entry, int64_t counted) {
    int64_t sum = 0;
    if (__builtin_add_overflow(counts_[entry], counted, &sum)) {
      fits = false;
      return;
    }
    Count(entry, counted);
  };
  for (std::size_t s = 0; s < later.keys_.size() && fits; ++s) {
    const auto found = index_.find(later.keys_[s]);
    if (found != index_.end()) {
      // The later rows' first record of a key this table holds counts as
      // any other of its records.
      ours[s] = found->second;
      later.ForEachInStretch(s, [&](uint32_t entry, int64_t counted) { count(ours[entry], counted); });
      continue;
    }
    ours[s] = static_cast<uint32_t>(NewEntry(later.keys_[s], later.first_[s]));
    if (Full()) break;
    later.ForEachInStretch(s, [&](uint32_t entry, int64_t counted) {
      const int64_t rest = entry == s ? counted - later.first_[s] : counted;
      if (rest > 0) count(ours[entry], rest);
    });
  }
  return fits;
}

template class ZelRecordOrderTable<double>;
template class ZelRecordOrderTable<std::string>;

}  // namespace ZelStatistic
