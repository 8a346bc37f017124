#include "ColumnStore.h"

#include "torcommon13r/TorVariable.h"

namespace zelcli {

void Column::AppendMissing() {
  missing_.push_back(true);
  switch (storage_) {
    case TorCommon_1_3::kStorageInteger:
      integers_.push_back(0);
      break;
    case TorCommon_1_3::kStorageString:
      codes_.push_back(0);
      break;
    default:
      doubles_.push_back(0.0);
      break;
  }
}

void Column::AppendInteger(int64_t value) {
  missing_.push_back(false);
  integers_.push_back(value);
}

void Column::AppendDouble(double value) {
  missing_.push_back(false);
  doubles_.push_back(value);
}

void Column::AppendText(std::string_view text) {
  missing_.push_back(false);
  auto it = index_.find(text);
  if (it == index_.end()) {
    const auto code = static_cast<uint32_t>(dictionary_.size());
    dictionary_.emplace_back(text);
    it = index_.emplace(dictionary_.back(), code).first;
  }
  codes_.push_back(it->second);
}

}  // namespace zelcli
