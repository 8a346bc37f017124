// ZelRecordOrderTable: the frequency table of one field over a data pass, as
// the records meet it. An entry comes with the first record of its key, in
// record order; the entry that takes the table one past its limit is the
// last one: from its record on nothing in the table changes. So a field with
// more distinct values than the limit shows as limit + 1 entries, the first
// keys seen with what they counted until then.
//
// The table also keeps, for every stretch of records from the first record
// of one entry to the first of the next, what each entry counted in it.
// With that, the table of a run of rows and the table of the rows after it
// merge into exactly the table one pass over both makes, wherever the rows
// were cut and however runs are grouped, as long as they merge in row
// order: the later table's entries join in their record order, and its
// counts are taken up to the record where the merged table reaches its
// limit. A stretch keeps only the entries it counted, so the history holds
// at most one figure per record and (limit + 1) (limit + 2) / 2 in all.
//
// Keys are doubles or texts; doubles equal as numbers (0 and -0) share an
// entry, which keeps the spelling of its first record.
#ifndef ZELCRAFT_STATISTICS_ZELRECORDORDERTABLE_H_
#define ZELCRAFT_STATISTICS_ZELRECORDORDERTABLE_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "statistics/ZelStateBytes.h"

namespace ZelStatistic {

template <typename Key>
class ZelRecordOrderTable {
 public:
  explicit ZelRecordOrderTable(uint64_t limit = 0) : limit_(limit) {}
  // The entries point into the table's own map: a copy points into its own.
  ZelRecordOrderTable(const ZelRecordOrderTable& other);
  ZelRecordOrderTable& operator=(const ZelRecordOrderTable& other);
  ZelRecordOrderTable(ZelRecordOrderTable&&) = default;
  ZelRecordOrderTable& operator=(ZelRecordOrderTable&&) = default;

  uint64_t Limit() const { return limit_; }
  std::size_t Size() const { return entries_.size(); }
  // One entry past the limit: nothing counts any more.
  bool Full() const { return entries_.size() > limit_; }

 private:
  // An entry's count, its index in record order, and the stretch it last
  // counted in (plus one), kept in the map node with its key.
  struct Slot {
    int64_t count = 0;
    uint32_t index = 0;
    uint32_t touched = 0;
  };
  using Slots = std::map<Key, Slot>;

 public:
  // An entry, valid while the table is neither copied nor read into.
  using Entry = typename Slots::iterator;

  // Counts `count` records of `key` while the table is not full (the
  // caller asks Full first); its entry.
  Entry Add(const Key& key, int64_t count) {
    const auto it = slots_.lower_bound(key);
    if (it != slots_.end() && !(key < it->first)) {
      Count(it, count);
      return it;
    }
    return NewEntry(it, key, count);
  }
  // Counts `count` more records of an entry from Add or EntryAt, which the
  // caller holds while the table is not full.
  void Count(Entry entry, int64_t count) {
    Slot& slot = entry->second;
    slot.count += count;
    if (slot.touched != stretch_ + 1) {
      slot.touched = stretch_ + 1;
      dirty_.push_back(slot.index);
    }
  }
  // The entry at `index` in record order.
  Entry EntryAt(std::size_t index) const { return entries_[index]; }
  const Key& KeyAt(std::size_t index) const { return entries_[index]->first; }
  // The sum of the counts.
  int64_t Total() const;
  // The entries in ascending order of key.
  std::map<Key, int64_t> Ascending() const;

  // The entries in record order with their history. Read wants a table
  // consistent in itself (distinct keys, counts not negative and fitting 64
  // bits, every stretch counting only entries seen by then, nothing after
  // the first record of a full table's last entry); false otherwise, the
  // table then left empty.
  void Write(ZelStateWriter* out) const;
  bool Read(ZelStateReader* in);
  // `later`, the table of the rows after this one's, merged in; false when
  // a count would pass 2^63.
  bool Merge(const ZelRecordOrderTable& later);

 private:
  Entry NewEntry(Entry hint, const Key& key, int64_t count);
  void CloseStretch();
  // Calls visit(entry, count) for what each entry counted in stretch `s`.
  template <typename Visit>
  void ForEachInStretch(std::size_t s, Visit visit) const {
    if (s + 1 < entries_.size()) {
      const std::size_t begin = s == 0 ? 0 : ends_[s - 1];
      for (std::size_t i = begin; i < ends_[s]; ++i) visit(items_[i].first, items_[i].second);
      return;
    }
    for (uint32_t entry : dirty_) {
      const int64_t counted = entries_[entry]->second.count - atCut_[entry];
      if (counted != 0) visit(entry, counted);
    }
  }

  uint64_t limit_;
  Slots slots_;
  std::vector<typename Slots::iterator> entries_;  // in record order
  std::vector<int64_t> first_;    // what each entry's first record counted
  // The open stretch, that of the last entry: each entry's count when it
  // began, and the entries it counted so far.
  std::vector<int64_t> atCut_;
  std::vector<uint32_t> dirty_;
  uint32_t stretch_ = 0;
  // The closed stretches: stretch s counted items_[ends_[s - 1], ends_[s]).
  std::vector<std::pair<uint32_t, int64_t>> items_;
  std::vector<std::size_t> ends_;
};

extern template class ZelRecordOrderTable<double>;
extern template class ZelRecordOrderTable<std::string>;

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELRECORDORDERTABLE_H_
