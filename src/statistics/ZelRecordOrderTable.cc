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
ZelRecordOrderTable<Key>::ZelRecordOrderTable(const ZelRecordOrderTable& other)
    : limit_(other.limit_),
      slots_(other.slots_),
      first_(other.first_),
      atCut_(other.atCut_),
      dirty_(other.dirty_),
      stretch_(other.stretch_),
      items_(other.items_),
      ends_(other.ends_) {
  entries_.resize(slots_.size());
  for (auto it = slots_.begin(); it != slots_.end(); ++it) entries_[it->second.index] = it;
}

template <typename Key>
ZelRecordOrderTable<Key>& ZelRecordOrderTable<Key>::operator=(const ZelRecordOrderTable& other) {
  if (this != &other) *this = ZelRecordOrderTable(other);
  return *this;
}

template <typename Key>
int64_t ZelRecordOrderTable<Key>::Total() const {
  int64_t total = 0;
  for (const auto& entry : slots_) total += entry.second.count;
  return total;
}

template <typename Key>
std::map<Key, int64_t> ZelRecordOrderTable<Key>::Ascending() const {
  std::map<Key, int64_t> ascending;
  for (const auto& entry : slots_) ascending.emplace_hint(ascending.end(), entry.first, entry.second.count);
  return ascending;
}

template <typename Key>
void ZelRecordOrderTable<Key>::CloseStretch() {
  for (uint32_t entry : dirty_) {
    const int64_t count = entries_[entry]->second.count;
    const int64_t counted = count - atCut_[entry];
    if (counted != 0) items_.emplace_back(entry, counted);
    atCut_[entry] = count;
  }
  dirty_.clear();
  ends_.push_back(items_.size());
}

template <typename Key>
typename ZelRecordOrderTable<Key>::Entry ZelRecordOrderTable<Key>::NewEntry(Entry hint,
                                                                          const Key& key,
                                                                          int64_t count) {
  if (!entries_.empty()) CloseStretch();
  const auto index = static_cast<uint32_t>(entries_.size());
  Slot slot;
  slot.index = index;
  entries_.push_back(slots_.emplace_hint(hint, key, slot));
  first_.push_back(count);
  atCut_.push_back(0);
  // A stretch counts each entry once at most: room for all of them now
  // keeps the records that follow from allocating.
  if (dirty_.capacity() < entries_.size()) dirty_.reserve(2 * entries_.size());
  stretch_ = index;
  Count(entries_.back(), count);
  return entries_.back();
}

template <typename Key>
void ZelRecordOrderTable<Key>::Write(ZelStateWriter* out) const {
  out->U64(limit_);
  out->U64(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    WriteKey(out, entries_[i]->first);
    out->I64(first_[i]);
  }
  std::vector<std::pair<uint32_t, int64_t>> stretch;
  for (std::size_t s = 0; s < entries_.size(); ++s) {
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
  const auto fail = [this] {
    *this = ZelRecordOrderTable(0);
    return false;
  };
  uint64_t size = 0;
  // A key takes 8 bytes at least, its first count 8 more.
  if (!in->U64(&limit_) || !in->Count(&size, 16) || (size > 0 && size - 1 > limit_)) {
    return fail();
  }
  for (uint64_t i = 0; i < size; ++i) {
    Key key;
    int64_t first = 0;
    if (!ReadKey(in, &key) || !in->I64(&first) || first < 0) return fail();
    Slot slot;
    slot.index = static_cast<uint32_t>(i);
    const auto placed = slots_.emplace(std::move(key), slot);
    if (!placed.second) return fail();
    entries_.push_back(placed.first);
    first_.push_back(first);
  }
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
      if (!in->U32(&entry) || !in->I64(&counted) || entry > s || counted <= 0) return fail();
      Slot& slot = entries_[entry]->second;
      if (slot.touched == s + 1 || __builtin_add_overflow(slot.count, counted, &slot.count) ||
          __builtin_add_overflow(total, counted, &total)) {
        return fail();
      }
      slot.touched = static_cast<uint32_t>(s + 1);
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
  atCut_.resize(size);
  for (std::size_t i = 0; i < size; ++i) atCut_[i] = entries_[i]->second.count;
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
  std::vector<uint32_t> ours(later.entries_.size());
  bool fits = true;
  const auto count = [&](uint32_t entry, int64_t counted) {
    int64_t sum = 0;
    if (__builtin_add_overflow(entries_[entry]->second.count, counted, &sum)) {
      fits = false;
      return;
    }
    Count(entries_[entry], counted);
  };
  for (std::size_t s = 0; s < later.entries_.size() && fits; ++s) {
    const Key& key = later.entries_[s]->first;
    const auto found = slots_.lower_bound(key);
    if (found != slots_.end() && !(key < found->first)) {
      // The later rows' first record of a key this table holds counts as
      // any other of its records.
      ours[s] = found->second.index;
      later.ForEachInStretch(s, [&](uint32_t entry, int64_t counted) { count(ours[entry], counted); });
      continue;
    }
    ours[s] = NewEntry(found, key, later.first_[s])->second.index;
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
