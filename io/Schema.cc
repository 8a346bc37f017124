#include "io/Schema.h"

#include <set>

#include "io/FileText.h"
#include "torcommon13r/TorVariable.h"

namespace zelio {

using zelstatus::Status;

namespace {

using Json = nlohmann::ordered_json;
using namespace TorCommon_1_3;

template <typename T>
bool Choose(const Json& value, const std::vector<std::pair<const char*, T>>& choices, T* out) {
  if (!value.is_string()) return false;
  for (const auto& choice : choices) {
    if (value.get<std::string>() == choice.first) {
      *out = choice.second;
      return true;
    }
  }
  return false;
}

bool NumberList(const Json& value, std::vector<double>* out) {
  if (!value.is_array()) return false;
  for (const Json& item : value) {
    if (!item.is_number()) return false;
    out->push_back(item.get<double>());
  }
  return true;
}

bool TextList(const Json& value, std::vector<std::string>* out) {
  if (!value.is_array()) return false;
  for (const Json& item : value) {
    if (!item.is_string()) return false;
    out->push_back(item.get<std::string>());
  }
  return true;
}

// One property of a field; false with `what` describing the expected value.
bool ReadProperty(const std::string& key, const Json& value, FieldSpec* spec, std::string* what) {
  if (key == "storage") {
    int storage;
    *what = "one of integer, real, string, date, time, timestamp";
    if (!Choose<int>(value,
                     {{"integer", kStorageInteger},
                      {"real", kStorageReal},
                      {"string", kStorageString},
                      {"date", kStorageDate},
                      {"time", kStorageTime},
                      {"timestamp", kStorageTimestamp}},
                     &storage)) {
      return false;
    }
    spec->storage = storage;
  } else if (key == "level") {
    Level level;
    *what = "one of continuous, nominal, ordinal";
    if (!Choose<Level>(value,
                       {{"continuous", Level::kContinuous},
                        {"nominal", Level::kNominal},
                        {"ordinal", Level::kOrdinal}},
                       &level)) {
      return false;
    }
    spec->level = level;
  } else if (key == "role") {
    Role role;
    *what = "one of input, target, none";
    if (!Choose<Role>(value,
                      {{"input", Role::kInput}, {"target", Role::kTarget}, {"none", Role::kNone}},
                      &role)) {
      return false;
    }
    spec->role = role;
  } else if (key == "label") {
    *what = "a text";
    if (!value.is_string()) return false;
    spec->label = value.get<std::string>();
  } else if (key == "valueLabels") {
    *what = "an object of value texts to label texts";
    if (!value.is_object()) return false;
    for (const auto& item : value.items()) {
      if (!item.value().is_string()) return false;
      spec->valueLabels.emplace_back(item.key(), item.value().get<std::string>());
    }
  } else if (key == "missingValues") {
    *what = "a list of numbers";
    return NumberList(value, &spec->missingValues);
  } else if (key == "missingStrings") {
    *what = "a list of texts";
    return TextList(value, &spec->missingStrings);
  } else if (key == "missingRange") {
    std::vector<double> range;
    *what = "a list of two numbers, low then high";
    if (!NumberList(value, &range) || range.size() != 2 || range[0] > range[1]) return false;
    spec->missingRange = std::make_pair(range[0], range[1]);
  } else if (key == "categories") {
    *what = "a list of distinct, non-empty texts";
    if (!TextList(value, &spec->categories) || spec->categories.empty()) return false;
    std::set<std::string> distinct(spec->categories.begin(), spec->categories.end());
    if (distinct.size() != spec->categories.size() || distinct.count("") != 0) return false;
  } else {
    *what = "";
    return false;
  }
  return true;
}

}  // namespace

const FieldSpec* Schema::Find(const std::string& name) const {
  auto it = fields.find(name);
  return it == fields.end() ? nullptr : &it->second;
}

Status LoadSchema(const std::string& path, Schema* schema) {
  schema->fields.clear();
  if (path.empty()) return Status();
  std::string text;
  const Status read = ReadFileText(path, &text);
  return read.ok() ? ParseSchema(text, path, schema) : read;
}

Status ParseSchema(std::string_view text, const std::string& path, Schema* schema) {
  schema->fields.clear();
  Json json;
  const Status parsed = ParseJsonText(text, path, &json);
  if (!parsed.ok()) return parsed;
  if (!json.is_object() || json.size() != 1 || !json.contains("fields") ||
      !json["fields"].is_object()) {
    return Status::InvalidInput(
        path + ": expected an object with the single key \"fields\" holding an object");
  }
  for (const auto& field : json["fields"].items()) {
    const std::string prefix = path + ": field '" + field.key() + "'";
    if (!field.value().is_object()) {
      return Status::InvalidInput(prefix + ": expected an object of properties");
    }
    FieldSpec spec;
    for (const auto& property : field.value().items()) {
      std::string what;
      if (!ReadProperty(property.key(), property.value(), &spec, &what)) {
        return Status::InvalidInput(what.empty()
                                        ? prefix + ": unknown property '" + property.key() + "'"
                                        : prefix + ": \"" + property.key() + "\" must be " + what);
      }
    }
    schema->fields[field.key()] = std::move(spec);
  }
  return Status();
}

}  // namespace zelio
