// Record values.
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorVariable.h"

namespace TorCommon_1_3 {

void RawData::SetString(const std::string& value) { SetString(value.data(), value.size()); }

void RawData::SetString(const char* data, std::size_t size) {
  v_.storage = kStorageString;
  v_.missing = false;
  shared_ = nullptr;
  string_.assign(data, size);
}

}  // namespace TorCommon_1_3
