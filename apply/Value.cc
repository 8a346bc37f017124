#include "Value.h"

namespace zelapply {

bool ValueTypeOfDataType(std::string_view dataType, ValueType* type) {
  struct Entry {
    const char* name;
    ValueType type;
  };
  // "timeSeconds" is how duration references name the time of day.
  static const Entry kTypes[] = {
      {"integer", ValueType::kInteger},
      {"double", ValueType::kReal},
      {"float", ValueType::kReal},
      {"string", ValueType::kString},
      {"dateDaysSince[1970]", ValueType::kDate},
      {"time", ValueType::kTime},
      {"timeSeconds", ValueType::kTime},
      {"dateTime", ValueType::kTimestamp},
  };
  for (const Entry& entry : kTypes) {
    if (dataType == entry.name) {
      *type = entry.type;
      return true;
    }
  }
  return false;
}

}  // namespace zelapply
