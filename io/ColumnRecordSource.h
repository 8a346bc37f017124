// ColumnRecordSource: the record source the component reads its passes
// from. It hands the loaded columns out as runs of rows (IColumnBatchSource:
// spans of whole numbers, reals, text pointers into the column's dictionary
// and missing flags, straight from the column where it keeps them so), or
// replays them record by record into one reused record, texts by reference;
// either way a pass copies little and allocates nothing, and the source
// feeds the row count of the current pass to the progress line.
#ifndef ZELCRAFT_IO_COLUMNRECORDSOURCE_H_
#define ZELCRAFT_IO_COLUMNRECORDSOURCE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/ColumnStore.h"
#include "io/ReadProgress.h"
#include "frame/host/HostInterfaces.h"

namespace zelio {

class ColumnRecordSource : public TorCommon_1_3::IRecordSource,
                           public TorCommon_1_3::IColumnBatchSource {
 public:
  // Field i of each record is column columnOf[i]; the store and the progress
  // line must outlive the source.
  ColumnRecordSource(const ColumnStore& store, std::vector<std::size_t> columnOf,
                     ReadProgress& progress);
  // The fields point into the source's own buffers.
  ColumnRecordSource(const ColumnRecordSource&) = delete;
  ColumnRecordSource& operator=(const ColumnRecordSource&) = delete;

  bool HasMoreRecords() override { return next_ < store_.rows(); }
  int64_t GetRecordCount() const override { return static_cast<int64_t>(store_.rows()); }
  void Rewind() override;
  const TorCommon_1_3::RawRecord* NextRecord() override;
  TorCommon_1_3::IColumnBatchSource* GetColumnBatchSource() override { return this; }

  int64_t GetRowCount() const override { return static_cast<int64_t>(store_.rows()); }
  bool ReadColumns(int64_t first, int64_t count, const int* fields, std::size_t fieldCount,
                   TorCommon_1_3::HostColumn* columns) override;
  void RowsRead(int64_t end) override;

 private:
  const ColumnStore& store_;
  std::vector<std::size_t> columnOf_;
  ReadProgress& progress_;
  TorCommon_1_3::RawRecord record_;
  // What each record field reads, looked up once, in one list per kind of
  // value so that filling a record takes no turn on the storage per field.
  struct Field {
    const Column* column;
    int storage;
    bool mayBeMissing;
    TorCommon_1_3::RawData* value;  // in record_
    int64_t* integers;              // the block's values in integers_
    double* reals;                  // and in reals_
  };
  // Sets each field's value for `row` by `set`, or marks it missing.
  template <typename Set>
  static void Fill(const std::vector<Field>& fields, std::size_t row, Set set) {
    for (const Field& field : fields) {
      if (field.mayBeMissing && field.column->IsMissing(row)) {
        field.value->SetMissingValue(field.storage);
      } else {
        set(field);
      }
    }
  }

  std::vector<Field> integerFields_;
  std::vector<Field> textFields_;
  std::vector<Field> realFields_;  // reals, dates, times and timestamps
  std::size_t next_ = 0;
  // Rows [blockStart_, blockEnd_) unpacked: field i's values at i * kBlock.
  static constexpr std::size_t kBlock = 256;
  void Unpack();
  std::size_t blockStart_ = 0;
  std::size_t blockEnd_ = 0;
  std::vector<int64_t> integers_;
  std::vector<double> reals_;
  // Runs of rows: per field, room for the longest run asked for.
  struct Run {
    std::vector<int64_t> integers;
    std::vector<double> reals;
    std::vector<uint8_t> missing;
    std::vector<const std::string*> texts;
  };
  std::vector<Run> runs_;
  int64_t rowsRead_ = 0;  // by runs, in the current pass
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_COLUMNRECORDSOURCE_H_
