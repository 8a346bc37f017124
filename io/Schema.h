// SchemaFile: the field metadata a user gives in a JSON file to override
// what is inferred from the data: storage, measurement level, role, labels,
// user-missing values and the order of ordinal text categories.
#ifndef ZELCRAFT_IO_SCHEMA_H_
#define ZELCRAFT_IO_SCHEMA_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "status/Status.h"

namespace zelio {

enum class Level { kContinuous, kNominal, kOrdinal };
enum class Role { kInput, kTarget, kNone };

struct FieldSpec {
  std::optional<int> storage;  // a TorStorage code
  std::optional<Level> level;
  std::optional<Role> role;
  std::string label;
  std::vector<std::pair<std::string, std::string>> valueLabels;  // value text, label
  std::vector<double> missingValues;
  std::vector<std::string> missingStrings;
  std::optional<std::pair<double, double>> missingRange;
  std::vector<std::string> categories;  // ordinal text categories, in order
};

struct Schema {
  std::map<std::string, FieldSpec> fields;

  // Null when the schema says nothing about the field.
  const FieldSpec* Find(const std::string& name) const;
};

// Reads and checks the file's structure; field names are checked against the
// data later. An empty path gives an empty schema.
zelstatus::Status LoadSchema(const std::string& path, Schema* schema);
// The same for the file's text; `name` prefixes the messages.
zelstatus::Status ParseSchema(std::string_view text, const std::string& name, Schema* schema);

}  // namespace zelio

#endif  // ZELCRAFT_IO_SCHEMA_H_
