// RawData and RawRecord: one record of field values as the host hands it to
// the component, and the working record the component computes derived
// values into. A value carries its storage code, a missing flag and an
// integer, a double (real, date, time, timestamp) or a string.
#ifndef TORCOMMON13R_RAWRECORD_H_
#define TORCOMMON13R_RAWRECORD_H_

#include <cstdint>
#include <string>
#include <vector>

namespace TorCommon_1_3 {

// Storage codes of field values.
enum TorStorage : int {
  kStorageUndefined = 0,
  kStorageInteger = 1,
  kStorageReal = 2,
  kStorageString = 3,
  kStorageDate = 4,      // days since 1970-01-01
  kStorageTime = 5,      // seconds (since midnight)
  kStorageTimestamp = 6  // seconds since 1970-01-01T00:00:00
};

class RawData {
 public:
  RawData() = default;
  RawData(const RawData&) = default;
  RawData(RawData&&) = default;
  RawData& operator=(RawData&&) = default;
  // Copies the text only when the value is one: records are copied field by
  // field on every pass, and most fields are numbers whose string stays
  // unused. A number's string reads empty after the copy. A text held by
  // reference stays a reference: it outlives both values.
  RawData& operator=(const RawData& other) {
    v_ = other.v_;
    shared_ = nullptr;
    if (v_.storage != kStorageString) {
      string_.clear();
    } else if (other.shared_ != nullptr) {
      shared_ = other.shared_;
    } else {
      string_ = other.string_;
    }
    return *this;
  }

  int GetStorage() const { return v_.storage; }
  bool IsMissing() const { return v_.missing; }
  int64_t GetInteger() const { return v_.integer; }
  double GetDouble() const { return v_.real; }
  // Meaningful for string values only.
  const std::string& GetString() const { return shared_ != nullptr ? *shared_ : string_; }
  // The text when the value holds it by reference, else null.
  const std::string* GetSharedString() const { return shared_; }
  // The value as a double: the integer converted, the double as is, 0 for
  // strings and undefined values. Inline: every statistic calls it per record.
  double GetReal() const {
    switch (v_.storage) {
      case kStorageInteger: return static_cast<double>(v_.integer);
      case kStorageReal:
      case kStorageDate:
      case kStorageTime:
      case kStorageTimestamp: return v_.real;
      default: return 0.0;
    }
  }

  void SetMissing(bool missing) { v_.missing = missing; }
  void SetStorage(int storage) { v_.storage = storage; }
  void SetInteger(int64_t value) {
    v_.storage = kStorageInteger;
    v_.missing = false;
    v_.integer = value;
  }
  // `storage` is 2 (real), 4 (date), 5 (time) or 6 (timestamp).
  void SetDouble(double value, int storage = kStorageReal) {
    v_.storage = storage;
    v_.missing = false;
    v_.real = value;
  }
  // Reuses the string's buffer: no allocation once it is large enough.
  void SetString(const std::string& value);
  void SetString(const char* data, std::size_t size);
  // Holds `value` by reference instead of copying it: for texts that outlive
  // every record they reach, such as a host's dictionary of stored texts,
  // so that replaying them copies no characters.
  void SetSharedString(const std::string& value) {
    v_.storage = kStorageString;
    v_.missing = false;
    shared_ = &value;
  }
  // A missing value of the given storage.
  void SetMissingValue(int storage) {
    v_.storage = storage;
    v_.missing = true;
  }

 private:
  // The value apart from its text, copied in one piece.
  struct Scalars {
    int storage = 0;
    bool missing = true;
    int64_t integer = 0;
    double real = 0.0;
  };
  Scalars v_;
  std::string string_;
  const std::string* shared_ = nullptr;  // the text when held by reference
};

class RawRecord {
 public:
  RawRecord() = default;
  explicit RawRecord(std::size_t size) : values_(size) {}

  std::size_t Size() const { return values_.size(); }
  void Resize(std::size_t size) { values_.resize(size); }
  RawData& operator[](std::size_t i) { return values_[i]; }
  const RawData& operator[](std::size_t i) const { return values_[i]; }

 private:
  std::vector<RawData> values_;
};

}  // namespace TorCommon_1_3

#endif  // TORCOMMON13R_RAWRECORD_H_
