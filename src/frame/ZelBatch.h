// ZelBatch: the working values of a data pass for a run of rows, field by
// field. Each field the pass needs has a column holding what a working
// record would hold for it, piece by piece: storage, missing flag, the value
// as a double (as RawData::GetReal reads it), the whole number, the text.
// Statistics and transform rules read a column in one tight loop instead of
// a record at a time; those that have no such loop read the rows as records
// through Record(), which gives exactly the record the transformer would.
#ifndef ZELCRAFT_FRAME_ZELBATCH_H_
#define ZELCRAFT_FRAME_ZELBATCH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "torcommon13r/RawRecord.h"

namespace ZelFrame {

// The rows of one batch: enough for tight loops, few enough that the
// columns of a pass stay in the cache. Passes over very many fields take
// fewer (ZelBatch::RowsFor), so that a batch stays within a few megabytes.
constexpr std::size_t kZelBatchRows = 1024;

struct ZelBatchColumn {
  std::vector<uint8_t> storage;
  std::vector<uint8_t> missing;
  std::vector<double> reals;      // the value as a double; 0 for texts
  std::vector<int64_t> integers;  // for integer storage
  std::vector<const std::string*> texts;  // for string storage, where not missing
  // Texts a rule computed, which the column owns; their buffers are reused.
  std::vector<std::string> owned;

  void Allocate(std::size_t rows);
  // Row k from a record value, and back.
  void Set(std::size_t k, const TorCommon_1_3::RawData& value);
  void Get(std::size_t k, TorCommon_1_3::RawData* value) const;
  // Rows [0, rows) of `other`, as record values assigned one to another.
  void CopyFrom(const ZelBatchColumn& other, std::size_t rows);
  bool IsNumber(std::size_t k) const {
    return storage[k] == TorCommon_1_3::kStorageInteger ||
           storage[k] == TorCommon_1_3::kStorageReal;
  }
  // Whether rows [0, rows) all hold whole numbers or reals (missing or
  // not): a rule may then read `reals` without a test per row.
  bool AllNumbers(std::size_t rows) const;
  // Whether rows [0, rows) all have storage `kind`.
  bool AllStorage(std::size_t rows, int kind) const;
  // Whether any of rows [0, rows) is missing.
  bool AnyMissing(std::size_t rows) const;
  // Whether any of rows [0, rows) has storage `kind`.
  bool AnyStorage(std::size_t rows, int kind) const;
};

class ZelBatch {
 public:
  // Columns for `fieldCount` fields; only those Use() names take memory.
  explicit ZelBatch(std::size_t fieldCount);

  // Field `index` takes part in the pass.
  void Use(int index);
  const std::vector<int>& GetUsed() const { return used_; }
  // The rows a batch of `fields` used fields holds: kZelBatchRows, or fewer
  // (16 at least) when so many fields would take more than 8 MiB.
  static std::size_t RowsFor(std::size_t fields);
  // Gives every used column room for `rows` rows: once, before filling.
  void Allocate(std::size_t rows);
  std::size_t Capacity() const { return capacity_; }

  std::size_t FieldCount() const { return columns_.size(); }
  std::size_t Rows() const { return rows_; }
  void SetRows(std::size_t rows) { rows_ = rows; }
  ZelBatchColumn& Column(int index) { return columns_[static_cast<std::size_t>(index)]; }
  // The column of field `index`, or null when the pass does not use it.
  const ZelBatchColumn* Find(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= columns_.size()) return nullptr;
    const ZelBatchColumn& column = columns_[static_cast<std::size_t>(index)];
    return column.storage.empty() ? nullptr : &column;
  }
  // The weights of a weight field known by its index kept as a number (a
  // rule parameter), or null when there is none: the weight is then 1.
  const double* WeightsAt(double index) const {
    if (!(index >= 0.0) || index >= static_cast<double>(columns_.size())) return nullptr;
    const ZelBatchColumn* column = Find(static_cast<int>(index));
    return column != nullptr ? column->reals.data() : nullptr;
  }
  const ZelBatchColumn& Column(int index) const { return columns_[static_cast<std::size_t>(index)]; }

  // Row k as the working record the record transformer would give (the
  // fields the pass does not use stay missing); valid until the next call.
  const TorCommon_1_3::RawRecord& Record(std::size_t k) const;
  // The same with only `fields` set: the other values are left as they were.
  const TorCommon_1_3::RawRecord& Record(std::size_t k, const std::vector<int>& fields) const;
  // Keeps the rows whose flag is set, in order.
  void KeepRows(const std::vector<uint8_t>& keep);

 private:
  std::vector<ZelBatchColumn> columns_;
  std::vector<int> used_;
  std::vector<char> isUsed_;  // by field
  std::size_t capacity_ = 0;
  std::size_t rows_ = 0;
  mutable TorCommon_1_3::RawRecord record_;  // made on the first call of Record
};

}  // namespace ZelFrame

#endif  // ZELCRAFT_FRAME_ZELBATCH_H_
