#include "ColumnRecordSource.h"

#include <algorithm>
#include <utility>

#include "torcommon13r/TorVariable.h"

namespace zelcli {

using namespace TorCommon_1_3;

ColumnRecordSource::ColumnRecordSource(const ColumnStore& store, std::vector<std::size_t> columnOf,
                                       ProgressLine& progress)
    : store_(store),
      columnOf_(std::move(columnOf)),
      progress_(progress),
      record_(columnOf_.size()),
      integers_(columnOf_.size() * kBlock),
      reals_(columnOf_.size() * kBlock) {
  for (std::size_t c : columnOf_) {
    const Column& column = store_.columns[c];
    fields_.push_back({&column, column.storage(), column.HasMissing()});
  }
}

void ColumnRecordSource::Unpack() {
  blockStart_ = next_;
  blockEnd_ = std::min(store_.rows(), next_ + kBlock);
  const std::size_t count = blockEnd_ - blockStart_;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const Field& field = fields_[i];
    int64_t* integers = &integers_[i * kBlock];
    if (field.storage == kStorageInteger || field.storage == kStorageString) {
      field.column->IntegersAt(blockStart_, count, integers);
    } else {
      field.column->DoublesAt(blockStart_, count, integers, &reals_[i * kBlock]);
    }
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
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const Field& field = fields_[i];
    RawData& value = record_[i];
    if (field.mayBeMissing && field.column->IsMissing(row)) {
      value.SetMissingValue(field.storage);
      continue;
    }
    switch (field.storage) {
      case kStorageInteger:
        value.SetInteger(integers_[i * kBlock + k]);
        break;
      case kStorageString:
        // The dictionary outlives the passes: the record refers to its text.
        value.SetSharedString(
            field.column->TextOfCode(static_cast<std::size_t>(integers_[i * kBlock + k])));
        break;
      default:
        value.SetDouble(reals_[i * kBlock + k], field.storage);
        break;
    }
  }
  // Cheap enough per record: the line redraws itself only a few times a second.
  if ((next_ & 0xFFF) == 0) progress_.Records(static_cast<int64_t>(next_));
  return &record_;
}

}  // namespace zelcli
