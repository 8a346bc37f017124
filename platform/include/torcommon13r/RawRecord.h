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

class RawData {
 public:
  RawData() = default;

  int GetStorage() const { return storage_; }
  bool IsMissing() const { return missing_; }
  int64_t GetInteger() const { return integer_; }
  double GetDouble() const { return double_; }
  const std::string& GetString() const { return string_; }
  // The value as a double: the integer converted, the double as is, 0 for
  // strings and undefined values.
  double GetReal() const;

  void SetMissing(bool missing) { missing_ = missing; }
  void SetStorage(int storage) { storage_ = storage; }
  void SetInteger(int64_t value);
  // `storage` is 2 (real), 4 (date), 5 (time) or 6 (timestamp).
  void SetDouble(double value, int storage = 2);
  // Reuses the string's buffer: no allocation once it is large enough.
  void SetString(const std::string& value);
  void SetString(const char* data, std::size_t size);
  // A missing value of the given storage.
  void SetMissingValue(int storage);

 private:
  int storage_ = 0;
  bool missing_ = true;
  int64_t integer_ = 0;
  double double_ = 0.0;
  std::string string_;
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
