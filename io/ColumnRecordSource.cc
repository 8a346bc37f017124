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
  progress_.PassEnded(static_cast<int64_t>(next_));
  next_ = 0;
  blockEnd_ = 0;
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
