// BlockFeed: the rows of a data pass as fixed blocks of kBlockRows rows, in
// file order, for the threads of a blocked build (BlockedBuild.h). The
// blocks do not depend on the number of threads, so neither do their
// states nor their merge. ColumnBlockFeed cuts the columns in memory into
// row ranges that every thread reads at once; StreamBlockFeed reads the
// streamed file's records a block at a time for the thread that asks,
// one thread after the other, into that thread's own block.
#ifndef ZELCRAFT_PREPARATION_BLOCKFEED_H_
#define ZELCRAFT_PREPARATION_BLOCKFEED_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "frame/host/HostInterfaces.h"
#include "io/ColumnRecordSource.h"
#include "io/CsvRecordSource.h"

namespace zelprep {

// 64 batches of the passes' 1,024 rows: large enough that a block's state
// (a few kilobytes per field, more for fields with many categories) costs
// little beside reading its rows, small enough that a million rows make
// sixteen blocks to share among threads, and the data sets of everyday
// size fit in one, where the document is exactly that of a pass without
// blocks.
constexpr int64_t kBlockRows = 65536;

// The threads a build over `rows` rows takes: `requested` (0: one per
// processor core), but no more than there are blocks.
std::size_t PassThreads(int requested, int64_t rows);

class BlockFeed {
 public:
  virtual ~BlockFeed() = default;
  // Back to the first block, before each pass.
  virtual void Restart() = 0;
  // The next block for worker `worker` (its index in file order in
  // `index`), as a source valid until the worker's next call; null when the
  // pass has no block left. Safe to call from every worker at once.
  virtual TorCommon_1_3::IRecordSource* Next(std::size_t worker, int64_t* index) = 0;
  // The rows of block `index`.
  virtual int64_t RowsOf(int64_t index) const = 0;
  // Empty while the data reads as it did.
  virtual std::string Error() const { return std::string(); }
};

// Rows [first, first + count) of a column source, as a source of their own
// that hands out columns only (the passes read nothing else).
class RowRangeSource : public TorCommon_1_3::IRecordSource,
                       public TorCommon_1_3::IColumnBatchSource {
 public:
  explicit RowRangeSource(TorCommon_1_3::IColumnBatchSource* rows) : rows_(rows) {}
  void SetRange(int64_t first, int64_t count) {
    first_ = first;
    count_ = count;
  }
  bool HasMoreRecords() override { return count_ > 0; }
  void Rewind() override {}
  const TorCommon_1_3::RawRecord* NextRecord() override { return nullptr; }
  TorCommon_1_3::IColumnBatchSource* GetColumnBatchSource() override { return this; }
  int64_t GetRowCount() const override { return count_; }
  bool ReadColumns(int64_t first, int64_t count, const int* fields, std::size_t fieldCount,
                   TorCommon_1_3::HostColumn* columns) override;

 private:
  TorCommon_1_3::IColumnBatchSource* rows_;
  int64_t first_ = 0;
  int64_t count_ = 0;
};

class ColumnBlockFeed : public BlockFeed {
 public:
  // One column source per worker over the same store.
  ColumnBlockFeed(const zelio::ColumnStore& store, const std::vector<std::size_t>& columnOf,
                  std::size_t workers);
  void Restart() override { next_ = 0; }
  TorCommon_1_3::IRecordSource* Next(std::size_t worker, int64_t* index) override;
  int64_t RowsOf(int64_t index) const override;

 private:
  int64_t rows_;
  std::atomic<int64_t> next_{0};
  std::vector<std::unique_ptr<zelio::ColumnRecordSource>> sources_;
  std::vector<std::unique_ptr<RowRangeSource>> ranges_;
};

// Records held by value, replayed as a source: a block of a streamed file.
class RecordBlock : public TorCommon_1_3::IRecordSource {
 public:
  std::vector<TorCommon_1_3::RawRecord> records;  // reused from block to block
  std::size_t count = 0;
  bool HasMoreRecords() override { return next_ < count; }
  void Rewind() override { next_ = 0; }
  const TorCommon_1_3::RawRecord* NextRecord() override {
    return next_ < count ? &records[next_++] : nullptr;
  }

 private:
  std::size_t next_ = 0;
};

class StreamBlockFeed : public BlockFeed {
 public:
  StreamBlockFeed(const zelio::CsvSourceFile& file, const std::vector<zelio::FieldPlan>& plans,
                  const std::vector<std::size_t>& columnOf, std::size_t workers);
  void Restart() override;
  TorCommon_1_3::IRecordSource* Next(std::size_t worker, int64_t* index) override;
  int64_t RowsOf(int64_t index) const override;
  std::string Error() const override;

 private:
  int64_t rows_;
  std::mutex mutex_;
  zelio::CsvRecordSource source_;
  int64_t next_ = 0;
  std::vector<RecordBlock> blocks_;
};

}  // namespace zelprep

#endif  // ZELCRAFT_PREPARATION_BLOCKFEED_H_
