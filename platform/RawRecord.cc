// Record values.
#include "torcommon13r/RawRecord.h"
#include "torcommon13r/TorVariable.h"

namespace TorCommon_1_3 {

double RawData::GetReal() const {
  switch (storage_) {
    case kStorageInteger: return static_cast<double>(integer_);
    case kStorageReal:
    case kStorageDate:
    case kStorageTime:
    case kStorageTimestamp: return double_;
    default: return 0.0;
  }
}

void RawData::SetInteger(int64_t value) {
  storage_ = kStorageInteger;
  missing_ = false;
  integer_ = value;
}

void RawData::SetDouble(double value, int storage) {
  storage_ = storage;
  missing_ = false;
  double_ = value;
}

void RawData::SetString(const std::string& value) { SetString(value.data(), value.size()); }

void RawData::SetString(const char* data, std::size_t size) {
  storage_ = kStorageString;
  missing_ = false;
  string_.assign(data, size);
}

void RawData::SetMissingValue(int storage) {
  storage_ = storage;
  missing_ = true;
}

}  // namespace TorCommon_1_3
