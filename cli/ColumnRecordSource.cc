#include "ColumnRecordSource.h"

#include <utility>

#include "torcommon13r/TorVariable.h"

namespace zelcli {

using namespace TorCommon_1_3;

ColumnRecordSource::ColumnRecordSource(const ColumnStore& store, std::vector<std::size_t> columnOf,
                                       ProgressLine& progress)
    : store_(store),
      columnOf_(std::move(columnOf)),
      progress_(progress),
      record_(columnOf_.size()) {}

void ColumnRecordSource::Rewind() {
  progress_.PassEnded(static_cast<int64_t>(next_));
  next_ = 0;
}

const RawRecord* ColumnRecordSource::NextRecord() {
  if (next_ >= store_.rows()) return nullptr;
  const std::size_t row = next_++;
  for (std::size_t i = 0; i < columnOf_.size(); ++i) {
    const Column& column = store_.columns[columnOf_[i]];
    RawData& value = record_[i];
    if (column.IsMissing(row)) {
      value.SetMissingValue(column.storage());
      continue;
    }
    switch (column.storage()) {
      case kStorageInteger:
        value.SetInteger(column.Integer(row));
        break;
      case kStorageString:
        value.SetString(column.Text(row));
        break;
      default:
        value.SetDouble(column.Double(row), column.storage());
        break;
    }
  }
  // Cheap enough per record: the line redraws itself only a few times a second.
  if ((next_ & 0xFFF) == 0) progress_.Records(static_cast<int64_t>(next_));
  return &record_;
}

}  // namespace zelcli
