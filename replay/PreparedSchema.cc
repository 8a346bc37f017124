#include "replay/PreparedSchema.h"

#include <nlohmann/json.hpp>

#include "replay/PreparedWriter.h"

namespace zelreplay {

namespace {

using zelapply::ValueType;

// The storage names of the schema file; none for a field without a type.
const char* StorageName(ValueType type) {
  switch (type) {
    case ValueType::kInteger:
      return "integer";
    case ValueType::kReal:
      return "real";
    case ValueType::kString:
      return "string";
    case ValueType::kDate:
      return "date";
    case ValueType::kTime:
      return "time";
    case ValueType::kTimestamp:
      return "timestamp";
    case ValueType::kUndefined:
      break;
  }
  return nullptr;
}

// A document's optype as a level of the schema file; none when it has none.
const char* LevelName(const std::string& optype) {
  if (optype == "continuous") return "continuous";
  if (optype == "categorical") return "nominal";
  if (optype == "ordinal") return "ordinal";
  return nullptr;
}

}  // namespace

std::string PreparedSchemaText(const zelapply::Program& program, bool allDerived) {
  nlohmann::ordered_json fields = nlohmann::ordered_json::object();
  for (std::size_t column : PreparedColumns(program, allDerived)) {
    const zelapply::FieldInfo& field = program.fields()[column];
    nlohmann::ordered_json spec = nlohmann::ordered_json::object();
    if (const char* storage = StorageName(field.type)) spec["storage"] = storage;
    if (const char* level = LevelName(field.optype)) spec["level"] = level;
    if (field.target) spec["role"] = "target";
    fields[field.name] = std::move(spec);
  }
  nlohmann::ordered_json schema;
  schema["fields"] = std::move(fields);
  return schema.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace zelreplay
