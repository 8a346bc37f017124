#include "preparation/BlockFeed.h"

#include <algorithm>
#include <thread>

namespace zelprep {

using namespace TorCommon_1_3;

std::size_t PassThreads(int requested, int64_t rows) {
  std::size_t threads = requested > 0 ? static_cast<std::size_t>(requested)
                                      : std::max(1u, std::thread::hardware_concurrency());
  const int64_t blocks = (std::max<int64_t>(rows, 1) + kBlockRows - 1) / kBlockRows;
  return std::min(threads, static_cast<std::size_t>(blocks));
}

bool RowRangeSource::ReadColumns(int64_t first, int64_t count, const int* fields,
                                 std::size_t fieldCount, HostColumn* columns) {
  if (first < 0 || count < 0 || first + count > count_) return false;
  return rows_->ReadColumns(first_ + first, count, fields, fieldCount, columns);
}

ColumnBlockFeed::ColumnBlockFeed(const zelio::ColumnStore& store,
                                 const std::vector<std::size_t>& columnOf, std::size_t workers)
    : rows_(static_cast<int64_t>(store.rows())) {
  for (std::size_t w = 0; w < workers; ++w) {
    sources_.push_back(std::make_unique<zelio::ColumnRecordSource>(store, columnOf,
                                                                   zelio::ReadProgress::Silent()));
    ranges_.push_back(std::make_unique<RowRangeSource>(sources_.back().get()));
  }
}

IRecordSource* ColumnBlockFeed::Next(std::size_t worker, int64_t* index) {
  const int64_t block = next_.fetch_add(1);
  if (block * kBlockRows >= rows_) return nullptr;
  *index = block;
  ranges_[worker]->SetRange(block * kBlockRows, RowsOf(block));
  return ranges_[worker].get();
}

int64_t ColumnBlockFeed::RowsOf(int64_t index) const {
  return std::min(kBlockRows, rows_ - index * kBlockRows);
}

StreamBlockFeed::StreamBlockFeed(const zelio::CsvSourceFile& file,
                                 const std::vector<zelio::FieldPlan>& plans,
                                 const std::vector<std::size_t>& columnOf, std::size_t workers)
    : rows_(file.rows),
      source_(file, plans, columnOf, zelio::ReadProgress::Silent()),
      blocks_(workers) {}

void StreamBlockFeed::Restart() {
  std::lock_guard<std::mutex> lock(mutex_);
  source_.Rewind();
  next_ = 0;
}

IRecordSource* StreamBlockFeed::Next(std::size_t worker, int64_t* index) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!source_.HasMoreRecords()) return nullptr;
  RecordBlock& block = blocks_[worker];
  if (block.records.size() < static_cast<std::size_t>(kBlockRows)) {
    block.records.resize(static_cast<std::size_t>(kBlockRows));
  }
  block.count = 0;
  while (block.count < static_cast<std::size_t>(kBlockRows) && source_.HasMoreRecords()) {
    const RawRecord* record = source_.NextRecord();
    if (record == nullptr) break;
    block.records[block.count++] = *record;
  }
  if (!source_.error().empty()) return nullptr;
  block.Rewind();
  *index = next_++;
  return &block;
}

int64_t StreamBlockFeed::RowsOf(int64_t index) const {
  return std::min(kBlockRows, rows_ - index * kBlockRows);
}

std::string StreamBlockFeed::Error() const { return source_.error(); }

}  // namespace zelprep
