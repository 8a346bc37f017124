// Value: one field value while a document is applied to a row. Like the
// values the preparation computed with, it carries its type, a missing flag
// and a whole number, a real number or a text, so whole numbers stay whole
// and a missing value still knows what it would have been.
#ifndef ZELCRAFT_APPLY_VALUE_H_
#define ZELCRAFT_APPLY_VALUE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace zelapply {

// The numbering follows the storage codes of the component's records.
enum class ValueType : uint8_t {
  kUndefined = 0,
  kInteger = 1,
  kReal = 2,
  kString = 3,
  kDate = 4,       // days since 1970-01-01
  kTime = 5,       // seconds since midnight
  kTimestamp = 6,  // seconds since 1970-01-01 00:00:00
};

struct Value {
  ValueType type = ValueType::kUndefined;
  bool missing = true;
  int64_t integer = 0;
  double real = 0.0;  // reals, dates, times and timestamps
  std::string text;

  bool IsNumeric() const { return type != ValueType::kUndefined && type != ValueType::kString; }
  // Whole numbers converted; 0 for texts and undefined values.
  double AsDouble() const {
    return type == ValueType::kInteger ? static_cast<double>(integer)
                                       : (type == ValueType::kString ? 0.0 : real);
  }

  void SetMissing(ValueType t) {
    type = t;
    missing = true;
  }
  void SetInteger(int64_t v) {
    type = ValueType::kInteger;
    missing = false;
    integer = v;
  }
  void SetReal(double v, ValueType t = ValueType::kReal) {
    type = t;
    missing = false;
    real = v;
  }
  // Reuses the text's buffer: no allocation once it is large enough.
  void SetText(std::string_view v) {
    type = ValueType::kString;
    missing = false;
    text.assign(v.data(), v.size());
  }
  // Copies only what the type uses, keeping this value's text buffer.
  void Assign(const Value& other) {
    type = other.type;
    missing = other.missing;
    integer = other.integer;
    real = other.real;
    if (type == ValueType::kString) text.assign(other.text);
  }
};

// The type a PMML `dataType` names; false for names the engine does not read.
bool ValueTypeOfDataType(std::string_view dataType, ValueType* type);

}  // namespace zelapply

#endif  // ZELCRAFT_APPLY_VALUE_H_
