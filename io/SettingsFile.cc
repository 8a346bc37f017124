#include "io/SettingsFile.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "io/CellParser.h"
#include "io/FileText.h"

namespace zelio {

using zelstatus::Status;

namespace {

using TorCommon_1_3::TorSettings;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

bool FitsInt(const nlohmann::ordered_json& value) {
  if (value.is_number_unsigned()) return value.get<uint64_t>() <= INT_MAX;
  return value.is_number_integer() && value.get<int64_t>() >= INT_MIN &&
         value.get<int64_t>() <= INT_MAX;
}

std::string WithoutEffectNote(const std::string& name) {
  return "settings key \"" + name + "\" has no effect; ignored";
}

std::string MustBe(const ZelSettingKey& key) {
  return std::string("settings key \"") + key.name + "\" takes " + SettingTypeName(key.type);
}

}  // namespace

bool SettingsFile::WithoutEffect(const std::string& name) const {
  for (const std::string& key : withoutEffect_) {
    if (key == name) return true;
  }
  return false;
}

const char* SettingTypeName(ZelSettingType type) {
  switch (type) {
    case ZelSettingType::kBool:
      return "a bool";
    case ZelSettingType::kInt:
      return "an int";
    case ZelSettingType::kDouble:
      return "a double";
    case ZelSettingType::kString:
      return "a string";
  }
  return "a value";
}

std::string SettingsFile::ClosestKey(const std::string& name) const {
  std::string best;
  std::size_t bestDistance = SIZE_MAX;
  const std::string lowered = Lower(name);
  for (const ZelSettingKey& key : keys_) {
    const std::size_t distance = EditDistance(lowered, Lower(key.name));
    if (distance < bestDistance) {
      bestDistance = distance;
      best = key.name;
    }
  }
  return best;
}

const ZelSettingKey* SettingsFile::Find(const std::string& name) const {
  for (const ZelSettingKey& key : keys_) {
    if (key.name == name) return &key;
  }
  return nullptr;
}

std::string SettingsFile::UnknownKey(const std::string& name) const {
  std::string message = "unknown settings key \"" + name + "\"";
  const std::string closest = ClosestKey(name);
  if (!closest.empty()) message += "; did you mean \"" + closest + "\"?";
  return message;
}

Status SettingsFile::LoadFile(const std::string& path, TorSettings* settings,
                              std::vector<std::string>* warnings) const {
  std::string text;
  const Status read = ReadFileText(path, &text);
  return read.ok() ? LoadText(text, path, settings, warnings) : read;
}

Status SettingsFile::LoadText(std::string_view text, const std::string& path, TorSettings* settings,
                              std::vector<std::string>* warnings) const {
  nlohmann::ordered_json json;
  const Status parsed = ParseJsonText(text, path, &json);
  if (!parsed.ok()) return parsed;
  if (!json.is_object())
    return Status::InvalidInput(path + ": expected an object of settings keys");
  for (const auto& item : json.items()) {
    if (WithoutEffect(item.key())) {
      warnings->push_back(path + ": " + WithoutEffectNote(item.key()));
      continue;
    }
    const ZelSettingKey* key = Find(item.key());
    if (key == nullptr) return Status::InvalidInput(path + ": " + UnknownKey(item.key()));
    const auto& value = item.value();
    bool typed = false;
    switch (key->type) {
      case ZelSettingType::kBool:
        typed = value.is_boolean();
        if (typed) settings->SetBool(key->name, value.get<bool>());
        break;
      case ZelSettingType::kInt:
        typed = FitsInt(value);
        if (typed) settings->SetInt(key->name, value.get<int>());
        break;
      case ZelSettingType::kDouble:
        typed = value.is_number();
        if (typed) settings->SetDouble(key->name, value.get<double>());
        break;
      case ZelSettingType::kString:
        typed = value.is_string();
        if (typed) settings->SetString(key->name, value.get<std::string>());
        break;
    }
    if (!typed) return Status::InvalidInput(path + ": " + MustBe(*key));
  }
  return Status();
}

Status SettingsFile::Assign(const std::string& assignment, TorSettings* settings,
                            std::vector<std::string>* warnings) const {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string::npos) {
    return Status::InvalidInput("--set expects KEY=VALUE, got \"" + assignment + "\"");
  }
  const std::string name = assignment.substr(0, equals);
  const std::string text = assignment.substr(equals + 1);
  if (WithoutEffect(name)) {
    warnings->push_back(WithoutEffectNote(name));
    return Status();
  }
  const ZelSettingKey* key = Find(name);
  if (key == nullptr) return Status::InvalidInput(UnknownKey(name));
  int64_t integer;
  double real;
  switch (key->type) {
    case ZelSettingType::kBool:
      if (text != "true" && text != "false") break;
      settings->SetBool(name, text == "true");
      return Status();
    case ZelSettingType::kInt:
      if (!ParseInteger(text, &integer) || integer < INT_MIN || integer > INT_MAX) break;
      settings->SetInt(name, static_cast<int>(integer));
      return Status();
    case ZelSettingType::kDouble:
      if (!ParseReal(text, &real)) break;
      settings->SetDouble(name, real);
      return Status();
    case ZelSettingType::kString:
      settings->SetString(name, text);
      return Status();
  }
  return Status::InvalidInput(MustBe(*key) + ", got \"" + text + "\"");
}

}  // namespace zelio
