#include "io/ColumnRecordSource.h"

#include <algorithm>
#include <utility>

#include "torcommon13r/TorVariable.h"

namespace zelio {

using namespace TorCommon_1_3;

ColumnRecordSource::ColumnRecordSource(const ColumnStore& store, std::vector<std::size_t> columnOf,
                                       ReadProgress& progress)
    : store_(store),
      columnOf_(std::move(columnOf)),
      progress_(progress),
      record_(columnOf_.size()),
      integers_(columnOf_.size() * kBlock),
      reals_(columnOf_.size() * kBlock) {
  for (std::size_t i = 0; i < columnOf_.size(); ++i) {
    const Column& column = store_.columns[columnOf_[i]];
    const Field field{&column,     column.storage(),    column.HasMissing(),
                      &record_[i], &integers_[i * kBlock], &reals_[i * kBlock]};
    switch (field.storage) {
      case kStorageInteger: integerFields_.push_back(field); break;
      case kStorageString: textFields_.push_back(field); break;
      default: realFields_.push_back(field); break;
    }
  }
}

void ColumnRecordSource::Unpack() {
  blockStart_ = next_;
  blockEnd_ = std::min(store_.rows(), next_ + kBlock);
  const std::size_t count = blockEnd_ - blockStart_;
  for (const std::vector<Field>* fields : {&integerFields_, &textFields_}) {
    for (const Field& field : *fields) {
      field.column->IntegersAt(blockStart_, count, field.integers);
    }
  }
  for (const Field& field : realFields_) {
    field.column->DoublesAt(blockStart_, count, field.integers, field.reals);
  }
}

void ColumnRecordSource::Rewind() {
  progress_.PassEnded(std::max(static_cast<int64_t>(next_), rowsRead_));
  next_ = 0;
  blockEnd_ = 0;
  rowsRead_ = 0;
}

bool ColumnRecordSource::ReadColumns(int64_t first, int64_t count, const int* fields,
                                     std::size_t fieldCount, HostColumn* columns) {
  if (first < 0 || count < 0 || static_cast<uint64_t>(first + count) > store_.rows()) return false;
  if (runs_.size() < columnOf_.size()) runs_.resize(columnOf_.size());
  const auto start = static_cast<std::size_t>(first);
  const auto n = static_cast<std::size_t>(count);
  for (std::size_t j = 0; j < fieldCount; ++j) {
    if (fields[j] < 0 || static_cast<std::size_t>(fields[j]) >= columnOf_.size()) return false;
    const Column& column = store_.columns[columnOf_[static_cast<std::size_t>(fields[j])]];
    Run& run = runs_[static_cast<std::size_t>(fields[j])];
    HostColumn& out = columns[j];
    out = HostColumn();
    out.storage = column.storage();
    if (column.HasMissing()) {
      if (run.missing.size() < n) run.missing.resize(n);
      column.MissingAt(start, n, run.missing.data());
      out.missing = run.missing.data();
    }
    if (run.integers.size() < n) run.integers.resize(n);
    switch (out.storage) {
      case kStorageInteger:
        column.IntegersAt(start, n, run.integers.data());
        out.integers = run.integers.data();
        break;
      case kStorageString:
        // The dictionary outlives the passes: the run points into it.
        if (run.texts.size() < n) run.texts.resize(n);
        column.TextsAt(start, n, run.texts.data());
        out.texts = run.texts.data();
        break;
      default:
        if (run.reals.size() < n) run.reals.resize(n);
        out.reals = column.DoublesSpan(start, n, run.integers.data(), run.reals.data());
        break;
    }
  }
  return true;
}

void ColumnRecordSource::RowsRead(int64_t end) {
  // As often as records would update it: every 4096 rows.
  if ((end >> 12) != (rowsRead_ >> 12)) progress_.Records(end);
  rowsRead_ = end;
}

const RawRecord* ColumnRecordSource::NextRecord() {
  if (next_ >= store_.rows()) return nullptr;
  if (next_ >= blockEnd_) Unpack();
  const std::size_t row = next_++;
  const std::size_t k = row - blockStart_;
  Fill(integerFields_, row,
       [k](const Field& field) { field.value->SetInteger(field.integers[k]); });
  // The dictionary outlives the passes: the record refers to its text.
  Fill(textFields_, row, [k](const Field& field) {
    field.value->SetSharedString(
        field.column->TextOfCode(static_cast<std::size_t>(field.integers[k])));
  });
  Fill(realFields_, row,
       [k](const Field& field) { field.value->SetDouble(field.reals[k], field.storage); });
  // Cheap enough per record: the line redraws itself only a few times a second.
  if ((next_ & 0xFFF) == 0) progress_.Records(static_cast<int64_t>(next_));
  return &record_;
}

}  // namespace zelio
